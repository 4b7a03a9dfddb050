// Identifiers shared by the resource script and the code.
#pragma once

#include "core/keys/commands.h"
#include "core/text/text_ids.h"

// The menu bar, for the frame and for the document windows alike, in each
// language.
#define IDR_MENU_BAR 101

// In the menu bar the window menu is the submenu at this position; the MDI
// client appends the list of document windows to it.
#define WINDOW_MENU_POSITION 1

// The application icon (frame and document windows, and the exe itself).
#define IDI_KIV 1

