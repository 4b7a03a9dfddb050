#include "win32/trace.h"

#include <windows.h>

#include "win32/fatal.h"
#include "win32/texts.h"
#include "core/text/text_ids.h"
#include "core/text/text.h"

namespace {

constexpr char VIEWER_CLASS[] = "DbgWinClass";
constexpr char VIEWER_EDIT_CLASS[] = "Edit";
constexpr char VIEWER_COMMAND[] = "\\qorvel\\bin\\dbgwin.exe";
constexpr char LINE_BREAK[] = "\r\n";
// An empty text, not a null one: a null text cannot cross into another
// process (Wine refuses the message), while "" empties the control everywhere.
constexpr char EMPTY_TEXT[] = "";

constexpr uint32_t LABEL_LIMIT = 200;
constexpr uint32_t VALUE_SPACE = 100;  // room after the label for the value and its terminator
constexpr int DECIMAL_BUFFER = 12;

HWND FindViewerEdit(HWND viewer) { return FindWindowExA(viewer, nullptr, VIEWER_EDIT_CLASS, nullptr); }

}  // namespace

void DebugClear() {
    const HWND viewer = FindWindowA(VIEWER_CLASS, nullptr);
    if (viewer == nullptr) return;
    SendMessageA(FindViewerEdit(viewer), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(EMPTY_TEXT));
}

void DebugWrite(const char* text) {
    HWND viewer = FindWindowA(VIEWER_CLASS, nullptr);
    if (viewer == nullptr) {
        WinExec(VIEWER_COMMAND, SW_SHOWNORMAL);
        viewer = FindWindowA(VIEWER_CLASS, nullptr);
        if (viewer == nullptr) return;
    }
    const HWND edit = FindViewerEdit(viewer);
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    // Drops any selection; the caret stays after the text last written.
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    // A line break before every text but the first; wParam 0: no undo.
    if (length != 0) {
        SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(LINE_BREAK));
    }
    SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

void DebugPrintValue(int32_t value, const char* label) {
    char decimal[DECIMAL_BUFFER];
    IntToDecimal(value, decimal);
    uint32_t digits = 0;
    while (decimal[digits] != '\0') ++digits;

    // The label ends where the value starts, at LABEL_LIMIT; the zero fill
    // terminates the text right after the value.
    char* block = static_cast<char*>(LocalAlloc(LPTR, digits + LABEL_LIMIT + VALUE_SPACE));
    if (block == nullptr) {
        ExitWithMessage(Text(IDS_TRACE_ALLOC_FAILED));
    }
    for (uint32_t i = 0; i < digits; ++i) block[LABEL_LIMIT + i] = decimal[i];
    uint32_t labelLength = 0;
    while (labelLength < LABEL_LIMIT && label[labelLength] != '\0') ++labelLength;
    char* start = block + LABEL_LIMIT - labelLength;
    for (uint32_t i = 0; i < labelLength; ++i) start[i] = label[i];

    DebugWrite(start);
    LocalFree(block);
}
