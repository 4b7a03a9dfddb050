// The closed form of the scaled side against the tables, and the fit zoom
// against a scan of every zoom.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/geometry/fit.h"
#include "view_fixture.h"

namespace {

TEST(ScaledExtent, IsWhatTheTablesGiveAndNeverShrinksAcrossFullSize) {
    std::mt19937 random(11);
    auto uniform = [&random](uint32_t low, uint32_t high) { return std::uniform_int_distribution<uint32_t>(low, high)(random); };
    for (int trial = 0; trial < 120; ++trial) {
        const uint32_t longer = uniform(1, 1u << uniform(0, 14)), shorter = uniform(0, longer);
        TestView picture(shorter, longer, 1, 1);
        const uint32_t mapLength = picture.view.mapLength;
        std::vector<int32_t> zooms(ZOOM_PRESETS, ZOOM_PRESETS + ZOOM_PRESET_COUNT);
        for (int i = 0; i < 8; ++i) zooms.push_back(static_cast<int32_t>(uniform(1, ZOOM_MAX)));
        for (int32_t zoom : zooms) {
            if (zoom > HighestFittingZoom(mapLength, picture.view.mapCapacity)) continue;
            picture.SetZoom(zoom);
            ASSERT_EQ(ScaledExtent(shorter, mapLength, zoom), picture.view.scaledW) << shorter << " at " << zoom;
            ASSERT_EQ(ScaledExtent(longer, mapLength, zoom), picture.view.scaledH) << longer << " at " << zoom;
        }
    }
    // The fit search relies on this; at 100 % the walk swaps its tables.
    TestView picture(7, 150, 1, 1);
    for (uint32_t zoom = 9000, lastW = 0, lastH = 0; zoom <= 11000; ++zoom) {
        picture.SetZoom(static_cast<int32_t>(zoom));
        ASSERT_TRUE(picture.view.scaledW >= lastW && picture.view.scaledH >= lastH) << zoom;
        lastW = picture.view.scaledW;
        lastH = picture.view.scaledH;
    }
}

// Sides near 2^32 at any zoom, against the closed form in 128 bits, saturated.
TEST(ScaledExtent, ExactForSidesNearTheTopOfThirtyTwoBits) {
    using Wide = unsigned __int128;
    std::mt19937 random(5);
    for (int i = 0; i < 100000; ++i) {
        const uint32_t mapLength = std::uniform_int_distribution<uint32_t>(2, UINT32_MAX)(random);
        const uint32_t side = std::uniform_int_distribution<uint32_t>(0, mapLength - 1)(random);
        const int32_t zoom = std::uniform_int_distribution<int32_t>(1, ZOOM_MAX)(random);
        const Wide m = mapLength, n = side, s = (m * zoom + ZOOM_UNIT - 1) / ZOOM_UNIT;
        const Wide expected = zoom < ZOOM_UNIT ? (2 * n + 1) * s / (2 * m)
                              : 2 * n * s < m  ? 0 : (2 * n * s + m - 1) / (2 * m);
        ASSERT_EQ(ScaledExtent(side, mapLength, zoom), std::min<Wide>(expected, UINT32_MAX)) << side << " at " << zoom;
    }
}

TEST(FitZoom, IsTheLargestZoomThatFitsElseTheSmallestThatShows) {
    EXPECT_EQ(FitZoom(1, 1, 1, 1), 15000);  // from 150.01 % the lone pixel takes two
    EXPECT_EQ(FitZoom(1, 1, 0, 0), 5001);
    EXPECT_EQ(FitZoom(10, 10, 1000, 1000), ZOOM_MAX);
    EXPECT_EQ(FitZoom(0, 10, 800, 600), ZOOM_UNIT);
    struct Case {
        uint32_t w, h;
        int32_t clientW, clientH;
    };
    const Case cases[] = {{1, 20000, 800, 600}, {20000, 1, 800, 600}, {1, 20000, 1, 20000}, {6000, 4000, 800, 600},
                          {300, 200, 299, 200}, {300, 200, -5, 900},  {7, 3, 1, 1},          {1, 1, 1, 1},
                          {4567, 123, 1919, 1}, {99, 2, 101, 1}};
    for (const Case& c : cases) {
        const uint32_t mapLength = std::max(c.w, c.h) + 1;
        int32_t largest = 0, smallest = 0;  // every zoom tried
        for (int32_t zoom = 1; zoom <= ZOOM_MAX; ++zoom) {
            const uint32_t w = ScaledExtent(c.w, mapLength, zoom), h = ScaledExtent(c.h, mapLength, zoom);
            if (w == 0 || h == 0) continue;
            smallest = smallest == 0 ? zoom : smallest;
            if (!NeedsScrollBar(w, c.clientW) && !NeedsScrollBar(h, c.clientH)) largest = zoom;
        }
        EXPECT_EQ(FitZoom(c.w, c.h, c.clientW, c.clientH), largest != 0 ? largest : smallest)
            << c.w << " x " << c.h << " in " << c.clientW << " x " << c.clientH;
    }
}

}  // namespace
