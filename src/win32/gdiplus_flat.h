// The few functions of the GDI+ flat interface the program uses, declared
// here instead of pulling in the C++ wrapper headers.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstdint>

struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};

// Opaque GDI+ image object.
struct GpImage;

struct GpRect {
    INT X;
    INT Y;
    INT Width;
    INT Height;
};

struct GpBitmapData {
    UINT Width;
    UINT Height;
    INT Stride;
    INT PixelFormat;
    void* Scan0;
    UINT_PTR Reserved;
};

constexpr int GDIPLUS_OK = 0;
constexpr int GDIPLUS_OUT_OF_MEMORY = 3;

// Pixel formats: 32 bits without alpha, with alpha as decoded, and with the
// colours multiplied by alpha (laid over black); the flag bits that say a
// format carries alpha.
constexpr INT GDIPLUS_FORMAT_RGB = 0x00022009;
constexpr INT GDIPLUS_FORMAT_ARGB = 0x0026200A;
constexpr INT GDIPLUS_FORMAT_PARGB = 0x000E200B;
constexpr INT GDIPLUS_FORMAT_HAS_ALPHA = 0x00040000;
constexpr INT GDIPLUS_FORMAT_HAS_PREMULTIPLIED_ALPHA = 0x00080000;

// Lock modes: read the pixels, into a buffer the caller supplies.
constexpr UINT GDIPLUS_LOCK_READ = 1;
constexpr UINT GDIPLUS_LOCK_USER_BUFFER = 4;

extern "C" {
int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
int WINAPI GdipCreateBitmapFromStream(IStream* stream, GpImage** bitmap);
int WINAPI GdipGetImageWidth(GpImage* image, UINT* width);
int WINAPI GdipGetImageHeight(GpImage* image, UINT* height);
int WINAPI GdipGetImagePixelFormat(GpImage* image, INT* format);
int WINAPI GdipBitmapLockBits(GpImage* bitmap, const GpRect* rect, UINT flags, INT format,
                              GpBitmapData* data);
int WINAPI GdipBitmapUnlockBits(GpImage* bitmap, GpBitmapData* data);
int WINAPI GdipDisposeImage(GpImage* image);
}

// The 32-bit format a decoded picture is painted from: its colours laid over
// black where it has alpha; without alpha the plain format, which GDI+
// converts to without multiplying every pixel by an alpha of 255.
inline INT PaintedFormat(INT decodedFormat) {
    return (decodedFormat & (GDIPLUS_FORMAT_HAS_ALPHA | GDIPLUS_FORMAT_HAS_PREMULTIPLIED_ALPHA)) != 0
               ? GDIPLUS_FORMAT_PARGB
               : GDIPLUS_FORMAT_RGB;
}
