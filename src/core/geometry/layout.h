// Viewport layout and the mapping between client, scaled and source pixels.
// Every routine delivers into output pairs the caller supplies.
#pragma once

#include <cstdint>

#include "core/geometry/view_state.h"

void RectSize(const PlainRect& rect, PlainSize& size);

// From the view centre, the client rectangle and the scaled size: where the
// visible part of the scaled picture lands (dest), which scaled pixel it starts
// at (src) and how many columns and rows are visible. An axis that fits is
// centred; one that does not is placed around the centre, clamped to the edges.
void LayoutViewport(int32_t centreX, int32_t centreY, const PlainRect& rect,
                    uint32_t scaledW, uint32_t scaledH,
                    int32_t& destX, int32_t& destY,
                    int32_t& srcX, int32_t& srcY,
                    int32_t& visW, int32_t& visH);

// Lays the view out from its own centre, client rectangle and scaled size.
void LayoutView(ViewState& view);

// The same, then hands the first visible column and row to the scroll
// records, as the re-layout after a change of zoom or picture wants them.
void LayoutViewAndBars(ViewState& view);

// The client point the keys zoom about and linked views line up on: the
// same point CentreOnAnchor puts at the centre.
PlainPoint ClientCentre(const ViewState& view);

// Not clamped: points in the margin or outside the client area give scaled
// coordinates outside the scaled picture.
void ClientToScaled(const PlainPoint& client, const ViewState& view, PlainPoint& scaled);

void ClampToScaled(PlainPoint& point, uint32_t w, uint32_t h);

// The scaled point must lie inside the scaled picture.
void ScaledToImage(const PlainPoint& scaled, const ViewState& view, PlainPoint& image);

// The scaled -> source table of the view's zoom, and how many entries of it
// the last build wrote.
const uint32_t* ScaledToSourceTable(const ViewState& view);
uint32_t ScaledToSourceEntries(const ViewState& view);

void ImageToScaledStart(const PlainPoint& image, const uint32_t* table, PlainPoint& scaled);
void ImageToScaledEnd(const PlainPoint& image, const uint32_t* table, PlainPoint& scaled);
