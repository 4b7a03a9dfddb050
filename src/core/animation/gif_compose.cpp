#include "core/animation/gif_compose.h"

#include <algorithm>
#include <new>

namespace {

constexpr uint32_t OPAQUE = 0xFF000000u;
constexpr uint32_t TRANSPARENT = 0;
constexpr uint32_t COLOUR_MASK = 0x00FFFFFFu;

bool Resize(std::vector<uint32_t>& pixels, size_t count) {
    try {
        pixels.assign(count, TRANSPARENT);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace

bool GifComposer::Reset(uint32_t width, uint32_t height) {
    width_ = width;
    height_ = height;
    pendingDisposal_ = GIF_DISPOSAL_NONE;
    saved_.clear();
    return Resize(canvas_, static_cast<size_t>(width) * height);
}

GifComposer::Clipped GifComposer::Clip(const GifFrame& frame) const {
    Clipped area;
    area.left = std::min(frame.left, width_);
    area.top = std::min(frame.top, height_);
    area.right = frame.left + static_cast<uint64_t>(frame.width) > width_ ? width_ : frame.left + frame.width;
    area.bottom = frame.top + static_cast<uint64_t>(frame.height) > height_ ? height_ : frame.top + frame.height;
    area.right = std::max(area.right, area.left);
    area.bottom = std::max(area.bottom, area.top);
    return area;
}

bool GifComposer::Draw(const GifFrame& frame) {
    if (pendingDisposal_ == GIF_DISPOSAL_BACKGROUND) {
        for (uint32_t y = pendingArea_.top; y < pendingArea_.bottom; ++y) {
            uint32_t* row = canvas_.data() + static_cast<size_t>(y) * width_;
            std::fill(row + pendingArea_.left, row + pendingArea_.right, TRANSPARENT);
        }
    } else if (pendingDisposal_ == GIF_DISPOSAL_PREVIOUS && saved_.size() == canvas_.size()) {
        canvas_ = saved_;
    }
    pendingDisposal_ = frame.disposal;
    pendingArea_ = Clip(frame);
    if (frame.disposal == GIF_DISPOSAL_PREVIOUS) {
        try {
            saved_ = canvas_;
        } catch (const std::bad_alloc&) {
            pendingDisposal_ = GIF_DISPOSAL_NONE;
            return false;
        }
    }
    if (frame.indices == nullptr) return true;
    for (uint32_t y = pendingArea_.top; y < pendingArea_.bottom; ++y) {
        const uint8_t* source = frame.indices + static_cast<size_t>(y - frame.top) * frame.stride;
        uint32_t* target = canvas_.data() + static_cast<size_t>(y) * width_;
        for (uint32_t x = pendingArea_.left; x < pendingArea_.right; ++x) {
            const uint8_t index = source[x - frame.left];
            if (static_cast<int32_t>(index) == frame.transparentIndex) continue;
            const uint32_t colour = index < frame.paletteSize && frame.palette != nullptr ? frame.palette[index] : 0;
            target[x] = (colour & COLOUR_MASK) | OPAQUE;
        }
    }
    return true;
}
