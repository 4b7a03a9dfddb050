// Composing a GIF's frames on its canvas: each frame is a rectangle of palette
// indices drawn over what the frames before left, after the frame before is
// disposed of as it asked (left, cleared to transparent, or the canvas put
// back as it was before it).
#pragma once

#include <cstdint>
#include <vector>

// The disposal field of a frame's graphic control extension; values 4..7 are
// undefined and treated as GIF_DISPOSAL_NONE.
constexpr uint8_t GIF_DISPOSAL_NONE = 0;
constexpr uint8_t GIF_DISPOSAL_KEEP = 1;
constexpr uint8_t GIF_DISPOSAL_BACKGROUND = 2;
constexpr uint8_t GIF_DISPOSAL_PREVIOUS = 3;

constexpr int32_t NO_TRANSPARENT_INDEX = -1;
constexpr uint32_t GIF_PALETTE_SIZE = 256;

// One raw frame as the decoder gives it (interlaced rows already in order).
struct GifFrame {
    uint32_t left = 0, top = 0;       // on the canvas; the rectangle may reach past it
    uint32_t width = 0, height = 0;
    const uint8_t* indices = nullptr;  // height rows of width indices, stride bytes apart
    uint32_t stride = 0;
    const uint32_t* palette = nullptr;  // 0x00RRGGBB per index; indices past paletteSize are black
    uint32_t paletteSize = 0;
    int32_t transparentIndex = NO_TRANSPARENT_INDEX;
    uint8_t disposal = GIF_DISPOSAL_NONE;
};

class GifComposer {
public:
    // A transparent canvas; false when the memory is not there.
    bool Reset(uint32_t width, uint32_t height);
    // Disposes of the frame drawn before as it asked, then draws this one:
    // its opaque pixels replace the canvas's, its transparent ones leave them.
    // False when the memory to keep the canvas for a later disposal is not there.
    bool Draw(const GifFrame& frame);

    // Top-down rows, 0xAARRGGBB with straight colours: alpha 0 or 255.
    const uint32_t* Pixels() const { return canvas_.data(); }
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }

private:
    struct Clipped {
        uint32_t left = 0, top = 0, right = 0, bottom = 0;
    };
    Clipped Clip(const GifFrame& frame) const;

    uint32_t width_ = 0, height_ = 0;
    std::vector<uint32_t> canvas_;
    std::vector<uint32_t> saved_;  // the canvas before the last frame, for its PREVIOUS disposal
    uint8_t pendingDisposal_ = GIF_DISPOSAL_NONE;
    Clipped pendingArea_;
};
