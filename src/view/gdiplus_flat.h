// The few functions of the GDI+ flat interface the program uses, declared
// here instead of pulling in the C++ wrapper headers.
#pragma once

#include <windows.h>

#include <cstdint>

struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};

// Opaque GDI+ image object.
struct GpImage;

constexpr int GDIPLUS_OK = 0;

extern "C" {
int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
int WINAPI GdipCreateBitmapFromFile(const WCHAR* fileName, GpImage** bitmap);
int WINAPI GdipGetImageWidth(GpImage* image, UINT* width);
int WINAPI GdipGetImageHeight(GpImage* image, UINT* height);
int WINAPI GdipCreateHBITMAPFromBitmap(GpImage* bitmap, HBITMAP* result, DWORD background);
int WINAPI GdipDisposeImage(GpImage* image);
}
