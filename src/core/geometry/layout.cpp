#include "core/geometry/layout.h"

void RectSize(const PlainRect& rect, PlainSize& size) {
    size.w = rect.right - rect.left;
    size.h = rect.bottom - rect.top;
}

namespace {

// One axis of the layout; both axes follow the same rule.
void LayoutAxis(int32_t centre, int32_t clientExtent, uint32_t scaledExtent,
                int32_t& dest, int32_t& src, int32_t& visible) {
    if (clientExtent < 0) {
        clientExtent = 0;  // a client area is never negative; do not let one wrap
    }
    if (scaledExtent <= static_cast<uint32_t>(clientExtent)) {
        // Fits: centred, the extra pixel of an odd margin on the far side.
        src = 0;
        visible = static_cast<int32_t>(scaledExtent);
        dest = static_cast<int32_t>(static_cast<uint32_t>(clientExtent) - scaledExtent) >> 1;
        return;
    }
    dest = 0;
    visible = clientExtent;
    src = centre - (clientExtent >> 1);
    if (src <= 0) {
        src = 0;
    } else if (static_cast<int64_t>(src) + clientExtent > static_cast<int64_t>(scaledExtent)) {
        src = static_cast<int32_t>(scaledExtent) - clientExtent;
    }
}

}  // namespace

void LayoutViewport(int32_t centreX, int32_t centreY, const PlainRect& rect,
                    uint32_t scaledW, uint32_t scaledH,
                    int32_t& destX, int32_t& destY,
                    int32_t& srcX, int32_t& srcY,
                    int32_t& visW, int32_t& visH) {
    PlainSize client;
    RectSize(rect, client);
    LayoutAxis(centreX, client.w, scaledW, destX, srcX, visW);
    LayoutAxis(centreY, client.h, scaledH, destY, srcY, visH);
}

void LayoutView(ViewState& view) {
    LayoutViewport(view.centreX, view.centreY, view.clientRect, view.scaledW, view.scaledH,
                   view.destX, view.destY, view.srcX, view.srcY, view.visW, view.visH);
}

void LayoutViewAndBars(ViewState& view) {
    LayoutView(view);
    view.hScroll.nPos = view.srcX;
    view.vScroll.nPos = view.srcY;
}

PlainPoint ClientCentre(const ViewState& view) {
    PlainSize client;
    RectSize(view.clientRect, client);
    return {client.w >> 1, client.h >> 1};
}

void ClientToScaled(const PlainPoint& client, const ViewState& view, PlainPoint& scaled) {
    scaled.x = client.x - view.destX + view.srcX;
    scaled.y = client.y - view.destY + view.srcY;
}

void ClampToScaled(PlainPoint& point, uint32_t w, uint32_t h) {
    if (point.x < 0) point.x = 0;
    if (point.y < 0) point.y = 0;
    if (point.x >= static_cast<int32_t>(w)) point.x = static_cast<int32_t>(w) - 1;
    if (point.y >= static_cast<int32_t>(h)) point.y = static_cast<int32_t>(h) - 1;
}

const uint32_t* ScaledToSourceTable(const ViewState& view) {
    return view.zoom >= ZOOM_UNIT ? view.majorMap : view.minorMap;
}

uint32_t ScaledToSourceEntries(const ViewState& view) {
    // Above 100 % the scaled length is the longer one and indexes majorMap;
    // below, it is the shorter one and minorMap holds one closing entry more.
    return view.zoom >= ZOOM_UNIT ? view.scaledMapLength : view.scaledMapLength + 1;
}

void ScaledToImage(const PlainPoint& scaled, const ViewState& view, PlainPoint& image) {
    const uint32_t* table = ScaledToSourceTable(view);
    image.x = static_cast<int32_t>(table[scaled.x]);
    image.y = static_cast<int32_t>(table[scaled.y]);
}

void ImageToScaledStart(const PlainPoint& image, const uint32_t* table, PlainPoint& scaled) {
    scaled.x = static_cast<int32_t>(table[image.x]);
    scaled.y = static_cast<int32_t>(table[image.y]);
}

void ImageToScaledEnd(const PlainPoint& image, const uint32_t* table, PlainPoint& scaled) {
    scaled.x = static_cast<int32_t>(table[image.x + 1]);
    scaled.y = static_cast<int32_t>(table[image.y + 1]);
}
