// Reading the screen back and comparing a document window with what it should
// show; moving the cursor, holding keys and turning the wheel as a user would.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pictures.h"
#include "view_model.h"

namespace e2e {

class Kiv;

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, rows top-down
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Capture CaptureScreen(int left, int top, int width, int height);
Capture CaptureClient(HWND window);
uint32_t ScreenPixelAtClient(HWND window, int x, int y);

// What a view should show, and where its bars stand (used only along an axis
// that does not fit).
struct ViewExpectation {
    const Picture* picture = nullptr;
    int32_t zoom = ZOOM_UNIT;
    int64_t barX = 0;
    int64_t barY = 0;
    // For lossy pictures: the largest difference per colour channel, checked
    // only where the picture is flat around the pixel shown (edges blur), or
    // with everywhere at every pixel (a decode against a reference decode).
    int tolerance = 0;
    bool everywhere = false;
};

// What JPEG coding may do to the flat colours of BlockPicture.
constexpr int JPEG_TOLERANCE = 40;

// Compares the whole client area with the model; on a difference, describes
// the first few in *why.
bool ViewShows(HWND child, const ViewExpectation& expected, std::string* why);
// Waits until the view shows it; records a failure (with context) otherwise,
// and writes what the screen showed and what was expected as PNG files
// (FailureImagePrefix).
bool ExpectView(HWND child, const ViewExpectation& expected, const char* context);

// Where the picture of a fitting axis starts and how the layout lies, for
// tests that pick client points.
AxisLayout LayoutX(HWND child, const ViewExpectation& expected);
AxisLayout LayoutY(HWND child, const ViewExpectation& expected);

// Cursor and keys.
void MoveCursorToClient(HWND window, int x, int y);
POINT CursorInClient(HWND window);
void PressKeys(const std::vector<WORD>& keys);
void ReleaseKeys(const std::vector<WORD>& keys);
// Presses and releases key while the `held` keys are down, as a user types a
// shortcut; the foreground window of the program gets it.
void TapKey(WORD key, const std::vector<WORD>& held = {});

// One wheel notification handed straight to the view (it reads the keys and
// the cursor itself); returns when the view has handled it.
bool Wheel(HWND child, int delta);
// Has the view refresh its cursor readouts (it reads the cursor itself).
bool RefreshReadouts(HWND child);

// The two numbers of an "x:y" readout; false when the text is not one.
bool ParsePair(const std::string& text, int64_t* x, int64_t* y);

// Whether the program's user-interface thread is in menu mode.
bool InMenuMode(HWND window);

std::string ColourText(uint32_t colour);

}  // namespace e2e
