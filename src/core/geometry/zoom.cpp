#include "core/geometry/zoom.h"

#include "core/geometry/layout.h"
#include "core/geometry/scale_maps.h"

void FindAnchor(ViewState& view, const PlainPoint& cursor) {
    PlainPoint scaled;
    ClientToScaled(cursor, view, scaled);
    ClampToScaled(scaled, view.scaledW, view.scaledH);
    PlainPoint image;
    ScaledToImage(scaled, view, image);
    view.scaledPtX = scaled.x;
    view.scaledPtY = scaled.y;
    view.imagePtX = image.x;
    view.imagePtY = image.y;
}

void MeasureCursorFraction(ViewState& view, const PlainPoint& cursor) {
    const bool keyMatches = view.zoom == view.lastZoom && view.srcX == view.lastSrcX &&
                            view.srcY == view.lastSrcY && cursor.x == view.lastCursorX &&
                            cursor.y == view.lastCursorY;
    if (keyMatches || view.zoom < ZOOM_UNIT) {
        return;
    }
    const PlainPoint anchor = {view.imagePtX, view.imagePtY};
    PlainPoint start;
    PlainPoint end;
    ImageToScaledStart(anchor, view.minorMap, start);
    ImageToScaledEnd(anchor, view.minorMap, end);
    view.spanW = end.x - start.x;
    view.spanH = end.y - start.y;
    view.spanOffX = view.scaledPtX - start.x;
    view.spanOffY = view.scaledPtY - start.y;
}

int32_t NextZoom(int32_t zoom, bool zoomIn, bool usePresets, uint32_t scaledW, uint32_t scaledH) {
    if (zoomIn) {
        if (usePresets) {
            int position = 0;
            while (position < ZOOM_PRESET_COUNT - 1 && zoom >= ZOOM_PRESETS[position]) {
                ++position;
            }
            zoom = ZOOM_PRESETS[position];
        } else {
            zoom = static_cast<int32_t>(static_cast<int64_t>(zoom) * 11 / 10);
        }
        return zoom > ZOOM_MAX ? ZOOM_MAX : zoom;
    }
    if (scaledW <= 1 || scaledH <= 1) {
        return zoom;
    }
    if (usePresets) {
        int position = ZOOM_PRESET_COUNT - 1;
        while (position > 0 && zoom <= ZOOM_PRESETS[position]) {
            --position;
        }
        return ZOOM_PRESETS[position];
    }
    return zoom * 10 / 11;
}

void RebuildScaleMaps(ViewState& view) {
    view.scaledMapLength = ScaledLength(view.mapLength, view.zoom);
    if (!ScaleMapsFit(view.mapLength, view.scaledMapLength, view.mapCapacity)) {
        return;  // nothing was built, so there is no scaled size to read
    }
    BuildScaleMaps(view.mapLength, view.scaledMapLength, view.mapCapacity, view.majorMap, view.minorMap);
    // The source -> scaled table at index imageW is the scaled width, since
    // mapLength exceeds both sides.
    const uint32_t* sourceToScaled = view.zoom >= ZOOM_UNIT ? view.minorMap : view.majorMap;
    view.scaledW = sourceToScaled[view.imageW];
    view.scaledH = sourceToScaled[view.imageH];
}

namespace {

// offset/span carried over to newSpan, rounded to nearest, a half down, and
// kept inside the pixel: when the pixel has shrunk to less than half its
// measured size, rounding up would land on the first scaled pixel of the
// next picture pixel and move the anchor from under the cursor.
int32_t CarryFraction(int32_t offset, int32_t span, int32_t newSpan) {
    if (span <= 0) {
        return 0;
    }
    int32_t q = offset * newSpan / span;
    const int32_t r = offset * newSpan % span;
    if (2 * r > span) {
        ++q;
    }
    if (q >= newSpan) {
        q = newSpan - 1;
    }
    return q < 0 ? 0 : q;
}

}  // namespace

void CentreOnAnchor(ViewState& view, const PlainPoint& cursor) {
    const PlainPoint anchor = {view.imagePtX, view.imagePtY};
    PlainPoint start;
    if (view.zoom >= ZOOM_UNIT) {
        PlainPoint end;
        ImageToScaledStart(anchor, view.minorMap, start);
        ImageToScaledEnd(anchor, view.minorMap, end);
        start.x += CarryFraction(view.spanOffX, view.spanW, end.x - start.x);
        start.y += CarryFraction(view.spanOffY, view.spanH, end.y - start.y);
    } else {
        ImageToScaledStart(anchor, view.majorMap, start);
    }
    PlainSize client;
    RectSize(view.clientRect, client);
    view.centreX = start.x + (client.w >> 1) - cursor.x;
    view.centreY = start.y + (client.h >> 1) - cursor.y;
}

void FinishZoomStep(ViewState& view, const PlainPoint& cursor) {
    LayoutViewAndBars(view);
    view.lastZoom = view.zoom;
    view.lastSrcX = view.srcX;
    view.lastSrcY = view.srcY;
    view.lastCursorX = cursor.x;
    view.lastCursorY = cursor.y;
}

namespace {

// The rest of a step once the anchor is found and measured: the new zoom,
// the tables, the centre and the layout.
void ChangeZoom(ViewState& view, const PlainPoint& cursor, int32_t zoom, int32_t highest) {
    const int32_t previousZoom = view.zoom;
    if (zoom > highest) {
        zoom = highest;
    }
    if (zoom < 1) {
        zoom = 1;
    }
    view.zoom = zoom;
    RebuildScaleMaps(view);
    if (view.scaledW == 0 || view.scaledH == 0) {
        // A step outwards that would shrink a side to nothing keeps the zoom.
        // The outward guard already prevents this for every picture the
        // tables hold; the check stays as a last line of defence.
        view.zoom = previousZoom;
        RebuildScaleMaps(view);
    }
    CentreOnAnchor(view, cursor);
    FinishZoomStep(view, cursor);
}

}  // namespace

void ZoomStep(ViewState& view, const PlainPoint& cursor, bool zoomIn, bool usePresets) {
    // Tables sized for the picture hold every zoom up to the cap; smaller
    // tables (a view set up by hand) stop the zoom at the highest that fits
    // them, and a view whose tables hold not even 100 % is left as it is.
    const int32_t highest = HighestFittingZoom(view.mapLength, view.mapCapacity);
    if (highest == 0) {
        return;
    }
    FindAnchor(view, cursor);
    MeasureCursorFraction(view, cursor);
    ChangeZoom(view, cursor, NextZoom(view.zoom, zoomIn, usePresets, view.scaledW, view.scaledH), highest);
}

void ZoomTo(ViewState& view, const PlainPoint& cursor, int32_t zoom) {
    const int32_t highest = HighestFittingZoom(view.mapLength, view.mapCapacity);
    if (highest == 0) {
        return;
    }
    FindAnchor(view, cursor);
    MeasureCursorFraction(view, cursor);
    ChangeZoom(view, cursor, zoom, highest);
}
