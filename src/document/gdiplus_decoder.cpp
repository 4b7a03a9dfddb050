// BMP, GIF, TIFF and ICO through GDI+, which hands its pixels to the
// picture's DIB section through LockBits (the section as the buffer).
#include <new>

#include "document/decode_gate.h"
#include "document/decoder.h"
#include "win32/byte_stream.h"
#include "win32/gdiplus_flat.h"

namespace {

constexpr uint32_t OPAQUE_ALPHA = 0xFF000000u;
constexpr uint32_t ALPHA_MASK = 0xFF000000u;

class GdiplusImage {
public:
    GdiplusImage() = default;
    ~GdiplusImage() {
        if (image_ != nullptr) GdipDisposeImage(image_);
    }
    GdiplusImage(const GdiplusImage&) = delete;
    GdiplusImage& operator=(const GdiplusImage&) = delete;
    GpImage** Out() { return &image_; }
    GpImage* Get() const { return image_; }

private:
    GpImage* image_ = nullptr;
};

class StreamHolder {
public:
    explicit StreamHolder(IStream* stream) : stream_(stream) {}
    ~StreamHolder() {
        if (stream_ != nullptr) stream_->Release();
    }
    StreamHolder(const StreamHolder&) = delete;
    StreamHolder& operator=(const StreamHolder&) = delete;
    IStream* Get() const { return stream_; }

private:
    IStream* stream_;
};

// Whether the memory for another copy of the picture's pixels is there: when
// GDI+ gives up for want of memory, that tells it apart from a damaged file,
// for which it says the same.
bool PixelsCouldBeAllocated(uint32_t width, uint32_t height) {
    const uint64_t bytes = static_cast<uint64_t>(width) * height * Picture::BYTES_PER_PIXEL;
    if (bytes > SIZE_MAX / 2) return false;
    void* probe = VirtualAlloc(nullptr, static_cast<size_t>(bytes), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (probe == nullptr) return false;
    VirtualFree(probe, 0, MEM_RELEASE);
    return true;
}

LoadError ErrorOfDecode(int status, uint32_t width, uint32_t height) {
    if (status == GDIPLUS_OUT_OF_MEMORY && !PixelsCouldBeAllocated(width, height)) return LoadError::OutOfMemory;
    return LoadError::Damaged;
}

// Lets GDI+ write the pixels in the given format into rows laid out as a
// bottom-up surface (rows top-down at a negative stride).
int LockInto(GpImage* image, uint32_t width, uint32_t height, INT format, const PixelSurface& surface) {
    const GpRect whole = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    GpBitmapData data = {};
    data.Width = width;
    data.Height = height;
    data.Stride = -surface.stride;
    data.PixelFormat = format;
    data.Scan0 = surface.bits + static_cast<size_t>(height - 1) * static_cast<size_t>(surface.stride);
    const int status = GdipBitmapLockBits(image, &whole, GDIPLUS_LOCK_READ | GDIPLUS_LOCK_USER_BUFFER, format, &data);
    if (status != GDIPLUS_OK) return status;
    return GdipBitmapUnlockBits(image, &data);
}

// A block of pixels laid out as a surface, for a decode that still has to be
// turned upright.
struct ScratchSurface {
    std::unique_ptr<uint32_t[]> pixels;
    PixelSurface surface{};
    bool Allocate(uint32_t width, uint32_t height) {
        pixels.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width) * height]);
        surface = {reinterpret_cast<uint8_t*>(pixels.get()), static_cast<int32_t>(width),
                   static_cast<int32_t>(height), static_cast<int32_t>(width) * Picture::BYTES_PER_PIXEL};
        return pixels != nullptr;
    }
};

// Decodes in format into shown, turned by orientation; stored is the size
// GDI+ decodes.
int DecodeInto(GpImage* image, uint32_t storedW, uint32_t storedH, INT format, Orientation orientation,
               const PixelSurface& shown, LoadError& error) {
    if (orientation == ORIENTATION_NONE) return LockInto(image, storedW, storedH, format, shown);
    ScratchSurface stored;
    if (!stored.Allocate(storedW, storedH)) {
        error = LoadError::OutOfMemory;
        return GDIPLUS_OUT_OF_MEMORY;
    }
    const int status = LockInto(image, storedW, storedH, format, stored.surface);
    if (status == GDIPLUS_OK) TransformSurface(stored.surface, shown, orientation);
    return status;
}

// The decoded colours of a picture with alpha, rows bottom-up like the
// painted ones; null when every pixel is opaque after all (or the memory is
// not there: the readout then shows the painted colours).
std::unique_ptr<uint32_t[]> DecodedColours(GpImage* image, uint32_t storedW, uint32_t storedH,
                                           Orientation orientation, uint32_t shownW, uint32_t shownH) {
    ScratchSurface straight;
    if (!straight.Allocate(shownW, shownH)) return nullptr;
    LoadError ignored = LoadError::None;
    if (DecodeInto(image, storedW, storedH, GDIPLUS_FORMAT_ARGB, orientation, straight.surface, ignored) != GDIPLUS_OK) {
        return nullptr;
    }
    const size_t count = static_cast<size_t>(shownW) * shownH;
    bool translucent = false;
    for (size_t i = 0; i < count && !translucent; ++i) translucent = (straight.pixels[i] & ALPHA_MASK) != OPAQUE_ALPHA;
    if (!translucent) return nullptr;
    return std::move(straight.pixels);
}

}  // namespace

void DecodeWithGdiplus(const DecodeInput& input, LoadOutcome& outcome) {
    StreamHolder stream(CreateByteStream(input.shared));
    if (stream.Get() == nullptr) {
        outcome.error = LoadError::OutOfMemory;
        return;
    }
    GdiplusImage image;
    int decoded = GdipCreateBitmapFromStream(stream.Get(), image.Out());
    if (decoded != GDIPLUS_OK || image.Get() == nullptr) {
        outcome.error = ErrorOfDecode(decoded, input.header.width, input.header.height);
        return;
    }
    // GDI+ has the last word on the size: for some formats the header names
    // several (icons, multi-page files), and it picks one.
    UINT storedW = 0, storedH = 0;
    INT format = 0;
    GdipGetImageWidth(image.Get(), &storedW);
    GdipGetImageHeight(image.Get(), &storedH);
    GdipGetImagePixelFormat(image.Get(), &format);
    if (storedW == 0 || storedH == 0) {
        outcome.error = LoadError::Damaged;
        return;
    }
    if (RefusedAsTooLarge(input, storedW, storedH, outcome) || GivenUp(input, outcome)) return;

    const Orientation orientation = input.header.orientation;
    uint32_t shownW = 0, shownH = 0;
    ShownSize(storedW, storedH, orientation, shownW, shownH);
    std::unique_ptr<Picture> picture = Picture::Allocate(shownW, shownH, input.identity);
    if (!picture) {
        outcome.error = LoadError::OutOfMemory;
        return;
    }
    // Painted pixels are laid over black where the picture is transparent,
    // as GDI+ composes them.
    DecodeGate(input.identity.path);
    LoadError error = LoadError::None;
    decoded = DecodeInto(image.Get(), storedW, storedH, PaintedFormat(format), orientation, picture->Surface(), error);
    if (decoded != GDIPLUS_OK) {
        outcome.error = error != LoadError::None ? error : ErrorOfDecode(decoded, storedW, storedH);
        return;
    }
    if (format & (GDIPLUS_FORMAT_HAS_ALPHA | GDIPLUS_FORMAT_HAS_PREMULTIPLIED_ALPHA)) {
        picture->KeepDecodedColours(DecodedColours(image.Get(), storedW, storedH, orientation, shownW, shownH));
    }
    outcome.picture = std::move(picture);
}
