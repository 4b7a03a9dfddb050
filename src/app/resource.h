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
// main keyboard.
#define KEY_PLUS 0xBB
#define KEY_MINUS 0xBD
// ",<" and ".>": a frame back and forward.
#define KEY_COMMA 0xBC
#define KEY_PERIOD 0xBE

// The application icon (frame and document windows, and the exe itself).
#define IDI_KIV 1
