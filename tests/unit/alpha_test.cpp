// Colours laid over black against the rounded product in floating point, for
// every colour and alpha; the 16-to-8-bit rounding likewise.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/pixels/alpha.h"

namespace {

TEST(Alpha, LaidOverBlackIsTheRoundedProduct) {
    std::vector<uint32_t> pixels;
    for (uint32_t alpha = 0; alpha < 256; ++alpha)
        for (uint32_t colour = 0; colour < 256; ++colour)
            pixels.push_back(alpha << 24 | colour << 16 | (255 - colour) << 8 | colour / 2);
    const std::vector<uint32_t> straight = pixels;
    const PixelSurface surface = {reinterpret_cast<uint8_t*>(pixels.data()), 256, 256, 256 * 4};
    EXPECT_TRUE(AnyTranslucent(surface));
    LayOverBlack(surface);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t alpha = straight[i] >> 24;
        uint32_t want = alpha << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            const double product = ((straight[i] >> shift) & 0xFF) * alpha / 255.0;
            want |= static_cast<uint32_t>(std::floor(product + 0.5)) << shift;
        }
        ASSERT_EQ(pixels[i], want) << std::hex << straight[i];
    }
    // The last row alone is opaque: nothing translucent there.
    const PixelSurface opaque = {reinterpret_cast<uint8_t*>(&pixels[255 * 256]), 256, 1, 256 * 4};
    EXPECT_FALSE(AnyTranslucent(opaque));
}

TEST(Alpha, SixteenBitsToTheNearestEight) {
    for (uint32_t value = 0; value <= 65535; ++value) {
        const double exact = value * 255.0 / 65535.0;
        ASSERT_LE(std::fabs(EightBitsOf(static_cast<uint16_t>(value)) - exact), 0.5) << value;
    }
}

}  // namespace
