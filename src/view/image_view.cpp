// The document window's procedure: fetch the window's state, dispatch.

#include "view/image_view.h"

#include "view/view_handlers.h"

LRESULT CALLBACK ImageViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ViewState* view = reinterpret_cast<ViewState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (view == nullptr) {
        // Before creation has made the record, or after it refused the window.
        if (message == WM_CREATE) return OnCreate(window);
        return DefMDIChildProcA(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT: return OnPaint(view, window);
        case WM_ERASEBKGND: return OnEraseBackground();
        case WM_SIZE: return OnSize(view, window);
        case WM_HSCROLL: return OnScroll(view, window, SB_HORZ, wParam);
        case WM_VSCROLL: return OnScroll(view, window, SB_VERT, wParam);
        case WM_MOUSEWHEEL: return OnMouseWheel(view, window, wParam);
        case WM_MOUSEMOVE: return UpdateCursorReadouts(view, window);
        case WM_MDIACTIVATE: return OnMdiActivate(window, lParam);
        case WM_CLOSE: return OnClose(window);
        case WM_NCDESTROY:
            OnNcDestroy(view, window);
            return DefMDIChildProcA(window, message, wParam, lParam);
        default: return DefMDIChildProcA(window, message, wParam, lParam);
    }
}
