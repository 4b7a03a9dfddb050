// The document window's procedure: fetch the window's state, dispatch.

#include "view/image_view.h"

#include "view/compare.h"
#include "view/view_handlers.h"

View* ViewOf(HWND window) { return reinterpret_cast<View*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

LRESULT CALLBACK ImageViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    View* view = ViewOf(window);
    if (view == nullptr) {
        // Before creation has made the record, or after it refused the window.
        if (message == WM_CREATE) return OnCreate(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return DefMDIChildProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT: return OnPaint(view, window);
        case WM_ERASEBKGND: return OnEraseBackground();
        case WM_SIZE: return OnSize(view, window);
        case WM_HSCROLL: return OnScroll(view, window, SB_HORZ, wParam);
        case WM_VSCROLL: return OnScroll(view, window, SB_VERT, wParam);
        case WM_MOUSEWHEEL: return OnMouseWheel(view, window, wParam);
        case WM_MOUSEMOVE: return UpdateCursorReadouts(view, window);
        case WM_MDIACTIVATE: return OnMdiActivate(view, window, lParam);
        case WM_CLOSE: return OnClose(view, window);
        case WM_DROPFILES: return OnDropFiles(view, wParam);
        case WM_TIMER: return OnTimer(view, window, wParam);
        case WM_KEYDOWN: return OnKeyDown(view, window, wParam, lParam);
        case WM_KEYUP: return OnKeyUp(view, window, wParam);
        case WM_KILLFOCUS:
            OnKillFocus(view, window);
            return DefMDIChildProcW(window, message, wParam, lParam);
        case WM_NCDESTROY:
            OnNcDestroy(view, window);
            return DefMDIChildProcW(window, message, wParam, lParam);
        default: return DefMDIChildProcW(window, message, wParam, lParam);
    }
}
