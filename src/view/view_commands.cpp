// The view commands of the keys and the 查看 menu, always for the active
// window: scrolling by line, page and to the corners through the same scroll
// requests as the bars; zoom steps about the client centre, 100 % and fit;
// turning and mirroring the picture for every window that shows it; copying
// the picture or its path.

#include "view/commands.h"
#include "core/text/text_ids.h"
#include "win32/texts.h"
#include "core/geometry/fit.h"
#include "core/geometry/layout.h"
#include "core/geometry/linked.h"
#include "core/geometry/scale_maps.h"
#include "core/geometry/turn.h"
#include "core/geometry/zoom.h"
#include "view/compare.h"
#include "view/view_clipboard.h"
#include "view/view_handlers.h"

namespace {

// A scroll request to one bar, when the bar is there: as the wheel does.
void ScrollRequest(const View* view, HWND window, int bar, int request) {
    const int32_t shown = bar == SB_HORZ ? view->state.hBarShown : view->state.vBarShown;
    if (shown == 1) SendMessageW(window, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, static_cast<WPARAM>(request), 0);
}

// The client area as it would be without scroll bars: what fit fills.
void ClientWithoutBars(const View* view, HWND window, int32_t& width, int32_t& height) {
    RECT client;
    GetClientRect(window, &client);
    width = client.right + (view->state.vBarShown == 1 ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    height = client.bottom + (view->state.hBarShown == 1 ? GetSystemMetrics(SM_CYHSCROLL) : 0);
}

void ZoomAtCentreTo(View* view, HWND window, int32_t zoom) {
    ZoomTo(view->state, ClientCentre(view->state), zoom);
    SendMessageW(window, WM_SIZE, 0, 0);
}

void Fit(View* view, HWND window) {
    int32_t width = 0, height = 0;
    ClientWithoutBars(view, window, width, height);
    ZoomTo(view->state, ClientCentre(view->state), FitZoom(view->state.imageW, view->state.imageH, width, height));
    // The size handler keeps a bar while the picture overflows the client as
    // it is with that bar; the fit is for the client without bars, so they go
    // first (hiding them lays the window out again at the new zoom).
    ShowScrollBar(window, SB_BOTH, FALSE);
    SendMessageW(window, WM_SIZE, 0, 0);
}

// Every window showing the picture gets it turned; each keeps its zoom and
// the picture point at its centre.
void TurnPicture(const View* view, int turn) {
    if (view->animation) {
        TurnAnimation(view, static_cast<Orientation>(turn));
        return;
    }
    const std::shared_ptr<const Picture> old = view->picture;
    std::shared_ptr<const Picture> turned = old->Turned(static_cast<Orientation>(turn));
    if (!turned) {
        MessageBoxW(view->host->frame, Text(IDS_OUT_OF_MEMORY), Text(IDS_MESSAGE_CAPTION), MB_OK);
        return;
    }
    for (HWND window : DocumentWindows(view->host->mdiClient)) {
        View* shower = ViewOf(window);
        if (shower->picture != old) continue;
        TurnView(shower->state, static_cast<Orientation>(turn));
        shower->picture = turned;
        UpdatePictureReadout(shower, window);
        SendMessageW(window, WM_SIZE, 0, 0);
        PictureChanged(shower, window);
    }
}

}  // namespace

bool RunViewCommand(View* view, HWND window, int command) {
    if (!view->picture) return false;  // nothing to act on while the first picture loads
    switch (command) {
        case IDM_SCROLL_LEFT: ScrollRequest(view, window, SB_HORZ, SB_LINELEFT); return true;
        case IDM_SCROLL_RIGHT: ScrollRequest(view, window, SB_HORZ, SB_LINERIGHT); return true;
        case IDM_SCROLL_UP: ScrollRequest(view, window, SB_VERT, SB_LINEUP); return true;
        case IDM_SCROLL_DOWN: ScrollRequest(view, window, SB_VERT, SB_LINEDOWN); return true;
        case IDM_PAGE_UP: ScrollRequest(view, window, SB_VERT, SB_PAGEUP); return true;
        case IDM_PAGE_DOWN: ScrollRequest(view, window, SB_VERT, SB_PAGEDOWN); return true;
        case IDM_HOME:
            ScrollRequest(view, window, SB_HORZ, SB_LEFT);
            ScrollRequest(view, window, SB_VERT, SB_TOP);
            return true;
        case IDM_END:
            ScrollRequest(view, window, SB_HORZ, SB_RIGHT);
            ScrollRequest(view, window, SB_VERT, SB_BOTTOM);
            return true;
        case IDM_ZOOM_IN: ZoomAt(view, window, ClientCentre(view->state), true, false); break;
        case IDM_ZOOM_OUT: ZoomAt(view, window, ClientCentre(view->state), false, false); break;
        case IDM_ZOOM_IN_PRESET: ZoomAt(view, window, ClientCentre(view->state), true, true); break;
        case IDM_ZOOM_OUT_PRESET: ZoomAt(view, window, ClientCentre(view->state), false, true); break;
        case IDM_ACTUAL_SIZE: ZoomAtCentreTo(view, window, ZOOM_UNIT); break;
        case IDM_FIT: Fit(view, window); break;
        case IDM_ROTATE_CLOCKWISE: TurnPicture(view, ORIENTATION_CLOCKWISE); break;
        case IDM_ROTATE_ANTICLOCKWISE: TurnPicture(view, ORIENTATION_ANTICLOCKWISE); break;
        case IDM_FLIP: TurnPicture(view, ORIENTATION_MIRROR); break;
        case IDM_COPY_PICTURE: CopyPicture(*view->picture, window, view->host->frame); return true;
        case IDM_COPY_PATH: CopyPath(view->path, window, view->host->frame); return true;
        case IDM_PAUSE_ANIMATION:
        case IDM_PREVIOUS_FRAME:
        case IDM_NEXT_FRAME: return RunAnimationCommand(view, window, command);
        default: return RunCompareCommand(view, window, command);
    }
    FollowLinkedLeader(view, window);
    return true;
}

void FollowLinkedLeader(const View* leader, HWND leaderWindow) {
    if (leader->host->settings != nullptr && leader->host->settings->linked) AlignViewsTo(leader, leaderWindow);
}

void AlignViewsTo(const View* leader, HWND leaderWindow) {
    if (!leader->picture) return;
    for (HWND window : DocumentWindows(leader->host->mdiClient)) {
        View* follower = ViewOf(window);
        if (window == leaderWindow || !follower->picture) continue;
        const PlainPoint leaderPlace = LinkedDisplacement(leader, leaderWindow);
        const PlainPoint followerPlace = LinkedDisplacement(follower, window);
        FollowView(leader->state, follower->state, {leaderPlace.x - followerPlace.x, leaderPlace.y - followerPlace.y});
        SendMessageW(window, WM_SIZE, 0, 0);
    }
}
