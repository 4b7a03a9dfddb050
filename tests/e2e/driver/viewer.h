// The debug viewer (dbgwin.exe) as the tests see it: started by the driver or
// by kiv, its text read back, closed again.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The first top-level window of class "DbgWinClass", or null.
HWND FindViewer();
std::string ViewerText(HWND viewer);
void SetViewerText(HWND viewer, const char* text);
// Closes a viewer window and waits for its process to end (whoever started it).
void CloseViewer(HWND viewer);

// A viewer started by the driver; closed when it goes out of scope.
class RunningViewer {
public:
    RunningViewer();
    ~RunningViewer();
    RunningViewer(const RunningViewer&) = delete;
    RunningViewer& operator=(const RunningViewer&) = delete;
    HWND window = nullptr;

private:
    HANDLE process_ = nullptr;
};

}  // namespace e2e
