#include "win32/fatal.h"

#include <windows.h>

#include "core/text/text_ids.h"
#include "win32/texts.h"

namespace {
constexpr UINT NORMAL_EXIT_CODE = 0;
}

void ExitWithMessage(const wchar_t* text) {
    MessageBoxW(nullptr, text, Text(IDS_MESSAGE_CAPTION), MB_OK);
    ExitProcess(NORMAL_EXIT_CODE);
}
