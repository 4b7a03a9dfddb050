#include "core/geometry/turn.h"

#include "core/geometry/layout.h"
#include "core/geometry/zoom.h"

void TurnedPixel(uint32_t x, uint32_t y, uint32_t width, uint32_t height, Orientation turn, uint32_t& turnedX,
                 uint32_t& turnedY) {
    // The turned picture's pixels come from the old ones through the turn;
    // going the other way takes the turn that undoes it.
    Orientation undo = ORIENTATION_NONE;
    for (Orientation candidate = ORIENTATION_FIRST; candidate <= ORIENTATION_LAST; ++candidate) {
        if (Compose(turn, candidate) == ORIENTATION_NONE) undo = candidate;
    }
    uint32_t turnedW = 0, turnedH = 0;
    ShownSize(width, height, turn, turnedW, turnedH);
    ShownToStored(x, y, turnedW, turnedH, undo, turnedX, turnedY);
}

void TurnView(ViewState& view, Orientation turn) {
    if (view.scaledW == 0 || view.scaledH == 0) return;
    const PlainPoint centre = ClientCentre(view);
    ViewState probe = view;
    FindAnchor(probe, centre);

    uint32_t turnedX = 0, turnedY = 0;
    TurnedPixel(static_cast<uint32_t>(probe.imagePtX), static_cast<uint32_t>(probe.imagePtY), view.imageW,
                view.imageH, turn, turnedX, turnedY);
    uint32_t width = 0, height = 0;
    ShownSize(view.imageW, view.imageH, turn, width, height);
    view.imageW = width;
    view.imageH = height;
    RebuildScaleMaps(view);

    // The pixel's own first scaled pixel goes to the centre: no place inside
    // it is carried (its sides may have swapped).
    view.imagePtX = static_cast<int32_t>(turnedX);
    view.imagePtY = static_cast<int32_t>(turnedY);
    view.spanW = view.spanH = 0;
    view.lastZoom = 0;
    CentreOnAnchor(view, centre);
    LayoutViewAndBars(view);
}
