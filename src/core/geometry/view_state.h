// The per-window record of a document window and the constants of the view.
// Platform-free: the RECT and SCROLLINFO members are plain structs with the
// platform's layout, so the Win32 side can hand them to the platform as they are.
#pragma once

#include <cstdint>

// Zoom is an integer in units of 1/10000: 10000 is 100 %.
constexpr int32_t ZOOM_UNIT = 10000;
constexpr int32_t ZOOM_MAX = 320000;

constexpr int ZOOM_PRESET_COUNT = 35;
constexpr int32_t ZOOM_PRESETS[ZOOM_PRESET_COUNT] = {
    1,     2,     3,     5,     10,    20,    30,    40,     50,     70,     100,    150,
    200,   300,   400,   500,   625,   833,   1250,  1667,   2500,   3333,   5000,   6667,
    10000, 20000, 30000, 40000, 50000, 60000, 70000, 80000, 120000, 160000, 320000};

// The longest picture side a view takes. Its tables at ZOOM_MAX then hold
// 32 x 65536 entries, and every sum of the walk stays far inside 32 bits.
constexpr uint32_t MAX_PICTURE_SIDE = 65535;

// How many entries a view's two scale tables hold: sized for its picture at
// ZOOM_MAX (CapacityForPicture), so every zoom fits.
struct ScaleMapCapacity {
    uint32_t major;
    uint32_t minor;
};

// Scrolling: one line, and the part of the old page that stays in view.
constexpr int32_t LINE_STEP = 16;
constexpr int32_t PAGE_OVERLAP = 4;

// Same layout as the platform's RECT.
struct PlainRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Same layout as the platform's SCROLLINFO.
struct PlainScrollInfo {
    uint32_t cbSize;
    uint32_t fMask;
    int32_t nMin;
    int32_t nMax;
    uint32_t nPage;
    int32_t nPos;
    int32_t nTrackPos;
};

struct PlainPoint {
    int32_t x;
    int32_t y;
};

struct PlainSize {
    int32_t w;
    int32_t h;
};

// One per document window, zero-filled at creation; the fields keep the order
// the rest of the view was designed around.
struct ViewState {
    PlainRect clientRect;        // left and top always 0
    int32_t centreX, centreY;    // scaled pixel laid out at the client centre
    uint32_t* majorMap;          // mapCapacity.major entries
    uint32_t* minorMap;          // mapCapacity.minor entries
    int32_t destX, destY;        // client position of the first visible scaled pixel
    int32_t srcX, srcY;          // first visible scaled column and row
    int32_t visW, visH;          // visible scaled columns and rows
    int32_t imagePtX, imagePtY;  // source pixel under the cursor
    int32_t scaledPtX, scaledPtY;  // scaled pixel under the cursor, clamped
    int32_t zoom;
    uint32_t imageW, imageH;
    uint32_t mapLength;          // max(imageW, imageH) + 1
    uint32_t scaledW, scaledH;
    uint32_t scaledMapLength;    // ScaledLength(mapLength, zoom)
    int32_t lastZoom;            // anchor key of the last zoom step
    int32_t lastSrcX, lastSrcY;
    int32_t lastCursorX, lastCursorY;
    int32_t spanW, spanH;        // cursor fraction: size of the pixel under the cursor
    int32_t spanOffX, spanOffY;  // ... and the cursor's offset inside it
    int32_t hBarShown;
    int32_t vBarShown;
    PlainScrollInfo hScroll;
    PlainScrollInfo vScroll;
    ScaleMapCapacity mapCapacity;  // what majorMap and minorMap hold
};
