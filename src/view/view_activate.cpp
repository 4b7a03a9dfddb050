// Activation keeps the frame's menu bar in step with the active document
// window; close goes through the MDI client.

#include "view/compare.h"
#include "view/view_handlers.h"

namespace {

// Puts the menu bar on the frame unless it is there already: setting it and
// drawing the bar again is a good part of switching windows.
void ShowMenuBar(const ViewHost& host, HMENU menuBar) {
    if (GetMenu(host.frame) == menuBar) return;
    SendMessageA(host.mdiClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menuBar),
                 reinterpret_cast<LPARAM>(GetSubMenu(menuBar, host.windowMenuPosition)));
    DrawMenuBar(host.frame);
}

}  // namespace

LRESULT OnMdiActivate(View* view, HWND window, LPARAM activated) {
    // The window losing activation hears first. On a switch between two
    // document windows the child menu stays; only when no document window
    // is left active does the frame's own bar come back.
    const bool gaining = reinterpret_cast<HWND>(activated) == window;
    if (gaining) {
        ShowMenuBar(*view->host, view->host->documentMenu);
    } else if (activated == 0) {
        ShowMenuBar(*view->host, view->host->frameMenu);
    }
    if (gaining) {
        UpdateZoomReadout(view);
        UpdatePictureReadout(view, window);
        UpdateCompareInfo(view->host);
    }
    return 0;
}

LRESULT OnDropFiles(const View* view, WPARAM drop) {
    // The frame opens what is dropped anywhere on it.
    SendMessageW(view->host->frame, WM_DROPFILES, drop, 0);
    return 0;
}

LRESULT OnClose(const View* view, HWND window) {
    SendMessageA(view->host->mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    return 0;
}
