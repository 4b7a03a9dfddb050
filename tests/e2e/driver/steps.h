// Steps that several suites take: zoom notches with Alt held, reading the
// first visible column and row, leaving a menu mode that a failure caused.
#pragma once

#include <windows.h>

#include <string>

#include "kiv.h"
#include "view_model.h"

namespace e2e {

// The first visible scaled column and row, read from the cursor readout at the
// client's top-left corner (exact along an axis with a bar; 0 along one that fits).
// Moves the cursor there.
POINT FirstVisible(Kiv& kiv, HWND child);

// Holds Alt (and Shift) and sends `count` wheel notifications of `delta`.
void ZoomNotches(HWND child, int count, int delta, bool shift);

// Compares the program with the model: the whole client area, the zoom
// readout, and the scaled pixel, picture pixel and colour readouts for the
// cursor, which is at client (cx, cy).
void ExpectStep(Kiv& kiv, HWND child, const Picture& picture, const ZoomStepModel& model, int cx, int cy,
                const std::string& context);

// The colour readout of status part 4: "#1E90FF  30,144,255", with alpha
// (0 to 255, or -1 for none) "  a=128" after it.
std::string ColourReadout(uint32_t colour, int alpha = -1);

// If the program's thread went into menu mode, leaves it with Escape.
void LeaveMenuMode(HWND window);

constexpr int WHEEL_UP = 120;
constexpr int WHEEL_DOWN = -120;

}  // namespace e2e
