// The program's menu bar as a user works it: opened from the keyboard, its
// popups found on the screen and their items counted by walking the highlight.
// Wine keeps a process's menus in that process, so another process cannot
// read them with GetMenuItemCount or GetMenuStringW; what shows on the screen
// is what these steps go by.
#pragma once

#include <windows.h>

#include "kiv.h"

namespace e2e {

// The popup menu window (class "#32768") the program shows, or null.
HWND VisiblePopupMenu(const Kiv& kiv);

// Opens the popup of the menu bar's top-level item at `position` (counting
// from 0) with F10, Right and Down, and returns it; ends the case if no popup
// shows. The cursor is parked on the status bar first, away from the menus.
HWND OpenMenuBarItem(Kiv& kiv, int position);

// The number of items of the open popup that the keyboard can select
// (separators are skipped), found by pressing Down until the highlight comes
// back to the first item; -1 when the highlight cannot be followed.
int CountPopupItems(HWND popup);

// Closes every menu with Escape and waits until the program has left menu mode.
void CloseMenus(Kiv& kiv);

// Opens the menu bar's item at `position`, counts its items and closes it again.
int MenuBarItemCount(Kiv& kiv, int position);

}  // namespace e2e
