#include "document/picture.h"

#include <cstring>
#include <new>

#include "document/paths.h"

namespace {

constexpr WORD SURFACE_BITS_PER_PIXEL = 32;
constexpr uint32_t FULLY_OPAQUE = 0xFF000000u;

}  // namespace

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.size == b.size && a.lastWrite == b.lastWrite && SamePath(a.path, b.path);
}

std::unique_ptr<Picture> Picture::Allocate(uint32_t width, uint32_t height, const FileIdentity& identity) {
    std::unique_ptr<Picture> picture(new (std::nothrow) Picture());
    if (!picture || width == 0 || height == 0) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);  // positive: rows stored bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = SURFACE_BITS_PER_PIXEL;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // No device context: a DIB section needs none, and this runs off the
    // window thread.
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    picture->bitmap_.Reset(bitmap);
    if (bits == nullptr) return nullptr;
    picture->bits_ = static_cast<uint8_t*>(bits);
    picture->width_ = width;
    picture->height_ = height;
    picture->identity_ = identity;
    return picture;
}

PixelSurface Picture::Surface() const {
    return {bits_, static_cast<int32_t>(width_), static_cast<int32_t>(height_), Stride()};
}

uint32_t Picture::DecodedColour(uint32_t x, uint32_t y) const {
    if (straight_) return straight_[static_cast<size_t>(y) * width_ + x];
    const uint8_t* row = bits_ + static_cast<size_t>(height_ - 1 - y) * static_cast<size_t>(Stride());
    uint32_t pixel;
    memcpy(&pixel, row + static_cast<size_t>(x) * BYTES_PER_PIXEL, sizeof pixel);
    return pixel | FULLY_OPAQUE;
}
