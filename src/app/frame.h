// The frame window: MDI client, status bar and the menu commands.
#pragma once

#include <windows.h>

LRESULT CALLBACK FrameWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
