#include "core/geometry/fit.h"

#include "core/geometry/scrolling.h"
#include "core/geometry/view_state.h"

namespace {

constexpr uint64_t UNIT = ZOOM_UNIT;
constexpr uint64_t TWO_UNITS = 2 * UNIT;

bool ShowsBothSides(uint32_t imageW, uint32_t imageH, uint32_t mapLength, int32_t zoom) {
    return ScaledExtent(imageW, mapLength, zoom) >= 1 && ScaledExtent(imageH, mapLength, zoom) >= 1;
}

bool FitsClient(uint32_t imageW, uint32_t imageH, uint32_t mapLength, int32_t zoom, int32_t clientW,
                int32_t clientH) {
    return !NeedsScrollBar(ScaledExtent(imageW, mapLength, zoom), clientW) &&
           !NeedsScrollBar(ScaledExtent(imageH, mapLength, zoom), clientH);
}

// mapLength for a picture, or 0 when a side is empty or the sum would wrap.
uint32_t MapLengthOf(uint32_t imageW, uint32_t imageH) {
    const uint32_t longer = imageW > imageH ? imageW : imageH;
    if (imageW == 0 || imageH == 0 || longer == UINT32_MAX) {
        return 0;
    }
    return longer + 1;
}

}  // namespace

uint32_t ScaledExtent(uint32_t imageSide, uint32_t mapLength, int32_t zoom) {
    if (zoom < 1 || mapLength == 0) {
        return 0;
    }
    // The table length is S = ceil(M z / U) = (M z + e) / U with 0 <= e < U.
    // The walk gives a side of n pixels ceil((2 n S - M) / 2M) scaled pixels
    // from 100 % up (minorMap[n]) and floor((2n + 1) S / 2M) below
    // (majorMap[n]). Both are taken over 2MU with S replaced by (M z + e) / U,
    // and k z (k = 2n or 2n + 1) split as q 2U + r, so every product stays far
    // inside 64 bits even for sides near 2^32 at any zoom.
    const uint64_t m = mapLength;
    const uint64_t z = static_cast<uint64_t>(zoom);
    const uint64_t overUnit = m * z % UNIT;
    const uint64_t e = overUnit == 0 ? 0 : UNIT - overUnit;
    const bool enlarging = zoom >= ZOOM_UNIT;
    const uint64_t k = 2 * static_cast<uint64_t>(imageSide) + (enlarging ? 0 : 1);
    const uint64_t t = k * z;
    const uint64_t q = t / TWO_UNITS;
    const uint64_t r = t % TWO_UNITS;
    const uint64_t cell = 2 * m * UNIT;
    uint64_t extent = q;
    if (enlarging) {
        // ceil((r M + k e - M U) / 2MU): the sum is above -MU, so it rounds
        // up to 0 when not positive.
        const int64_t excess = static_cast<int64_t>(r * m + k * e) - static_cast<int64_t>(m * UNIT);
        if (excess > 0) {
            extent += (static_cast<uint64_t>(excess) + cell - 1) / cell;
        }
    } else {
        extent += (r * m + k * e) / cell;
    }
    return extent > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(extent);
}

int32_t SmallestShowingZoom(uint32_t imageW, uint32_t imageH) {
    const uint32_t mapLength = MapLengthOf(imageW, imageH);
    if (mapLength == 0) {
        return ZOOM_UNIT;
    }
    // At 100 % every side shows at its own size; the sides only grow with the zoom.
    int32_t low = 1;
    int32_t high = ZOOM_UNIT;
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (ShowsBothSides(imageW, imageH, mapLength, middle)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

int32_t FitZoom(uint32_t imageW, uint32_t imageH, int32_t clientW, int32_t clientH) {
    const uint32_t mapLength = MapLengthOf(imageW, imageH);
    const int32_t smallest = SmallestShowingZoom(imageW, imageH);
    if (mapLength == 0 || !FitsClient(imageW, imageH, mapLength, smallest, clientW, clientH)) {
        return smallest;
    }
    // The scaled sides never shrink as the zoom grows: the zooms that fit run
    // from 1 up to some top, the zooms that show both sides from `smallest`
    // up, and `smallest` is in both; find the top.
    int32_t low = smallest;
    int32_t high = ZOOM_MAX;
    while (low < high) {
        const int32_t middle = high - (high - low) / 2;
        if (FitsClient(imageW, imageH, mapLength, middle, clientW, clientH)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}
