// Steps that several suites take: zoom notches with Alt held, reading the
// first visible column and row, leaving a menu mode that a failure caused.
#pragma once

#include <windows.h>

#include "kiv.h"
#include "view_model.h"

namespace e2e {

// The first visible scaled column and row, read from the cursor readout at the
// client's top-left corner (exact along an axis with a bar; 0 along one that fits).
// Moves the cursor there.
POINT FirstVisible(Kiv& kiv, HWND child);

// Holds Alt (and Shift) and sends `count` wheel notifications of `delta`.
void ZoomNotches(HWND child, int count, int delta, bool shift);

// If the program's thread went into menu mode, leaves it with Escape.
void LeaveMenuMode(HWND window);

constexpr int WHEEL_UP = 120;
constexpr int WHEEL_DOWN = -120;

}  // namespace e2e
