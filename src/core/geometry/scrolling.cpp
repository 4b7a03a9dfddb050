#include "core/geometry/scrolling.h"

#include <cstdint>

void SplitWord(uint32_t value, WordHalves& halves) {
    halves.low = static_cast<int16_t>(value & 0xFFFFu);
    halves.high = static_cast<int32_t>(value) >> 16;
}

bool NeedsScrollBar(uint32_t scaledExtent, int32_t clientExtent) {
    return clientExtent < 0 || scaledExtent > static_cast<uint32_t>(clientExtent);
}

namespace {

// Out-of-range positions are the platform's to clamp, but the sum itself
// must not overflow.
int32_t Saturated(int64_t position) {
    if (position > INT32_MAX) return INT32_MAX;
    if (position < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(position);
}

}  // namespace

int32_t ScrollRequestPosition(int32_t requestCode, const PlainScrollInfo& bar, int32_t clientExtent) {
    const int64_t pageStep = static_cast<int64_t>(clientExtent) - PAGE_OVERLAP;
    switch (requestCode) {
        case SCROLL_LINE_BACK: return Saturated(static_cast<int64_t>(bar.nPos) - LINE_STEP);
        case SCROLL_LINE_FORWARD: return Saturated(static_cast<int64_t>(bar.nPos) + LINE_STEP);
        case SCROLL_PAGE_BACK: return Saturated(bar.nPos - pageStep);
        case SCROLL_PAGE_FORWARD: return Saturated(bar.nPos + pageStep);
        case SCROLL_THUMB_POSITION:
        case SCROLL_THUMB_TRACK: return bar.nTrackPos;
        case SCROLL_TO_START: return bar.nMin;
        case SCROLL_TO_END: return bar.nMax;
        default: return bar.nPos;
    }
}

int32_t ClampScrollPosition(const PlainScrollInfo& bar) {
    const int64_t pageLess = bar.nPage > 0 ? static_cast<int64_t>(bar.nPage) - 1 : 0;
    int64_t highest = static_cast<int64_t>(bar.nMax) - pageLess;
    if (highest < bar.nMin) {
        highest = bar.nMin;
    }
    int64_t position = bar.nPos;
    if (position > highest) position = highest;
    if (position < bar.nMin) position = bar.nMin;
    return static_cast<int32_t>(position);
}
