#include "win32/fatal.h"

#include <windows.h>

#include "win32/texts.h"

namespace {
constexpr UINT NORMAL_EXIT_CODE = 0;
}

void ExitWithMessage(const char* text) {
    MessageBoxA(nullptr, text, MESSAGE_CAPTION, MB_OK);
    ExitProcess(NORMAL_EXIT_CODE);
}
