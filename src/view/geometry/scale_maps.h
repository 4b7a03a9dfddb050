// The two integer index tables that drive nearest-neighbour scaling.
#pragma once

#include <cstdint>

// ceil(n * zoom / ZOOM_UNIT), with a 64-bit product: large pictures at high
// zoom pass 32 bits.
uint32_t ScaledLength(uint32_t n, int32_t zoom);

// Fills majorMap[0 .. large-1] and minorMap[0 .. small] for the two lengths
// (both >= 1, in either order) by a Bresenham-style walk: additions and
// comparisons only. Callers check ScaleMapsFit first; lengths that do not
// fit leave both tables untouched.
void BuildScaleMaps(uint32_t a, uint32_t b, uint32_t* majorMap, uint32_t* minorMap);

// Whether a build for these two lengths stays inside both tables: the larger
// length at most MAJOR_MAP_ENTRIES, the smaller at most MINOR_MAP_ENTRIES - 1.
bool ScaleMapsFit(uint32_t a, uint32_t b);

// The largest zoom (at most ZOOM_MAX) whose tables for mapLength fit, or 0
// when not even 100 % fits (mapLength above MINOR_MAP_ENTRIES - 1).
int32_t HighestFittingZoom(uint32_t mapLength);
