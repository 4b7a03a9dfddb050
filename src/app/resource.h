// Identifiers shared by the resource script and the code.
#pragma once

#include "view/commands.h"

// The menu bar, for the frame and for the document windows alike.
#define IDR_MENU_BAR 101
// The keys of the commands.
#define IDR_KEYS 103

// In the menu bar the window menu is the submenu at this position; the MDI
// client appends the list of document windows to it.
#define WINDOW_MENU_POSITION 1

// Keys the resource compiler knows by number only: "=+" and "-_" of the
// main keyboard...
#define KEY_PLUS 0xBB
#define KEY_MINUS 0xBD
// ... and "[{" and "]}".
#define KEY_BRACKET_OPEN 0xDB
#define KEY_BRACKET_CLOSE 0xDD
// ",<" and ".>": a frame back and forward.
#define KEY_COMMA 0xBC
#define KEY_PERIOD 0xBE

// The application icon (frame and document windows, and the exe itself).
#define IDI_KIV 1

// The program's own commands, which no document window carries out.
// 选项 menu:
#define IDM_NEW_FRAME_EACH_START 40101
#define IDM_OPEN_WITH_ADD 40102
#define IDM_OPEN_WITH_REMOVE 40103
// 文件 → 最近打开的文件: the list's entries are IDM_RECENT_FIRST + 0 (the
// newest) to + 9, filled in at run time before 清除列表.
#define IDM_RECENT_CLEAR 40104
#define IDM_RECENT_FIRST 40110
