// Painting: compose the visible scaled picture in the shared back buffer
// through one scale table, then one transfer to the screen.

#include "core/geometry/layout.h"
#include "core/pixels/pixel_copy.h"
#include "view/back_buffer.h"
#include "view/compare.h"
#include "view/view_handlers.h"

namespace {

constexpr int RING_WIDTH = 1;  // the pen's outline falls just outside the cleared area
constexpr LRESULT BACKGROUND_ERASED = 1;
constexpr UINT BARS_FOLLOW_MS = 16;  // one frame of a 60 Hz screen
// The wipe line: the outline pen's green, as a surface pixel.
constexpr uint32_t WIPE_LINE_PIXEL = 0x0077D28E;

int Smaller(int a, int b) { return a < b ? a : b; }

// The back buffer has the primary screen's size; a client area larger than
// that (a window stretched beyond the screen) gets grey there, straight on
// the screen, instead of whatever the screen held.
void FillBeyondBackBuffer(HDC dc, const PlainSize& client, const PlainSize& back) {
    if (client.w <= back.w && client.h <= back.h) return;
    SetDCBrushColor(dc, BACKGROUND_COLOUR);
    const HBRUSH grey = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    if (client.w > back.w) {
        const RECT right = {back.w, 0, client.w, client.h};
        FillRect(dc, &right, grey);
    }
    if (client.h > back.h) {
        const RECT below = {0, back.h, Smaller(client.w, back.w), client.h};
        FillRect(dc, &below, grey);
    }
}

// What the window shows in its picture's place: the reference placed under
// it while it flickers to the reference, its difference view, or the picture.
PixelSurface ShownSurface(const View* view) {
    const PixelSurface* placed = ReferencePlaced(view);
    if (view->compare.showReference && placed != nullptr) return *placed;
    if (const PixelSurface* difference = DifferenceShown(view)) return *difference;
    return view->picture->Surface();
}

// The wipe: left of the line the reference placed under the picture, right
// of it what the window shows, and the one-pixel line between them down the
// client area's height.
void PaintWipe(const PixelSurface& reference, const PixelSurface& shown, const PixelSurface& target,
               const ScaledCopy& copy, int32_t lineX, int32_t height) {
    int32_t leftColumns = lineX - copy.destX;
    leftColumns = leftColumns < 0 ? 0 : leftColumns > copy.visW ? copy.visW : leftColumns;
    ScaledCopy left = copy;
    left.visW = leftColumns;
    CopyScaledView(reference, target, left, BACKGROUND_PIXEL);
    ScaledCopy right = copy;
    right.srcX += leftColumns;
    right.destX += leftColumns;
    right.visW -= leftColumns;
    CopyScaledView(shown, target, right, BACKGROUND_PIXEL);
    if (lineX < 0 || lineX >= target.width) return;
    for (int32_t row = 0; row < height && row < target.height; ++row) {
        uint8_t* pixel = target.bits + static_cast<size_t>(target.height - 1 - row) * target.stride +
                         static_cast<size_t>(lineX) * sizeof(uint32_t);
        *reinterpret_cast<uint32_t*>(pixel) = WIPE_LINE_PIXEL;
    }
}

}  // namespace

namespace {

// One paint: the update area cleared, the visible picture composed in the
// back buffer, the client area transferred to the screen.
void PaintPicture(const View* view, HWND window) {
    PaintSession paint(window);
    BackBuffer* back = TheBackBuffer();
    if (back == nullptr) return;
    const ViewState& state = view->state;

    // Clear the update area to grey: grown by one pixel, the one-pixel pen's
    // outline lands on the ring just outside it and never reaches the screen
    // in this paint. GDI clips the drawing to the back buffer.
    RECT clear;
    CopyRect(&clear, &paint.UpdateRect());
    InflateRect(&clear, RING_WIDTH, RING_WIDTH);
    Rectangle(back->dc, clear.left, clear.top, clear.right, clear.bottom);

    // The whole visible picture, whatever the update area; reads are clipped
    // to the picture, writes to the back buffer. A window still waiting for
    // its first picture shows grey.
    if (view->picture) {
        const ScaledCopy copy = {ScaledToSourceTable(state), ScaledToSourceEntries(state),
                                 state.srcX, state.srcY, state.visW, state.visH,
                                 state.destX, state.destY};
        const PixelSurface* placed = ReferencePlaced(view);
        if (view->compare.wipe && placed != nullptr) {
            PlainSize client;
            RectSize(state.clientRect, client);
            PaintWipe(*placed, ShownSurface(view), back->surface, copy, view->compare.wipeX, client.h);
        } else {
            CopyScaledView(ShownSurface(view), back->surface, copy, BACKGROUND_PIXEL);
        }
    }

    PlainSize client;
    RectSize(state.clientRect, client);
    const PlainSize backSize = {back->surface.width, back->surface.height};
    BitBlt(paint.Dc(), 0, 0, Smaller(client.w, backSize.w), Smaller(client.h, backSize.h),
           back->dc, 0, 0, SRCCOPY);
    FillBeyondBackBuffer(paint.Dc(), client, backSize);
}

}  // namespace

LRESULT OnPaint(View* view, HWND window) {
    PaintPicture(view, window);
    // The picture is on the screen; the bars catch up with it a frame later,
    // once for a run of steps: each redraw of a bar takes longer than the
    // paint itself, and a step that follows at once would wait for it.
    if (view->heldBars[SB_HORZ].pending || view->heldBars[SB_VERT].pending) {
        SetTimer(window, HAND_BARS_TIMER, BARS_FOLLOW_MS, nullptr);
    }
    return 0;
}

LRESULT OnTimer(View* view, HWND window, WPARAM timer) {
    if (timer == HAND_BARS_TIMER) {
        KillTimer(window, HAND_BARS_TIMER);
        HandPendingBars(view, window);
    } else if (timer == FLICKER_TIMER) {
        OnFlickerTimer(view, window);
    } else if (timer == ANIMATION_TIMER) {
        OnAnimationTimer(view, window);
    }
    return 0;
}

LRESULT OnEraseBackground() { return BACKGROUND_ERASED; }
