// A view whose picture is turned or mirrored (the rotate and flip commands):
// the picture changes under it, the view keeps its zoom and its place.
#pragma once

#include "core/pixels/orientation.h"
#include "core/geometry/view_state.h"

// The view after its picture (imageW x imageH) was turned by turn: the new
// size, tables rebuilt at the same zoom, and the picture pixel that was under
// the client centre back under it, now at its turned place. The tables must
// hold the turned picture, which has the same longer side.
void TurnView(ViewState& view, Orientation turn);

// Where a pixel of a picture of width x height goes when the picture is turned.
void TurnedPixel(uint32_t x, uint32_t y, uint32_t width, uint32_t height, Orientation turn, uint32_t& turnedX,
                 uint32_t& turnedY);
