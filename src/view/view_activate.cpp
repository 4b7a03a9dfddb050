// Activation keeps the frame's menu bar in step with the active document
// window; close goes through the MDI client.

#include "app/globals.h"
#include "app/resource.h"
#include "view/view_handlers.h"

namespace {

void ShowMenuBar(HMENU menuBar) {
    SendMessageA(mdiClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menuBar),
                 reinterpret_cast<LPARAM>(GetSubMenu(menuBar, WINDOW_MENU_POSITION)));
}

}  // namespace

LRESULT OnMdiActivate(View* view, HWND window, LPARAM activated) {
    // The window losing activation hears first, so on a switch between two
    // document windows the child menu is what remains.
    const bool gaining = reinterpret_cast<HWND>(activated) == window;
    ShowMenuBar(gaining ? childMenu : frameMenu);
    DrawMenuBar(frameWnd);
    if (gaining) {
        UpdateZoomReadout(view);
        UpdatePictureReadout(view, window);
    }
    return 0;
}

LRESULT OnDropFiles(WPARAM drop) {
    // The frame opens what is dropped anywhere on it.
    SendMessageW(frameWnd, WM_DROPFILES, drop, 0);
    return 0;
}

LRESULT OnClose(HWND window) {
    SendMessageA(mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    return 0;
}
