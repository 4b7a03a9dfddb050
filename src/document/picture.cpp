#include "document/picture.h"

#include <cstring>
#include <new>

#include "core/files/paths.h"

namespace {

constexpr WORD SURFACE_BITS_PER_PIXEL = 32;
constexpr uint32_t FULLY_OPAQUE = 0xFF000000u;
constexpr uint32_t HIGH_HALF_SHIFT = 16;
constexpr uint32_t LOW_HALF_MASK = 0xFFFFu;

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

std::unique_ptr<Picture> Picture::AllocateFrame(uint32_t width, uint32_t height, const FileIdentity& identity) {
    std::unique_ptr<Picture> picture(new (std::nothrow) Picture());
    if (!picture || width == 0 || height == 0) return nullptr;
    const uint64_t bytes = static_cast<uint64_t>(width) * height * BYTES_PER_PIXEL;
    if (bytes > SIZE_MAX / 2) return nullptr;
    picture->memory_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]);
    if (!picture->memory_) return nullptr;
    picture->bits_ = picture->memory_.get();
    picture->width_ = width;
    picture->height_ = height;
    picture->identity_ = identity;
    return picture;
}

std::unique_ptr<Picture> Picture::AllocateLike(uint32_t width, uint32_t height) const {
    return memory_ ? AllocateFrame(width, height, identity_) : Allocate(width, height, identity_);
}

PixelSurface Picture::Surface() const {
    return {bits_, static_cast<int32_t>(width_), static_cast<int32_t>(height_), Stride()};
}

uint32_t Picture::DecodedColour(uint32_t x, uint32_t y) const {
    const size_t index = static_cast<size_t>(height_ - 1 - y) * width_ + x;
    if (straight_) return straight_[index];
    uint32_t pixel;
    memcpy(&pixel, bits_ + index * BYTES_PER_PIXEL, sizeof pixel);
    return pixel | FULLY_OPAQUE;
}

PixelSurface Picture::DecodedSurface() const {
    return {reinterpret_cast<uint8_t*>(straight_.get()), static_cast<int32_t>(width_), static_cast<int32_t>(height_),
            Stride()};
}

DeepColour Picture::DeepColourAt(uint32_t x, uint32_t y) const {
    const size_t pixels = static_cast<size_t>(width_) * height_;
    const size_t index = static_cast<size_t>(height_ - 1 - y) * width_ + x;
    const uint32_t redGreen = deep_[index];
    const uint32_t blueAlpha = deep_[pixels + index];
    return {static_cast<uint16_t>(redGreen >> HIGH_HALF_SHIFT), static_cast<uint16_t>(redGreen & LOW_HALF_MASK),
            static_cast<uint16_t>(blueAlpha >> HIGH_HALF_SHIFT), static_cast<uint16_t>(blueAlpha & LOW_HALF_MASK)};
}

PixelSurface Picture::DeepPlane(uint32_t plane) const {
    const size_t pixels = static_cast<size_t>(width_) * height_;
    return {reinterpret_cast<uint8_t*>(deep_.get() + plane * pixels), static_cast<int32_t>(width_),
            static_cast<int32_t>(height_), Stride()};
}

std::unique_ptr<Picture> Picture::Turned(Orientation turn) const {
    uint32_t width = 0, height = 0;
    ShownSize(width_, height_, turn, width, height);
    std::unique_ptr<Picture> turned = AllocateLike(width, height);
    if (!turned) return nullptr;
    TransformSurface(Surface(), turned->Surface(), turn);
    if (straight_) {
        std::unique_ptr<uint32_t[]> straight(new (std::nothrow) uint32_t[static_cast<size_t>(width) * height]);
        if (!straight) return nullptr;
        turned->straight_ = std::move(straight);
        TransformSurface(DecodedSurface(), turned->DecodedSurface(), turn);
    }
    if (deep_) {
        std::unique_ptr<uint32_t[]> deep(new (std::nothrow) uint32_t[size_t{DEEP_PLANES} * width * height]);
        if (!deep) return nullptr;
        turned->deep_ = std::move(deep);
        turned->deepAlpha_ = deepAlpha_;
        for (uint32_t plane = 0; plane < DEEP_PLANES; ++plane) {
            TransformSurface(DeepPlane(plane), turned->DeepPlane(plane), turn);
        }
    }
    return turned;
}
