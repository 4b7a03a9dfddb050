// The eight orientations on small pictures, and how they compose.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/pixels/orientation.h"

namespace {

constexpr uint32_t PADDING = 0xDEADBEEFu;
constexpr uint32_t PAD_PIXELS = 3;

// A bottom-up surface with padded rows; the padding must stay untouched.
struct Surface {
    uint32_t rowPixels;
    std::vector<uint32_t> pixels;
    PixelSurface surface;
    Surface(uint32_t width, uint32_t height)
        : rowPixels(width + PAD_PIXELS), pixels(rowPixels * height, PADDING),
          surface{reinterpret_cast<uint8_t*>(pixels.data()), static_cast<int32_t>(width),
                  static_cast<int32_t>(height), static_cast<int32_t>(rowPixels * 4)} {}
    Surface(const Surface&) = delete;  // surface points into pixels
    Surface(Surface&&) = default;
    uint32_t& At(uint32_t x, uint32_t y) { return pixels[(surface.height - 1 - y) * rowPixels + x]; }
    uint32_t At(uint32_t x, uint32_t y) const { return pixels[(surface.height - 1 - y) * rowPixels + x]; }
    bool PaddingKept() const {
        for (size_t k = 0; k < pixels.size(); ++k) {
            if (k % rowPixels >= static_cast<uint32_t>(surface.width) && pixels[k] != PADDING) return false;
        }
        return true;
    }
};

Surface Numbered(uint32_t width, uint32_t height) {
    Surface stored(width, height);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) stored.At(x, y) = y << 16 | x;
    }
    return stored;
}

Surface Transformed(Surface& stored, Orientation o) {
    uint32_t shownW, shownH;
    ShownSize(stored.surface.width, stored.surface.height, o, shownW, shownH);
    Surface shown(shownW, shownH);
    TransformSurface(stored.surface, shown.surface, o);
    EXPECT_TRUE(shown.PaddingKept());
    return shown;
}

// Rows from the top, '/' between them; pixels are letters.
std::string Text(const Surface& picture) {
    std::string text;
    for (uint32_t y = 0; y < static_cast<uint32_t>(picture.surface.height); ++y) {
        if (y > 0) text += '/';
        for (uint32_t x = 0; x < static_cast<uint32_t>(picture.surface.width); ++x) text += char(picture.At(x, y));
    }
    return text;
}

TEST(Orientation, EachTagOnALabelledPicture) {
    const char* expected[] = {"", "abc/def", "cba/fed", "fed/cba", "def/abc",
                              "ad/be/cf", "da/eb/fc", "fc/eb/da", "cf/be/ad"};
    Surface stored(3, 2);
    for (uint32_t k = 0; k < 6; ++k) stored.At(k % 3, k / 3) = 'a' + k;
    for (Orientation o = ORIENTATION_FIRST; o <= ORIENTATION_LAST; ++o) {
        Surface shown = Transformed(stored, o);
        EXPECT_EQ(Text(shown), expected[o]) << int(o);
        for (uint32_t y = 0; y < static_cast<uint32_t>(shown.surface.height); ++y) {
            for (uint32_t x = 0; x < static_cast<uint32_t>(shown.surface.width); ++x) {
                uint32_t storedX, storedY;
                ShownToStored(x, y, 3, 2, o, storedX, storedY);
                EXPECT_EQ(stored.At(storedX, storedY), shown.At(x, y)) << int(o) << " at " << x << ", " << y;
            }
        }
    }
    // Values outside 1..8 show the picture as stored.
    EXPECT_EQ(Text(Transformed(stored, 0)), "abc/def");
    EXPECT_EQ(Text(Transformed(stored, 9)), "abc/def");
}

// The tiled walk against the per-pixel mapping, on sizes below, at and across tile edges.
TEST(Orientation, TransformAgreesWithTheMappingOnEverySize) {
    const uint32_t sizes[][2] = {{1, 1}, {1, 70}, {70, 1}, {3, 2}, {64, 64}, {130, 67}, {65, 129}};
    for (const auto& size : sizes) {
        Surface stored = Numbered(size[0], size[1]);
        for (Orientation o = ORIENTATION_FIRST; o <= ORIENTATION_LAST; ++o) {
            Surface shown = Transformed(stored, o);
            for (uint32_t y = 0; y < static_cast<uint32_t>(shown.surface.height); ++y) {
                for (uint32_t x = 0; x < static_cast<uint32_t>(shown.surface.width); ++x) {
                    uint32_t storedX, storedY;
                    ShownToStored(x, y, size[0], size[1], o, storedX, storedY);
                    ASSERT_EQ(shown.At(x, y), storedY << 16 | storedX) << int(o) << " " << size[0] << "x" << size[1];
                }
            }
        }
    }
}

TEST(Orientation, WrongShownSizeIsLeftAlone) {
    Surface stored = Numbered(5, 3);
    Surface shown(5, 3);
    TransformSurface(stored.surface, shown.surface, ORIENTATION_CLOCKWISE);
    for (uint32_t pixel : shown.pixels) ASSERT_EQ(pixel, PADDING);
}

TEST(Orientation, ComposeIsApplyingOneAfterTheOther) {
    Surface stored = Numbered(5, 3);
    for (Orientation first = ORIENTATION_FIRST; first <= ORIENTATION_LAST; ++first) {
        Surface once = Transformed(stored, first);
        for (Orientation second = ORIENTATION_FIRST; second <= ORIENTATION_LAST; ++second) {
            Surface twice = Transformed(once, second);
            Surface composed = Transformed(stored, Compose(first, second));
            EXPECT_EQ(twice.pixels, composed.pixels) << int(first) << " then " << int(second);
        }
    }
    Orientation turned = ORIENTATION_NONE;
    for (int turn = 0; turn < 4; ++turn) turned = Compose(turned, ORIENTATION_CLOCKWISE);
    EXPECT_EQ(turned, ORIENTATION_NONE);
    EXPECT_EQ(Compose(ORIENTATION_CLOCKWISE, ORIENTATION_CLOCKWISE), ORIENTATION_HALF_TURN);
    EXPECT_EQ(Compose(ORIENTATION_CLOCKWISE, ORIENTATION_ANTICLOCKWISE), ORIENTATION_NONE);
    EXPECT_EQ(Compose(ORIENTATION_MIRROR, ORIENTATION_MIRROR), ORIENTATION_NONE);
    EXPECT_EQ(Compose(ORIENTATION_FLIP, ORIENTATION_FLIP), ORIENTATION_NONE);
    EXPECT_EQ(Compose(0, ORIENTATION_CLOCKWISE), ORIENTATION_CLOCKWISE);
}

}  // namespace
