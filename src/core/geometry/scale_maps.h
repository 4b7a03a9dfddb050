// The two integer index tables that drive nearest-neighbour scaling.
#pragma once

#include <cstdint>

#include "core/geometry/view_state.h"

// ceil(n * zoom / ZOOM_UNIT), with a 64-bit product: large pictures at high
// zoom pass 32 bits.
uint32_t ScaledLength(uint32_t n, int32_t zoom);

// The tables a view needs for a picture whose longer side is mapLength - 1,
// at every zoom up to ZOOM_MAX: the longer table takes the scaled length at
// the cap, the shorter one the picture's length and a closing entry.
ScaleMapCapacity CapacityForPicture(uint32_t mapLength);

// Fills majorMap[0 .. large-1] and minorMap[0 .. small] for the two lengths
// (both >= 1, in either order) by a Bresenham-style walk: additions and
// comparisons only. Callers check ScaleMapsFit first; lengths that do not
// fit leave both tables untouched.
void BuildScaleMaps(uint32_t a, uint32_t b, const ScaleMapCapacity& capacity, uint32_t* majorMap,
                    uint32_t* minorMap);

// Whether a build for these two lengths stays inside both tables: the larger
// length at most capacity.major, the smaller at most capacity.minor - 1.
bool ScaleMapsFit(uint32_t a, uint32_t b, const ScaleMapCapacity& capacity);

// The largest zoom (at most ZOOM_MAX) whose tables for mapLength fit, or 0
// when not even 100 % fits (mapLength above capacity.minor - 1).
int32_t HighestFittingZoom(uint32_t mapLength, const ScaleMapCapacity& capacity);
