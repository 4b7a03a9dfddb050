// The size handler (the one re-layout step), the scroll bars and wheel
// scrolling.

#include "win32/trace.h"
#include "core/geometry/layout.h"
#include "core/geometry/scrolling.h"
#include "win32/platform_types.h"
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
// Returns whether the bar came or went.
bool ShowOrHideBar(View* view, HWND window, int bar) {
    ViewState& state = view->state;
    const bool horizontal = bar == SB_HORZ;
    const bool needed = NeedsScrollBar(horizontal ? state.scaledW : state.scaledH, ClientExtent(state, bar));
    int32_t& shown = horizontal ? state.hBarShown : state.vBarShown;
    const bool changes = needed != (shown == 1);
    if (changes) {
        ShowScrollBar(window, bar, needed ? TRUE : FALSE);
        if (!needed) view->heldBars[bar] = HeldBar();
    }
    shown = needed ? 1 : 0;
    if (!needed) {
        (horizontal ? state.hScroll : state.vScroll).nPos = 0;
    }
    return changes;
}

// Gives the bar its range, page and the wanted position, and adopts the
// position clamped into the range as the first visible column or row. A bar
// that just came, or has never been handed anything, gets them at once and
// the platform clamps; otherwise the clamp is the platform's rule worked out
// here, and the bar gets the values after the paint (HandPendingBars).
void SetBarRange(View* view, HWND window, int bar, bool handNow) {
    ViewState& state = view->state;
    const bool horizontal = bar == SB_HORZ;
    PlainScrollInfo& info = horizontal ? state.hScroll : state.vScroll;
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = static_cast<int32_t>(horizontal ? state.scaledW : state.scaledH) - 1;
    info.nPage = static_cast<uint32_t>(ClientExtent(state, bar));
    HeldBar& held = view->heldBars[bar];
    const bool same = held.known && held.max == info.nMax && held.page == info.nPage && held.position == info.nPos;
    if (!same) {
        if (handNow || !held.known) {
            held.position = SetScrollInfo(window, bar, AsScrollInfo(info), TRUE);
            held.pending = false;
        } else {
            held.position = ClampScrollPosition(info);
            held.pending = true;
        }
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
    // A bar that comes or goes redraws the window's frame anyway: then both
    // bars get their values at once.
    bool barsChange = ShowOrHideBar(view, window, SB_HORZ);
    barsChange = ShowOrHideBar(view, window, SB_VERT) || barsChange;
    if (state.hBarShown == 1) SetBarRange(view, window, SB_HORZ, barsChange);
    if (state.vBarShown == 1) SetBarRange(view, window, SB_VERT, barsChange);
    UpdateZoomReadout(view);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}

LRESULT OnScroll(View* view, HWND window, int bar, WPARAM wParam) {
    const bool horizontal = bar == SB_HORZ;
    PlainScrollInfo& info = horizontal ? view->state.hScroll : view->state.vScroll;
    WordHalves halves;
    SplitWord(static_cast<uint32_t>(wParam), halves);
    // The record holds the bar's range, page and position (handed over or
    // about to be); only the thumb's track position is the bar's alone, read
    // once the bar holds what it is meant to.
    if (halves.low == SCROLL_THUMB_TRACK || halves.low == SCROLL_THUMB_POSITION || !view->heldBars[bar].known) {
        HandPendingBars(view, window);
        info.cbSize = sizeof(SCROLLINFO);
        info.fMask = SIF_ALL;
        GetScrollInfo(window, bar, AsScrollInfo(info));
    }

    // Thumb requests take the 32-bit track position, never the notification's 16 bits.
    // The re-layout hands the new position to the bar and adopts it clamped.
    info.nPos = ScrollRequestPosition(halves.low, info, ClientExtent(view->state, bar));

    SendMessageA(window, WM_SIZE, 0, 0);
    FollowLinkedLeader(view, window);
    return 0;
}

void HandPendingBars(View* view, HWND window) {
    for (const int bar : {SB_HORZ, SB_VERT}) {
        HeldBar& held = view->heldBars[bar];
        if (!held.pending) continue;
        held.pending = false;
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = held.max;
        info.nPage = held.page;
        info.nPos = held.position;
        const int32_t position = SetScrollInfo(window, bar, &info, TRUE);
        if (position != held.position) {
            // Should the platform ever clamp otherwise, its word counts.
            held.position = position;
            (bar == SB_HORZ ? view->state.hScroll : view->state.vScroll).nPos = position;
            SendMessageA(window, WM_SIZE, 0, 0);
        }
    }
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
