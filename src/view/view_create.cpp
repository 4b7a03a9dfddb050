// Creation of a document window: its state, a fresh decode of the picture
// into new shared surfaces, and its scale tables at 100 %; and the release
// of the state when the window goes.

#include <cstdint>
#include <new>

#include "app/fatal.h"
#include "app/texts.h"
#include "support/text.h"
#include "view/gdiplus_flat.h"
#include "view/geometry/layout.h"
#include "view/geometry/scale_maps.h"
#include "view/platform_types.h"
#include "view/shared_surfaces.h"
#include "view/view_handlers.h"

std::unique_ptr<SharedSurfaces> sharedSurfaces;

namespace {

constexpr LRESULT CREATE_REFUSED = -1;
constexpr LRESULT CREATE_DONE = 0;
constexpr char IMAGE_FILE_NAME[] = "ss6.jpg";
constexpr uint32_t UNLIMITED_TEXT = 0xFFFFFFFFu;
constexpr WORD SURFACE_BITS_PER_PIXEL = 32;
constexpr int32_t BYTES_PER_PIXEL = 4;
constexpr DWORD TRANSPARENT_BLACK = 0;  // ARGB behind transparent parts of the picture

// The GDI+ bitmap lives only until it is converted, so the file is not held
// open by the decoder afterwards.
class DecodedPicture {
public:
    DecodedPicture() = default;
    ~DecodedPicture() { Dispose(); }
    DecodedPicture(const DecodedPicture&) = delete;
    DecodedPicture& operator=(const DecodedPicture&) = delete;

    GpImage** Out() { return &image_; }
    GpImage* Get() const { return image_; }
    void Dispose() {
        if (image_ != nullptr) GdipDisposeImage(image_);
        image_ = nullptr;
    }

private:
    GpImage* image_ = nullptr;
};

void WriteFileName(SharedSurfaces& surfaces) {
    BoundedText name(surfaces.imageFileName, UNLIMITED_TEXT);
    for (const char* c = IMAGE_FILE_NAME; *c != '\0'; ++c) {
        name.AppendChar(*c);
    }
    name.AppendTerminator();
    for (wchar_t& wide : surfaces.wideFileName) wide = L'\0';
    MultiByteToWideChar(CP_ACP, 0, surfaces.imageFileName, -1, surfaces.wideFileName,
                        FILE_NAME_CAPACITY);
}

// A 32-bit bottom-up DIB section of width x height pixels, with its
// BITMAPINFO as GDI completed it; none when GDI cannot make it.
HBITMAP CreateDibSurface(HDC dc, BITMAPINFO& infoOut, int32_t width, int32_t height,
                         uint8_t*& bitsOut) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: rows stored bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = SURFACE_BITS_PER_PIXEL;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        return nullptr;
    }
    // No scan lines and no buffer: GDI only completes the header.
    if (GetDIBits(dc, bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS) == 0) {
        DeleteObject(bitmap);
        return nullptr;
    }
    infoOut = info;
    bitsOut = static_cast<uint8_t*>(bits);
    return bitmap;
}

// Decodes the picture into a new image surface and makes a new back buffer;
// the picture's size goes to the view. Any failure ends the process with the
// message of its step.
std::unique_ptr<SharedSurfaces> MakeSharedSurfaces(ViewState* view, HWND window) {
    std::unique_ptr<SharedSurfaces> surfaces(new (std::nothrow) SharedSurfaces());
    if (!surfaces) ExitWithMessage(TEXT_DIB_FAILED);
    WriteFileName(*surfaces);
    {
        WindowDc windowDc(window);
        surfaces->backDC.CreateCompatible(windowDc);
        surfaces->imageDC.CreateCompatible(windowDc);
    }
    if (surfaces->backDC.Get() == nullptr || surfaces->imageDC.Get() == nullptr) {
        ExitWithMessage(TEXT_DIB_FAILED);
    }
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    surfaces->screenW = desktop.right;
    surfaces->screenH = desktop.bottom;

    DecodedPicture gdipImage;
    if (GdipCreateBitmapFromFile(surfaces->wideFileName, gdipImage.Out()) != GDIPLUS_OK ||
        gdipImage.Get() == nullptr) {
        ExitWithMessage(TEXT_DECODE_FAILED);
    }
    UINT width = 0;
    UINT height = 0;
    GdipGetImageWidth(gdipImage.Get(), &width);
    GdipGetImageHeight(gdipImage.Get(), &height);
    view->imageW = width;
    view->imageH = height;
    // One pair of tables serves both axes; a picture they cannot hold even at
    // 100 % is refused before any of its pixels are converted.
    const uint32_t longerSide = width > height ? width : height;
    if (!ScaleMapsFit(longerSide + 1, longerSide + 1)) {
        ExitWithMessage(TEXT_PICTURE_TOO_LARGE);
    }

    HBITMAP converted = nullptr;
    if (GdipCreateHBITMAPFromBitmap(gdipImage.Get(), &converted, TRANSPARENT_BLACK) != GDIPLUS_OK ||
        converted == nullptr) {
        ExitWithMessage(TEXT_HBITMAP_FAILED);
    }
    {
        // Declared in teardown order: unselect first, then delete.
        GdiObject temporary(converted);
        DcSelection temporarySelection(surfaces->backDC, converted);

        surfaces->imageBitmap.Reset(CreateDibSurface(surfaces->imageDC, surfaces->imageInfo,
                                                     static_cast<int32_t>(width),
                                                     static_cast<int32_t>(height),
                                                     surfaces->imageBits));
        if (surfaces->imageBitmap.Get() == nullptr) ExitWithMessage(TEXT_DIB_FAILED);
        surfaces->imageBitmapSelection.Select(surfaces->imageDC, surfaces->imageBitmap.Get());
        BitBlt(surfaces->imageDC, 0, 0, static_cast<int>(width), static_cast<int>(height),
               surfaces->backDC, 0, 0, SRCCOPY);
    }
    // The decoder and its file are no longer needed.
    gdipImage.Dispose();

    surfaces->backBitmap.Reset(CreateDibSurface(surfaces->backDC, surfaces->backInfo,
                                                surfaces->screenW, surfaces->screenH,
                                                surfaces->backBits));
    if (surfaces->backBitmap.Get() == nullptr) ExitWithMessage(TEXT_DIB_FAILED);
    surfaces->backBitmapSelection.Select(surfaces->backDC, surfaces->backBitmap.Get());

    // The drawing tools of every paint: grey fill, one-pixel green outline.
    SetDCBrushColor(surfaces->backDC, BACKGROUND_COLOUR);
    surfaces->backBrushSelection.Select(surfaces->backDC, GetStockObject(DC_BRUSH));
    SetDCPenColor(surfaces->backDC, FRAME_PEN_COLOUR);
    surfaces->backPenSelection.Select(surfaces->backDC, GetStockObject(DC_PEN));

    // A first content; the first paint replaces every pixel it shows.
    RECT client;
    GetClientRect(window, &client);
    Rectangle(surfaces->backDC, client.left, client.top, client.right, client.bottom);
    BitBlt(surfaces->backDC, 0, 0, surfaces->screenW, surfaces->screenH, surfaces->imageDC, 0, 0,
           SRCCOPY);

    surfaces->backStride = surfaces->backInfo.bmiHeader.biWidth * BYTES_PER_PIXEL;
    surfaces->imageStride = surfaces->imageInfo.bmiHeader.biWidth * BYTES_PER_PIXEL;
    return surfaces;
}

void ReleaseViewState(ViewState* view) {
    if (view->majorMap != nullptr) LocalFree(view->majorMap);
    if (view->minorMap != nullptr) LocalFree(view->minorMap);
    LocalFree(view);
}

}  // namespace

LRESULT OnCreate(HWND window) {
    ViewState* view = static_cast<ViewState*>(LocalAlloc(LPTR, sizeof(ViewState)));
    if (view == nullptr) {
        return CREATE_REFUSED;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));

    // Complete before it replaces the current set: every view paints from
    // whichever set is current, so the superseded one can go now.
    sharedSurfaces = MakeSharedSurfaces(view, window);

    GetClientRect(window, AsRect(view->clientRect));
    view->majorMap = static_cast<uint32_t*>(LocalAlloc(LPTR, MAJOR_MAP_ENTRIES * sizeof(uint32_t)));
    view->minorMap = static_cast<uint32_t*>(LocalAlloc(LPTR, MINOR_MAP_ENTRIES * sizeof(uint32_t)));
    if (view->majorMap == nullptr || view->minorMap == nullptr) {
        // A view cannot work without its tables: refuse this window only.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        ReleaseViewState(view);
        return CREATE_REFUSED;
    }

    view->scaledW = view->imageW;
    view->scaledH = view->imageH;
    view->mapLength = (view->imageW > view->imageH ? view->imageW : view->imageH) + 1;
    view->zoom = ZOOM_UNIT;
    view->scaledMapLength = ScaledLength(view->mapLength, view->zoom);
    BuildScaleMaps(view->mapLength, view->scaledMapLength, view->majorMap, view->minorMap);

    view->centreX = static_cast<int32_t>(view->imageW / 2);
    view->centreY = static_cast<int32_t>(view->imageH / 2);
    GetClientRect(window, AsRect(view->clientRect));
    LayoutView(*view);
    return CREATE_DONE;
}

void OnNcDestroy(ViewState* view, HWND window) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    ReleaseViewState(view);
}
