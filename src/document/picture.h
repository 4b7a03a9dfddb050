// One decoded file: its pixels as shown, its size and the identity of the
// file they came from. Made by the loader, published once complete, then
// never changed; shared by every window that shows it and freed with the
// last of them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/pixels/orientation.h"
#include "win32/gdi.h"
#include "core/pixels/pixel_copy.h"

// What makes two opens of a file the same picture: the full path, and the
// size and last-write time the file had when it was read.
struct FileIdentity {
    std::wstring path;
    uint64_t size = 0;
    uint64_t lastWrite = 0;
};

bool SameFile(const FileIdentity& a, const FileIdentity& b);

class Animation;
// A colour with 16 bits per channel, as a picture of that depth holds it.
struct DeepColour {
    uint16_t red = 0;
    uint16_t green = 0;
    uint16_t blue = 0;
    uint16_t alpha = 0;
};

class Picture {
public:
    // A picture of width x height pixels in a new 32-bit DIB section, its
    // pixels still to be written; null when the memory is not there.
    static std::unique_ptr<Picture> Allocate(uint32_t width, uint32_t height, const FileIdentity& identity);
    // The same in plain memory, for the frames of an animation: a file of
    // thousands of frames must not use up the process's GDI objects.
    static std::unique_ptr<Picture> AllocateFrame(uint32_t width, uint32_t height, const FileIdentity& identity);

    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    const FileIdentity& Identity() const { return identity_; }

    // The pixels as every view paints them: bytes blue, green, red, alpha,
    // the colours already laid over black where the picture is transparent.
    PixelSurface Surface() const;

    // Whether any pixel is less than opaque; then the colours as decoded
    // (not laid over black) are kept beside the painted ones.
    bool HasAlpha() const { return straight_ != nullptr; }
    // The colour of pixel (x, y) as decoded, 0xAARRGGBB; inside the picture only.
    uint32_t DecodedColour(uint32_t x, uint32_t y) const;
    // Every pixel as decoded: the kept colours where the picture has alpha,
    // else the painted ones (whose fourth byte then means nothing).
    PixelSurface DecodedPixels() const { return straight_ ? DecodedSurface() : Surface(); }

    // Whether the file had 16 bits per channel: its values are then kept
    // beside the 8-bit ones every view paints and copies.
    bool HasDeepColours() const { return deep_ != nullptr; }
    // The colour of pixel (x, y) with 16 bits per channel; inside a picture
    // with deep colours only.
    DeepColour DeepColourAt(uint32_t x, uint32_t y) const;
    // Whether any 16-bit alpha is less than opaque (perhaps too little to
    // show in 8 bits).
    bool HasDeepAlpha() const { return deepAlpha_; }

    // The same picture turned or mirrored (the rotate and flip commands): a
    // new picture of the same file, a still; null when the memory is not there.
    std::unique_ptr<Picture> Turned(Orientation turn) const;

    // The frames that follow this one, when the picture is the first frame of
    // an animation as the loader made it; null for a still and for the frames.
    const std::shared_ptr<Animation>& Moving() const { return animation_; }

    // For the loader, before the picture is published.
    uint8_t* Bits() { return bits_; }
    int32_t Stride() const { return static_cast<int32_t>(width_) * BYTES_PER_PIXEL; }
    // Takes the decoded colours of a picture with alpha: width x height
    // pixels, rows bottom-up like the painted ones.
    void KeepDecodedColours(std::unique_ptr<uint32_t[]> straight) { straight_ = std::move(straight); }
    // The loader's alone, before the picture is published: the first frame's
    // link to the frames after it (all the picture's pixels stay as they are).
    void AttachAnimation(std::shared_ptr<Animation> animation) const { animation_ = std::move(animation); }
    // Takes the 16-bit values: two planes of width x height pixels, rows
    // bottom-up, the first red << 16 | green, the second blue << 16 | alpha
    // (so that a turn moves them as it moves 32-bit pixels).
    void KeepDeepColours(std::unique_ptr<uint32_t[]> planes, bool translucent) {
        deep_ = std::move(planes);
        deepAlpha_ = translucent;
    }
    static constexpr uint32_t DEEP_PLANES = 2;

    static constexpr int32_t BYTES_PER_PIXEL = 4;

private:
    Picture() = default;
    PixelSurface DecodedSurface() const;
    std::unique_ptr<Picture> AllocateLike(uint32_t width, uint32_t height) const;
    PixelSurface DeepPlane(uint32_t plane) const;

    FileIdentity identity_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    GdiObject bitmap_;
    uint8_t* bits_ = nullptr;  // the DIB section's rows, bottom-up (or memory's)
    std::unique_ptr<uint8_t[]> memory_;  // a frame's rows, when not in a DIB section
    std::unique_ptr<uint32_t[]> straight_;
    mutable std::shared_ptr<Animation> animation_;
    std::unique_ptr<uint32_t[]> deep_;
    bool deepAlpha_ = false;
};
