#include "viewer.h"

#include <vector>

#include "harness.h"
#include "kiv.h"

namespace e2e {

HWND FindViewer() { return FindWindowA("DbgWinClass", nullptr); }

std::string ViewerText(HWND viewer) {
    HWND edit = FindWindowExA(viewer, nullptr, "Edit", nullptr);
    if (!edit) return "<no edit control>";
    LRESULT length = 0;
    if (!Send(edit, WM_GETTEXTLENGTH, 0, 0, &length)) return "<no answer>";
    std::vector<char> text(length + 1, '\0');
    // WM_GETTEXT is carried across the process boundary by the system.
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                        WAIT_TIMEOUT_MS, &copied);
    return std::string(text.data());
}

void SetViewerText(HWND viewer, const char* text) {
    HWND edit = FindWindowExA(viewer, nullptr, "Edit", nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, WAIT_TIMEOUT_MS,
                        &ignored);
}

void CloseViewer(HWND viewer) {
    DWORD pid = 0;
    GetWindowThreadProcessId(viewer, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    if (process) {
        WaitForSingleObject(process, WAIT_TIMEOUT_MS);
        CloseHandle(process);
    }
    WaitUntil([&] { return !IsWindow(viewer); }, WAIT_TIMEOUT_MS);
}

RunningViewer::RunningViewer() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + Settings().dbgwinPath + "\"";
    REQUIRE(CreateProcessA(Settings().dbgwinPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &info),
            "cannot start the debug viewer %s", Settings().dbgwinPath.c_str());
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    // The window can be found while it is still being created: wait for its edit control too.
    REQUIRE(WaitUntil([&] { return (window = FindViewer()) != nullptr && FindWindowExA(window, nullptr, "Edit", nullptr); },
                      WAIT_TIMEOUT_MS),
            "the debug viewer shows no window with an edit control");
    Send(window, WM_NULL, 0, 0);
}

RunningViewer::~RunningViewer() {
    if (window && IsWindow(window)) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, WAIT_TIMEOUT_MS) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    CloseHandle(process_);
}

}  // namespace e2e
