// The document window: one view of the picture, zoomable and scrollable.
#pragma once

#include <windows.h>

LRESULT CALLBACK ImageViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
