// The one process-wide, screen-sized surface every document window composes
// its paint in, with the drawing tools of every paint.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/gdi.h"
#include "core/pixels/pixel_copy.h"

// Grey of everything around the picture, and the pen of the ring the paint's
// Rectangle leaves just outside the area it clears.
constexpr COLORREF BACKGROUND_COLOUR = RGB(91, 91, 91);
constexpr COLORREF FRAME_PEN_COLOUR = RGB(119, 210, 142);
// BACKGROUND_COLOUR as a 32-bit surface pixel (bytes blue, green, red, 0).
constexpr uint32_t BACKGROUND_PIXEL = 0x005B5B5B;

// Members are declared so that the owners are destroyed in the order:
// selections undone, DC deleted, bitmap deleted.
struct BackBuffer {
    GdiObject bitmap;
    MemoryDc dc;
    DcSelection bitmapSelection;
    DcSelection brushSelection;
    DcSelection penSelection;
    PixelSurface surface{};
};

// Makes the back buffer for the primary screen's size, replacing any before
// it; false when it cannot be made.
bool CreateBackBuffer(HWND reference);

// The back buffer, or null before it was made.
BackBuffer* TheBackBuffer();
