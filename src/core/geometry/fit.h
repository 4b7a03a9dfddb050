// The fit command: the zoom that shows a whole picture in a client area, from
// the closed form of the scale tables, so no table is built while searching.
#pragma once

#include <cstdint>

// The scaled length of one side of a picture at a zoom, exactly as the tables
// give it (what RebuildScaleMaps reads as scaledW / scaledH), from the closed
// form of the walk: imageSide < mapLength, mapLength = max(imageW, imageH) + 1.
// No table is built. 0 for a zoom below 1 or a mapLength of 0; saturated at
// UINT32_MAX for sides far beyond what any table holds.
uint32_t ScaledExtent(uint32_t imageSide, uint32_t mapLength, int32_t zoom);

// The smallest zoom at which both scaled sides are at least one pixel (at most
// ZOOM_UNIT, where every side shows at its own size). ZOOM_UNIT for a picture
// with an empty side or a side of UINT32_MAX, which no view holds.
int32_t SmallestShowingZoom(uint32_t imageW, uint32_t imageH);

// The fit command: the largest zoom in [1, ZOOM_MAX], in single zoom units
// (not only presets), at which the whole picture fits a client area of
// clientW x clientH without scroll bars (scaled side <= client side on both
// axes, see NeedsScrollBar) while both scaled sides stay at least one pixel.
// When no zoom satisfies both (a client smaller than one scaled pixel, or a
// 1 x 20000 picture whose width would vanish before its height fits), the
// smallest zoom at which both scaled sides are at least one pixel. Not limited
// to what a view's tables hold: the caller caps it with HighestFittingZoom.
int32_t FitZoom(uint32_t imageW, uint32_t imageH, int32_t clientW, int32_t clientH);
