// One zoom step about a point of the client area: the cursor for Alt + wheel,
// the centre for the keys.

#include "core/geometry/zoom.h"
#include "view/view_handlers.h"

namespace {

// A system-key release (scan code 0x20, context and previous-state bits set)
// sent between Alt's press and release: the default keyboard processing then
// does not put the frame's menu bar into keyboard mode when Alt goes up.
constexpr LPARAM ALT_MENU_CANCEL_KEY_DATA = static_cast<LPARAM>(0xE0200001u);

}  // namespace

void ZoomAt(View* view, HWND window, const PlainPoint& point, bool zoomIn, bool usePresets) {
    if (!view->picture) return;
    // The arithmetic keeps the zoom within what the view's tables can hold.
    ZoomStep(view->state, point, zoomIn, usePresets);
    // Re-layout: bars, their positions, the zoom readout and a full repaint.
    SendMessageW(window, WM_SIZE, 0, 0);
}

LRESULT ZoomAtCursor(View* view, HWND window, bool zoomIn, bool usePresets) {
    if (!view->picture) return 0;
    POINT screen;
    GetCursorPos(&screen);
    ScreenToClient(window, &screen);
    ZoomAt(view, window, {screen.x, screen.y}, zoomIn, usePresets);
    SendMessageW(window, WM_SYSKEYUP, 0, ALT_MENU_CANCEL_KEY_DATA);
    FollowLinkedLeader(view, window);
    return 0;
}
