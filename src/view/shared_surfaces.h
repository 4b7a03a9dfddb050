// The process-wide drawing surfaces: the decoded picture and the
// screen-sized back buffer every view composes its paint in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "view/gdi.h"
#include "view/geometry/pixel_copy.h"

constexpr int FILE_NAME_CAPACITY = 270;

// Grey of everything around the picture, and the pen of the ring the paint's
// Rectangle leaves just outside the area it clears.
constexpr COLORREF BACKGROUND_COLOUR = RGB(91, 91, 91);
constexpr COLORREF FRAME_PEN_COLOUR = RGB(119, 210, 142);
// BACKGROUND_COLOUR as a 32-bit surface pixel (bytes blue, green, red, 0).
constexpr uint32_t BACKGROUND_PIXEL = 0x005B5B5B;

// Made anew by every view's creation. Members are declared so that the
// owners are destroyed in the order: selections undone, DCs deleted,
// bitmaps deleted.
struct SharedSurfaces {
    char imageFileName[FILE_NAME_CAPACITY];
    wchar_t wideFileName[FILE_NAME_CAPACITY];
    int32_t screenW;
    int32_t screenH;

    GdiObject imageBitmap;
    GdiObject backBitmap;
    MemoryDc imageDC;
    MemoryDc backDC;
    DcSelection imageBitmapSelection;
    DcSelection backBitmapSelection;
    DcSelection backBrushSelection;
    DcSelection backPenSelection;

    BITMAPINFO imageInfo;  // header and one colour entry, as GDI completed them
    BITMAPINFO backInfo;
    uint8_t* imageBits;
    uint8_t* backBits;
    int32_t imageStride;
    int32_t backStride;

    PixelSurface ImageSurface() const {
        return {imageBits, imageInfo.bmiHeader.biWidth, imageInfo.bmiHeader.biHeight, imageStride};
    }
    PixelSurface BackSurface() const {
        return {backBits, backInfo.bmiHeader.biWidth, backInfo.bmiHeader.biHeight, backStride};
    }
};

// The current set. Every view paints from it; a newer creation replaces it
// once the new set is complete, and the superseded set is released then.
extern std::unique_ptr<SharedSurfaces> sharedSurfaces;
