#include "view/back_buffer.h"

#include <memory>
#include <new>

namespace {

constexpr WORD SURFACE_BITS_PER_PIXEL = 32;
constexpr int32_t BYTES_PER_PIXEL = 4;

std::unique_ptr<BackBuffer> backBuffer;

}  // namespace

bool CreateBackBuffer(HWND reference) {
    std::unique_ptr<BackBuffer> buffer(new (std::nothrow) BackBuffer());
    if (!buffer) return false;
    {
        WindowDc windowDc(reference);
        buffer->dc.CreateCompatible(windowDc);
    }
    if (buffer->dc.Get() == nullptr) return false;
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = desktop.right;
    info.bmiHeader.biHeight = desktop.bottom;  // positive: rows stored bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = SURFACE_BITS_PER_PIXEL;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    buffer->bitmap.Reset(CreateDIBSection(buffer->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (buffer->bitmap.Get() == nullptr || bits == nullptr) return false;
    buffer->bitmapSelection.Select(buffer->dc, buffer->bitmap.Get());
    buffer->surface = {static_cast<uint8_t*>(bits), desktop.right, desktop.bottom, desktop.right * BYTES_PER_PIXEL};

    // The drawing tools of every paint: grey fill, one-pixel green outline.
    SetDCBrushColor(buffer->dc, BACKGROUND_COLOUR);
    buffer->brushSelection.Select(buffer->dc, GetStockObject(DC_BRUSH));
    SetDCPenColor(buffer->dc, FRAME_PEN_COLOUR);
    buffer->penSelection.Select(buffer->dc, GetStockObject(DC_PEN));
    backBuffer = std::move(buffer);
    return true;
}

BackBuffer* TheBackBuffer() { return backBuffer.get(); }
