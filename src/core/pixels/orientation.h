// The eight orientations of a picture and the pixel work they imply.
#pragma once

#include <cstdint>

#include "core/pixels/pixel_copy.h"

// An orientation is one of the eight values of the EXIF tag, naming the
// transform from the pixels as stored to the picture as shown. Values outside
// 1..8 count as ORIENTATION_NONE everywhere.
using Orientation = uint8_t;

constexpr Orientation ORIENTATION_NONE = 1;           // as stored
constexpr Orientation ORIENTATION_MIRROR = 2;         // mirrored left-right
constexpr Orientation ORIENTATION_HALF_TURN = 3;      // turned 180 degrees
constexpr Orientation ORIENTATION_FLIP = 4;           // mirrored top-bottom
constexpr Orientation ORIENTATION_TRANSPOSE = 5;      // mirrored about the main diagonal
constexpr Orientation ORIENTATION_CLOCKWISE = 6;      // turned 90 degrees clockwise
constexpr Orientation ORIENTATION_TRANSVERSE = 7;     // mirrored about the other diagonal
constexpr Orientation ORIENTATION_ANTICLOCKWISE = 8;  // turned 90 degrees anticlockwise

constexpr Orientation ORIENTATION_FIRST = ORIENTATION_NONE;
constexpr Orientation ORIENTATION_LAST = ORIENTATION_ANTICLOCKWISE;

constexpr bool IsOrientation(uint32_t value) {
    return value >= ORIENTATION_FIRST && value <= ORIENTATION_LAST;
}

// 5..8 swap width and height.
void ShownSize(uint32_t storedW, uint32_t storedH, Orientation o, uint32_t& shownW, uint32_t& shownH);

// Which stored pixel the shown pixel (x, y) comes from, both counted from the
// top left; (x, y) must lie inside the shown size.
void ShownToStored(uint32_t x, uint32_t y, uint32_t storedW, uint32_t storedH, Orientation o,
                   uint32_t& storedX, uint32_t& storedY);

// first, then second, as one orientation: a turn or mirror command composes
// with the orientation already shown.
Orientation Compose(Orientation first, Orientation second);

// Writes shown = stored transformed by o. shown must have the shown size and
// must not overlap stored; nothing is written when the sizes do not match or
// either surface cannot be addressed (no bits, rows not whole 32-bit words
// apart or shorter than the width).
void TransformSurface(const PixelSurface& stored, const PixelSurface& shown, Orientation o);
