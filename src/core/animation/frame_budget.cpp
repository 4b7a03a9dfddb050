#include "core/animation/frame_budget.h"

#include <cstddef>

namespace {

constexpr uint32_t ALPHA_SHIFT = 24;
constexpr uint32_t RED_SHIFT = 16;
constexpr uint32_t GREEN_SHIFT = 8;
constexpr uint32_t BYTE_MASK = 0xFFu;
constexpr uint32_t FULL = 255;
constexpr uint32_t HALF = 127;  // rounds the product to the nearest

uint32_t OverBlack(uint32_t channel, uint32_t alpha) { return (channel * alpha + HALF) / FULL; }

}  // namespace

uint32_t FramesKept(uint64_t frameBytes, uint32_t frameCount, uint64_t budgetBytes) {
    const uint64_t fitting = frameBytes == 0 ? frameCount : budgetBytes / frameBytes;
    if (fitting >= frameCount) return frameCount;
    return fitting < FEWEST_FRAMES_KEPT ? FEWEST_FRAMES_KEPT : static_cast<uint32_t>(fitting);
}

bool InKeptWindow(uint32_t frame, uint32_t wanted, uint32_t kept, uint32_t frameCount) {
    if (frame >= frameCount || wanted >= frameCount) return false;
    if (kept >= frameCount) return true;
    const uint32_t distance = frame >= wanted ? frame - wanted : frameCount - wanted + frame;
    return distance < kept;
}

bool CanvasToPicture(const uint32_t* canvas, uint32_t width, uint32_t height, uint8_t* painted, int32_t paintedStride,
                     uint32_t* straight) {
    bool translucent = false;
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* source = canvas + static_cast<std::size_t>(y) * width;
        const std::size_t storedRow = height - 1 - y;
        uint32_t* target = reinterpret_cast<uint32_t*>(painted + storedRow * static_cast<std::size_t>(paintedStride));
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t pixel = source[x];
            const uint32_t alpha = pixel >> ALPHA_SHIFT;
            if (alpha == FULL) {
                target[x] = pixel;
                continue;
            }
            translucent = true;
            target[x] = (alpha << ALPHA_SHIFT) | OverBlack((pixel >> RED_SHIFT) & BYTE_MASK, alpha) << RED_SHIFT |
                        OverBlack((pixel >> GREEN_SHIFT) & BYTE_MASK, alpha) << GREEN_SHIFT |
                        OverBlack(pixel & BYTE_MASK, alpha);
        }
        if (straight != nullptr) {
            uint32_t* kept = straight + storedRow * width;
            for (uint32_t x = 0; x < width; ++x) kept[x] = source[x];
        }
    }
    return translucent;
}
