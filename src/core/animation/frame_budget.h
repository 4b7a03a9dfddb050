// Which composed frames of an animation are kept: all of them when they fit
// the memory budget; beyond it a window of frames from the one asked for last
// onwards, the others composed again as they come round (the frames come from
// their decoder in order only, so a window behind the one shown would cost a
// pass through the whole file for each frame).
#pragma once

#include <cstdint>

// At most this much memory of composed frames per animation.
constexpr uint64_t ANIMATION_BUDGET_BYTES = 256ull << 20;
// The frame shown and the next are always kept, whatever the budget says.
constexpr uint32_t FEWEST_FRAMES_KEPT = 2;

// How many frames of frameBytes each are kept of frameCount.
uint32_t FramesKept(uint64_t frameBytes, uint32_t frameCount, uint64_t budgetBytes);

// Whether frame belongs to the window of kept frames when wanted was asked
// for last: kept frames from wanted on, wrapping round.
bool InKeptWindow(uint32_t frame, uint32_t wanted, uint32_t kept, uint32_t frameCount);

// The frame of the window to compose next, nearest to wanted first;
// frameCount when the window is complete. isKept(frame) says whether a frame
// is composed and kept already.
template <typename IsKept>
uint32_t NextToCompose(uint32_t wanted, uint32_t kept, uint32_t frameCount, IsKept isKept) {
    if (frameCount == 0 || wanted >= frameCount) return frameCount;
    const uint32_t span = kept < frameCount ? kept : frameCount;
    for (uint32_t distance = 0; distance < span; ++distance) {
        const uint32_t frame = static_cast<uint32_t>((static_cast<uint64_t>(wanted) + distance) % frameCount);
        if (!isKept(frame)) return frame;
    }
    return frameCount;
}

// A canvas (top-down rows of 0xAARRGGBB, straight colours) as the two
// surfaces of a picture: painted (bottom-up rows, bytes blue, green, red,
// alpha, laid over black) and, when straight is not null, the decoded colours
// (bottom-up, as they are). Returns whether any pixel is less than opaque.
bool CanvasToPicture(const uint32_t* canvas, uint32_t width, uint32_t height, uint8_t* painted, int32_t paintedStride,
                     uint32_t* straight);
