#include "core/pixels/alpha.h"

#include <cstddef>

namespace {

constexpr uint32_t ALPHA_SHIFT = 24;
constexpr uint32_t OPAQUE = 0xFF;
constexpr uint32_t CHANNEL_MASK = 0xFF;
constexpr uint32_t CHANNEL_BITS = 8;
constexpr uint32_t COLOUR_CHANNELS = 3;

uint32_t* Row(const PixelSurface& surface, int32_t row) {
    return reinterpret_cast<uint32_t*>(surface.bits + static_cast<ptrdiff_t>(row) * surface.stride);
}

// c * a / 255 rounded, exact for 8-bit values.
uint32_t Multiply(uint32_t colour, uint32_t alpha) {
    const uint32_t product = colour * alpha + 128;
    return (product + (product >> CHANNEL_BITS)) >> CHANNEL_BITS;
}

}  // namespace

bool AnyTranslucent(const PixelSurface& surface) {
    for (int32_t y = 0; y < surface.height; ++y) {
        const uint32_t* row = Row(surface, y);
        uint32_t all = ~0u;
        for (int32_t x = 0; x < surface.width; ++x) all &= row[x];
        if ((all >> ALPHA_SHIFT) != OPAQUE) return true;
    }
    return false;
}

void LayOverBlack(const PixelSurface& surface) {
    for (int32_t y = 0; y < surface.height; ++y) {
        uint32_t* row = Row(surface, y);
        for (int32_t x = 0; x < surface.width; ++x) {
            const uint32_t pixel = row[x];
            const uint32_t alpha = pixel >> ALPHA_SHIFT;
            if (alpha == OPAQUE) continue;
            uint32_t laid = alpha << ALPHA_SHIFT;
            for (uint32_t channel = 0; channel < COLOUR_CHANNELS; ++channel) {
                const uint32_t shift = channel * CHANNEL_BITS;
                laid |= Multiply((pixel >> shift) & CHANNEL_MASK, alpha) << shift;
            }
            row[x] = laid;
        }
    }
}
