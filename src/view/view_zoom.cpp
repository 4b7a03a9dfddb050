// One zoom step about the mouse cursor (Alt + wheel).

#include "view/geometry/zoom.h"
#include "view/view_handlers.h"

namespace {

// A system-key release (scan code 0x20, context and previous-state bits set)
// sent between Alt's press and release: the default keyboard processing then
// does not put the frame's menu bar into keyboard mode when Alt goes up.
constexpr LPARAM ALT_MENU_CANCEL_KEY_DATA = static_cast<LPARAM>(0xE0200001u);

}  // namespace

LRESULT ZoomAtCursor(View* view, HWND window, bool zoomIn, bool usePresets) {
    if (!view->picture) return 0;
    POINT screen;
    GetCursorPos(&screen);
    ScreenToClient(window, &screen);
    const PlainPoint cursor = {screen.x, screen.y};

    // The arithmetic keeps the zoom within what the view's tables can hold.
    ZoomStep(view->state, cursor, zoomIn, usePresets);

    // Re-layout: bars, their positions, the zoom readout and a full repaint.
    SendMessageA(window, WM_SIZE, 0, 0);
    SendMessageA(window, WM_SYSKEYUP, 0, ALT_MENU_CANCEL_KEY_DATA);
    return 0;
}
