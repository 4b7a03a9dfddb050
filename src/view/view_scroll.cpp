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
// record afresh after each call. A bar already as it should be is left alone.
void ShowOrHideBar(View* view, HWND window, int bar) {
    ViewState& state = view->state;
    const bool horizontal = bar == SB_HORZ;
    const bool needed = NeedsScrollBar(horizontal ? state.scaledW : state.scaledH, ClientExtent(state, bar));
    int32_t& shown = horizontal ? state.hBarShown : state.vBarShown;
    if (needed != (shown == 1)) {
        ShowScrollBar(window, bar, needed ? TRUE : FALSE);
        if (!needed) view->heldBars[bar].known = false;
    }
    shown = needed ? 1 : 0;
    if (!needed) {
        (horizontal ? state.hScroll : state.vScroll).nPos = 0;
    }
}

// Hands the bar its range, page and the wanted position, and adopts the
// position the platform clamped it to as the first visible column or row.
// When the bar holds exactly these already, the position it holds is the
// clamped one, and nothing is handed.
void SetBarRange(View* view, HWND window, int bar) {
    ViewState& state = view->state;
    const bool horizontal = bar == SB_HORZ;
    PlainScrollInfo& info = horizontal ? state.hScroll : state.vScroll;
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = static_cast<int32_t>(horizontal ? state.scaledW : state.scaledH) - 1;
    info.nPage = static_cast<uint32_t>(ClientExtent(state, bar));
    HeldBar& held = view->heldBars[bar];
    if (!held.known || held.max != info.nMax || held.page != info.nPage || held.position != info.nPos) {
        held.position = SetScrollInfo(window, bar, AsScrollInfo(info), TRUE);
        held.max = info.nMax;
        held.page = info.nPage;
        held.known = true;
    }
    info.nPos = held.position;
    (horizontal ? state.srcX : state.srcY) = held.position;
}

void SendScrollRequest(HWND window, UINT message, int request) {
    SendMessageA(window, message, static_cast<WPARAM>(request), 0);
}

}  // namespace

LRESULT OnSize(View* view, HWND window) {
    ViewState& state = view->state;
    GetClientRect(window, AsRect(state.clientRect));
    LayoutView(state);
    ShowOrHideBar(view, window, SB_HORZ);
    ShowOrHideBar(view, window, SB_VERT);
    if (state.hBarShown == 1) SetBarRange(view, window, SB_HORZ);
    if (state.vBarShown == 1) SetBarRange(view, window, SB_VERT);
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
    // The clamped position is what the bar holds now; the re-layout then
    // finds nothing to hand it.
    info.nPos = SetScrollInfo(window, bar, AsScrollInfo(info), TRUE);
    HeldBar& held = view->heldBars[bar];
    if (held.known) held.position = info.nPos;

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
