// Identifiers shared by the resource script and the code.
#pragma once

// Menu bars: shown while no document window is active, and while one is.
#define IDR_FRAME_MENU 101
#define IDR_CHILD_MENU 102

// In both menu bars the window menu is the submenu at this position; the MDI
// client appends the list of document windows to it.
#define WINDOW_MENU_POSITION 1

#define IDM_EXIT 40001
#define IDM_TILEHORZ 40002
#define IDM_TILEVERT 40003
#define IDM_CASCADE 40004
#define IDM_NEW 40005
#define IDM_CLOSE 40006

// The application icon (frame and document windows, and the exe itself).
#define IDI_KIV 1
