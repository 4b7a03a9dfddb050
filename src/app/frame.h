// The frame window: MDI client, status bar and the menu commands.
#pragma once

#include <windows.h>

LRESULT CALLBACK FrameWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

struct FramePlacement;

// Shows the frame for the first time: at the kept place and size when that
// lies on a screen that is there now, else where the system puts it.
void ShowFrame(HWND frame, const FramePlacement& placement);
