// The platform-free arithmetic of the scroll bars.
#pragma once

#include <cstdint>

#include "core/geometry/view_state.h"

struct WordHalves {
    int32_t low;   // low 16 bits, sign-extended
    int32_t high;  // the word shifted right by 16, sign copied in
};

void SplitWord(uint32_t value, WordHalves& halves);

// A bar is shown only when the scaled picture is strictly larger than the
// client extent along its axis.
bool NeedsScrollBar(uint32_t scaledExtent, int32_t clientExtent);

// The position a scroll request asks for, not yet clamped: lines of
// LINE_STEP, pages of the client extent less PAGE_OVERLAP, thumb requests
// from the 32-bit track position, top and bottom from the range.
int32_t ScrollRequestPosition(int32_t requestCode, const PlainScrollInfo& bar, int32_t clientExtent);

// What the platform makes of a position it is handed: clamped into
// [nMin, nMax - max(nPage - 1, 0)].
int32_t ClampScrollPosition(const PlainScrollInfo& bar);

// Scroll request codes, as the platform numbers them.
enum ScrollRequest : int32_t {
    SCROLL_LINE_BACK = 0,
    SCROLL_LINE_FORWARD = 1,
    SCROLL_PAGE_BACK = 2,
    SCROLL_PAGE_FORWARD = 3,
    SCROLL_THUMB_POSITION = 4,
    SCROLL_THUMB_TRACK = 5,
    SCROLL_TO_START = 6,
    SCROLL_TO_END = 7,
};
