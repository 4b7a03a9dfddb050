// The size handler (the one re-layout step), the scroll bars and wheel
// scrolling.

#include "support/trace.h"
#include "view/geometry/layout.h"
#include "view/geometry/scrolling.h"
#include "view/platform_types.h"
#include "view/view_handlers.h"

namespace {

constexpr int KEY_HELD = 0x8000;
constexpr char WHEEL_TRACE_LABEL[] = "eax: ";

bool KeyHeld(int virtualKey) { return (GetAsyncKeyState(virtualKey) & KEY_HELD) != 0; }

// The client extent along a bar's axis.
int32_t ClientExtent(const ViewState& view, int bar) {
    PlainSize client;
    RectSize(view.clientRect, client);
    return bar == SB_HORZ ? client.w : client.h;
}

// Showing or hiding a bar changes the client area, and the platform may run
// this handler again from inside ShowScrollBar: everything is read from the
// record afresh after each call.
void ShowOrHideBar(ViewState& view, HWND window, int bar) {
    const bool horizontal = bar == SB_HORZ;
    const bool needed = NeedsScrollBar(horizontal ? view.scaledW : view.scaledH, ClientExtent(view, bar));
    int32_t& shown = horizontal ? view.hBarShown : view.vBarShown;
    ShowScrollBar(window, bar, needed ? TRUE : FALSE);
    shown = needed ? 1 : 0;
    if (!needed) {
        (horizontal ? view.hScroll : view.vScroll).nPos = 0;
    }
}

// Hands the bar its range, page and the wanted position, and adopts the
// position the platform clamped it to as the first visible column or row.
void SetBarRange(ViewState& view, HWND window, int bar) {
    const bool horizontal = bar == SB_HORZ;
    PlainScrollInfo& info = horizontal ? view.hScroll : view.vScroll;
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = static_cast<int32_t>(horizontal ? view.scaledW : view.scaledH) - 1;
    info.nPage = static_cast<uint32_t>(ClientExtent(view, bar));
    const int32_t position = SetScrollInfo(window, bar, AsScrollInfo(info), TRUE);
    info.nPos = position;
    (horizontal ? view.srcX : view.srcY) = position;
}

void SendScrollRequest(HWND window, UINT message, int request) {
    SendMessageA(window, message, static_cast<WPARAM>(request), 0);
}

}  // namespace

LRESULT OnSize(View* view, HWND window) {
    ViewState& state = view->state;
    GetClientRect(window, AsRect(state.clientRect));
    LayoutView(state);
    ShowOrHideBar(state, window, SB_HORZ);
    ShowOrHideBar(state, window, SB_VERT);
    if (state.hBarShown == 1) SetBarRange(state, window, SB_HORZ);
    if (state.vBarShown == 1) SetBarRange(state, window, SB_VERT);
    UpdateZoomReadout(view);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}

LRESULT OnScroll(View* view, HWND window, int bar, WPARAM wParam) {
    const bool horizontal = bar == SB_HORZ;
    PlainScrollInfo& info = horizontal ? view->state.hScroll : view->state.vScroll;
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, AsScrollInfo(info));

    WordHalves halves;
    SplitWord(static_cast<uint32_t>(wParam), halves);
    // Thumb requests take the 32-bit track position, never the notification's 16 bits.
    info.nPos = ScrollRequestPosition(halves.low, info, ClientExtent(view->state, bar));
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = SIF_POS;
    SetScrollInfo(window, bar, AsScrollInfo(info), TRUE);

    SendMessageA(window, WM_SIZE, 0, 0);
    FollowLinkedLeader(view, window);
    return 0;
}

LRESULT OnMouseWheel(View* view, HWND window, WPARAM wParam) {
    const ViewState& state = view->state;
    // The keys as they are now, not as the notification recorded them.
    const bool shift = KeyHeld(VK_SHIFT);
    const bool control = KeyHeld(VK_CONTROL);
    const bool alt = KeyHeld(VK_MENU);
    WordHalves halves;
    SplitWord(static_cast<uint32_t>(wParam), halves);
    const bool up = halves.high >= 0;  // only the sign counts: one step per notification

    if (alt) {
        return ZoomAtCursor(view, window, up, shift);
    }
    if (state.hBarShown == 1 && control) {
        const int request = up ? (shift ? SB_PAGELEFT : SB_LINELEFT)
                               : (shift ? SB_PAGERIGHT : SB_LINERIGHT);
        SendScrollRequest(window, WM_HSCROLL, request);
    } else if (state.vBarShown == 1) {
        DebugPrintValue(state.hBarShown, WHEEL_TRACE_LABEL);
        const int request = up ? (shift ? SB_PAGEUP : SB_LINEUP) : (shift ? SB_PAGEDOWN : SB_LINEDOWN);
        SendScrollRequest(window, WM_VSCROLL, request);
    }
    return 0;
}
