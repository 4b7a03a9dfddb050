// The closed form of the scaled side against the tables, and the fit zoom
// against a scan of every zoom.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "view/geometry/fit.h"
#include "view_fixture.h"

namespace {

uint32_t LogUniform(std::mt19937& random, uint32_t top) {
    return static_cast<uint32_t>(std::exp(std::uniform_real_distribution<double>(0.0, std::log(top))(random)));
}

TEST(ScaledExtent, IsWhatTheTablesGive) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 120; ++trial) {
        const uint32_t longer = std::max<uint32_t>(1, LogUniform(random, MINOR_MAP_ENTRIES - 2));
        const uint32_t shorter = std::uniform_int_distribution<uint32_t>(0, longer)(random);
        TestView picture(shorter, longer, 1, 1);
        const uint32_t mapLength = picture.view.mapLength;
        std::vector<int32_t> zooms(ZOOM_PRESETS, ZOOM_PRESETS + ZOOM_PRESET_COUNT);
        for (int i = 0; i < 8; ++i) zooms.push_back(std::uniform_int_distribution<int32_t>(1, ZOOM_MAX)(random));
        for (int32_t zoom : zooms) {
            if (zoom > HighestFittingZoom(mapLength)) continue;
            picture.SetZoom(zoom);
            ASSERT_EQ(ScaledExtent(shorter, mapLength, zoom), picture.view.scaledW) << shorter << " at " << zoom;
            ASSERT_EQ(ScaledExtent(longer, mapLength, zoom), picture.view.scaledH) << longer << " at " << zoom;
        }
    }
}

// The fit search relies on this; the walk changes tables at 100 %.
TEST(ScaledExtent, NeverShrinksAsTheZoomGrows) {
    for (uint32_t side : {1u, 2u, 7u, 150u}) {
        TestView picture(side, 150, 1, 1);
        uint32_t previous = 0;
        for (int32_t zoom = 9000; zoom <= 11000; ++zoom) {
            picture.SetZoom(zoom);
            ASSERT_GE(picture.view.scaledW, previous) << side << " at " << zoom;
            previous = picture.view.scaledW;
        }
        previous = 0;
        for (int32_t zoom = 1; zoom <= ZOOM_MAX; ++zoom) {
            const uint32_t extent = ScaledExtent(side, 151, zoom);
            ASSERT_GE(extent, previous) << side << " at " << zoom;
            previous = extent;
        }
    }
}

// Sides near 2^32 at any zoom: the 128-bit closed form, saturated.
TEST(ScaledExtent, ExactForSidesNearTheTopOfThirtyTwoBits) {
    using Wide = unsigned __int128;
    std::mt19937 random(5);
    for (int i = 0; i < 100000; ++i) {
        const uint32_t mapLength = std::uniform_int_distribution<uint32_t>(2, UINT32_MAX)(random);
        const uint32_t side = std::uniform_int_distribution<uint32_t>(0, mapLength - 1)(random);
        const int32_t zoom = std::uniform_int_distribution<int32_t>(1, ZOOM_MAX)(random);
        const Wide m = mapLength, n = side, s = (m * zoom + ZOOM_UNIT - 1) / ZOOM_UNIT;
        const Wide expected =
            zoom >= ZOOM_UNIT ? (2 * n * s < m ? 0 : (2 * n * s - m + 2 * m - 1) / (2 * m)) : (2 * n + 1) * s / (2 * m);
        ASSERT_EQ(ScaledExtent(side, mapLength, zoom), std::min<Wide>(expected, UINT32_MAX))
            << side << " of " << mapLength << " at " << zoom;
    }
}

// Every zoom tried: the largest that fits and shows both sides, else the smallest that shows them.
int32_t FitByScan(uint32_t imageW, uint32_t imageH, int32_t clientW, int32_t clientH) {
    const uint32_t mapLength = std::max(imageW, imageH) + 1;
    int32_t largest = 0, smallest = 0;
    for (int32_t zoom = 1; zoom <= ZOOM_MAX; ++zoom) {
        const uint32_t w = ScaledExtent(imageW, mapLength, zoom), h = ScaledExtent(imageH, mapLength, zoom);
        if (w == 0 || h == 0) continue;
        if (smallest == 0) smallest = zoom;
        if (!NeedsScrollBar(w, clientW) && !NeedsScrollBar(h, clientH)) largest = zoom;
    }
    return largest != 0 ? largest : smallest;
}

TEST(FitZoom, IsTheLargestZoomThatFits) {
    EXPECT_EQ(FitZoom(1, 1, 1, 1), 15000);    // at 150.01 % the lone pixel takes two
    EXPECT_EQ(FitZoom(1, 1, 0, 0), 5001);     // nothing fits: the smallest zoom that shows it
    EXPECT_EQ(FitZoom(10, 10, 1000, 1000), ZOOM_MAX);
    EXPECT_EQ(FitZoom(1, 20000, 800, 600), SmallestShowingZoom(1, 20000));
    EXPECT_EQ(FitZoom(0, 10, 800, 600), ZOOM_UNIT);
    EXPECT_EQ(FitZoom(UINT32_MAX, 10, 800, 600), ZOOM_UNIT);
    struct Case {
        uint32_t w, h;
        int32_t clientW, clientH;
    };
    std::vector<Case> cases = {{1, 1, 1, 1},       {1, 1, 0, 0},      {1, 20000, 800, 600}, {20000, 1, 800, 600},
                               {1, 20000, 1, 20000}, {6000, 4000, 800, 600}, {300, 200, 299, 200}, {300, 200, -5, 900},
                               {10, 10, 1000, 1000}, {7, 3, 1, 1}};
    std::mt19937 random(8);
    for (int i = 0; i < 20; ++i) {
        cases.push_back({LogUniform(random, 30000), LogUniform(random, 30000), static_cast<int32_t>(LogUniform(random, 4000)),
                         static_cast<int32_t>(LogUniform(random, 4000))});
    }
    for (const Case& c : cases) {
        EXPECT_EQ(FitZoom(c.w, c.h, c.clientW, c.clientH), FitByScan(c.w, c.h, c.clientW, c.clientH))
            << c.w << " x " << c.h << " in " << c.clientW << " x " << c.clientH;
    }
}

}  // namespace
