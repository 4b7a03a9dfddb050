// The process-wide handles, set once during start-up and kept for the life
// of the process.
#pragma once

#include <windows.h>

extern HINSTANCE hInstance;
extern HWND frameWnd;
extern HWND mdiClient;
extern HWND statusBar;
extern HMENU frameMenu;  // shown while no document window is active
extern HMENU childMenu;  // shown while a document window is active
