#include "core/pixels/orientation.h"

#include <cstddef>
#include <cstring>

namespace {

// Every orientation is at most three steps applied to the stored picture in
// this order: a transpose, then a left-right mirror, then a top-bottom mirror.
constexpr uint8_t STEP_TRANSPOSE = 1;
constexpr uint8_t STEP_MIRROR_X = 2;
constexpr uint8_t STEP_MIRROR_Y = 4;
constexpr uint8_t STEP_COMBINATIONS = 8;

// Indexed by orientation; entry 0 stands for every value out of range.
constexpr uint8_t STEPS_OF[ORIENTATION_LAST + 1] = {
    0,                                              // out of range: as stored
    0,                                              // 1
    STEP_MIRROR_X,                                  // 2
    STEP_MIRROR_X | STEP_MIRROR_Y,                  // 3
    STEP_MIRROR_Y,                                  // 4
    STEP_TRANSPOSE,                                 // 5
    STEP_TRANSPOSE | STEP_MIRROR_X,                 // 6
    STEP_TRANSPOSE | STEP_MIRROR_X | STEP_MIRROR_Y, // 7
    STEP_TRANSPOSE | STEP_MIRROR_Y,                 // 8
};

constexpr Orientation ORIENTATION_OF[STEP_COMBINATIONS] = {
    ORIENTATION_NONE,       // no step
    ORIENTATION_TRANSPOSE,  // transpose
    ORIENTATION_MIRROR,     // mirror x
    ORIENTATION_CLOCKWISE,  // transpose, mirror x
    ORIENTATION_FLIP,       // mirror y
    ORIENTATION_ANTICLOCKWISE,  // transpose, mirror y
    ORIENTATION_HALF_TURN,  // mirror x and y
    ORIENTATION_TRANSVERSE, // all three
};

uint8_t StepsOf(Orientation o) {
    return STEPS_OF[IsOrientation(o) ? o : 0];
}

constexpr size_t PIXEL_BYTES = 4;

// Pictures are walked in square tiles when the stored rows become shown
// columns, so the few dozen stored rows a tile reads stay in the cache.
constexpr uint32_t TILE = 64;

bool Addressable(const PixelSurface& surface) {
    return surface.bits != nullptr && surface.width > 0 && surface.height > 0 && surface.stride > 0 &&
           surface.stride % PIXEL_BYTES == 0 && reinterpret_cast<uintptr_t>(surface.bits) % PIXEL_BYTES == 0 &&
           surface.stride / PIXEL_BYTES >= static_cast<uint32_t>(surface.width);
}

// Byte offset of the first pixel of row (0 at the top) in a bottom-up surface.
ptrdiff_t RowOffset(const PixelSurface& surface, uint32_t row) {
    return static_cast<ptrdiff_t>(static_cast<uint32_t>(surface.height) - 1 - row) * surface.stride;
}

uint32_t* RowPixels(const PixelSurface& surface, uint32_t row) {
    return reinterpret_cast<uint32_t*>(surface.bits + RowOffset(surface, row));
}

uint32_t PixelAt(const PixelSurface& surface, ptrdiff_t offset) {
    return *reinterpret_cast<const uint32_t*>(surface.bits + offset);
}

// Orientations 1..4: every shown row is one stored row, reversed or not.
void TransformRows(const PixelSurface& stored, const PixelSurface& shown, uint8_t steps) {
    const uint32_t width = static_cast<uint32_t>(stored.width);
    const uint32_t height = static_cast<uint32_t>(stored.height);
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* in = RowPixels(stored, (steps & STEP_MIRROR_Y) ? height - 1 - y : y);
        uint32_t* out = RowPixels(shown, y);
        if (steps & STEP_MIRROR_X) {
            for (uint32_t x = 0; x < width; ++x) out[x] = in[width - 1 - x];
        } else {
            std::memcpy(out, in, width * PIXEL_BYTES);
        }
    }
}

// Orientations 5..8: shown row y is stored column y' and shown column x is
// stored row x' (after the mirrors), so along a shown row the reads step a
// whole stored row at a time.
void TransformTiles(const PixelSurface& stored, const PixelSurface& shown, uint8_t steps) {
    const uint32_t shownW = static_cast<uint32_t>(shown.width);
    const uint32_t shownH = static_cast<uint32_t>(shown.height);
    const bool mirrorX = (steps & STEP_MIRROR_X) != 0;
    const bool mirrorY = (steps & STEP_MIRROR_Y) != 0;
    // Stored rows lie stride bytes apart, the top one last in memory.
    const ptrdiff_t step = mirrorX ? stored.stride : -static_cast<ptrdiff_t>(stored.stride);
    for (uint32_t tileY = 0; tileY < shownH; tileY += TILE) {
        const uint32_t endY = shownH - tileY < TILE ? shownH : tileY + TILE;
        for (uint32_t tileX = 0; tileX < shownW; tileX += TILE) {
            const uint32_t endX = shownW - tileX < TILE ? shownW : tileX + TILE;
            const uint32_t firstStoredRow = mirrorX ? shownW - 1 - tileX : tileX;
            for (uint32_t y = tileY; y < endY; ++y) {
                const uint32_t storedColumn = mirrorY ? shownH - 1 - y : y;
                ptrdiff_t offset = RowOffset(stored, firstStoredRow) + static_cast<ptrdiff_t>(storedColumn * PIXEL_BYTES);
                uint32_t* out = RowPixels(shown, y);
                for (uint32_t x = tileX; x < endX; ++x, offset += step) out[x] = PixelAt(stored, offset);
            }
        }
    }
}

}  // namespace

void ShownSize(uint32_t storedW, uint32_t storedH, Orientation o, uint32_t& shownW, uint32_t& shownH) {
    const bool transposed = (StepsOf(o) & STEP_TRANSPOSE) != 0;
    shownW = transposed ? storedH : storedW;
    shownH = transposed ? storedW : storedH;
}

void ShownToStored(uint32_t x, uint32_t y, uint32_t storedW, uint32_t storedH, Orientation o,
                   uint32_t& storedX, uint32_t& storedY) {
    const uint8_t steps = StepsOf(o);
    uint32_t shownW, shownH;
    ShownSize(storedW, storedH, o, shownW, shownH);
    // Undo the steps in reverse order.
    const uint32_t unmirroredX = (steps & STEP_MIRROR_X) ? shownW - 1 - x : x;
    const uint32_t unmirroredY = (steps & STEP_MIRROR_Y) ? shownH - 1 - y : y;
    const bool transposed = (steps & STEP_TRANSPOSE) != 0;
    storedX = transposed ? unmirroredY : unmirroredX;
    storedY = transposed ? unmirroredX : unmirroredY;
}

Orientation Compose(Orientation first, Orientation second) {
    uint8_t before = StepsOf(first);
    const uint8_t after = StepsOf(second);
    // A transpose after a mirror equals the other mirror after the
    // transpose, so second's transpose moves in front of first's mirrors by
    // swapping them; mirrors commute with each other.
    if (after & STEP_TRANSPOSE) {
        const uint8_t mirrorX = (before & STEP_MIRROR_Y) ? STEP_MIRROR_X : 0;
        const uint8_t mirrorY = (before & STEP_MIRROR_X) ? STEP_MIRROR_Y : 0;
        before = static_cast<uint8_t>((before & STEP_TRANSPOSE) | mirrorX | mirrorY);
    }
    return ORIENTATION_OF[before ^ after];
}

void TransformSurface(const PixelSurface& stored, const PixelSurface& shown, Orientation o) {
    if (!Addressable(stored) || !Addressable(shown)) return;
    uint32_t shownW, shownH;
    ShownSize(static_cast<uint32_t>(stored.width), static_cast<uint32_t>(stored.height), o, shownW, shownH);
    if (static_cast<uint32_t>(shown.width) != shownW || static_cast<uint32_t>(shown.height) != shownH) return;
    const uint8_t steps = StepsOf(o);
    if (steps & STEP_TRANSPOSE) {
        TransformTiles(stored, shown, steps);
    } else {
        TransformRows(stored, shown, steps);
    }
}
