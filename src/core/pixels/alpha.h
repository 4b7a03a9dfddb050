// Pixels with alpha as the decoders hand them over (colours straight, not
// multiplied by their alpha) and as every view paints them: laid over black.
#pragma once

#include <cstdint>

#include "core/pixels/pixel_copy.h"

// Whether any pixel of the surface (bytes blue, green, red, alpha) is less than opaque.
bool AnyTranslucent(const PixelSurface& surface);

// Multiplies every pixel's colour by its alpha, rounded to the nearest value,
// keeping the alpha: the picture as painted over black. Opaque pixels stay as
// they are.
void LayOverBlack(const PixelSurface& surface);

// The 8-bit value nearest to a 16-bit one (65535 is 255, 32896 is 128).
constexpr uint8_t EightBitsOf(uint16_t value) {
    constexpr uint32_t SIXTEEN_BIT_MAX = 65535;
    constexpr uint32_t EIGHT_BIT_MAX = 255;
    return static_cast<uint8_t>((value * EIGHT_BIT_MAX + SIXTEEN_BIT_MAX / 2) / SIXTEEN_BIT_MAX);
}
