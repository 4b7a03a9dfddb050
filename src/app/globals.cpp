#include "app/globals.h"

HINSTANCE hInstance = nullptr;
HWND frameWnd = nullptr;
HWND mdiClient = nullptr;
HWND statusBar = nullptr;
HMENU frameMenu = nullptr;
HMENU childMenu = nullptr;
