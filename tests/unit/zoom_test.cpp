// Zoom sequences, the preset walk, the outward guard and the anchor that the
// zoom step keeps under a still cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "view_fixture.h"

namespace {

// Far from the outward guard.
constexpr uint32_t ROOMY = 1000;

std::vector<int32_t> Notches(int32_t zoom, bool zoomIn, bool usePresets, int count) {
    std::vector<int32_t> zooms;
    for (int i = 0; i < count; ++i) {
        zoom = NextZoom(zoom, zoomIn, usePresets, ROOMY, ROOMY);
        zooms.push_back(zoom);
    }
    return zooms;
}

TEST(NextZoom, PlainNotchesInReachTheCapOnTheThirtySeventh) {
    const std::vector<int32_t> zooms = Notches(ZOOM_UNIT, true, false, 38);
    EXPECT_EQ(std::vector<int32_t>(zooms.begin(), zooms.begin() + 5),
              (std::vector<int32_t>{11000, 12100, 13310, 14641, 16105}));
    EXPECT_EQ(std::vector<int32_t>(zooms.begin() + 32, zooms.end()),
              (std::vector<int32_t>{232179, 255396, 280935, 309028, ZOOM_MAX, ZOOM_MAX}));
}

TEST(NextZoom, PlainNotchesOutAndBackLoseTheRounding) {
    EXPECT_EQ(Notches(ZOOM_UNIT, false, false, 3), (std::vector<int32_t>{9090, 8263, 7511}));
    EXPECT_EQ(NextZoom(NextZoom(ZOOM_UNIT, false, false, ROOMY, ROOMY), true, false, ROOMY, ROOMY), 9999);
    EXPECT_EQ(NextZoom(2, false, false, ROOMY, ROOMY), 1);
}

TEST(NextZoom, BelowTenOnlyThePresetsGrow) {
    EXPECT_EQ(NextZoom(9, true, false, ROOMY, ROOMY), 9);
    EXPECT_EQ(NextZoom(9, true, true, ROOMY, ROOMY), 10);
    EXPECT_EQ(NextZoom(1, true, false, ROOMY, ROOMY), 1);
    EXPECT_EQ(NextZoom(1, true, true, ROOMY, ROOMY), 2);
}

TEST(NextZoom, PresetsMoveToTheNeighbouringPreset) {
    struct Case {
        int32_t from;
        int32_t in;
        int32_t out;
    };
    const Case cases[] = {{10000, 20000, 6667}, {12100, 20000, 10000}, {160000, 320000, 120000},
                          {200000, 320000, 160000}, {320000, 320000, 160000}, {2, 3, 1},
                          {6668, 10000, 6667}, {1, 2, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(NextZoom(c.from, true, true, ROOMY, ROOMY), c.in) << "in from " << c.from;
        EXPECT_EQ(NextZoom(c.from, false, true, ROOMY, ROOMY), c.out) << "out from " << c.from;
    }
    // Every preset steps to its neighbours.
    for (int i = 0; i < ZOOM_PRESET_COUNT; ++i) {
        const int32_t up = ZOOM_PRESETS[i < ZOOM_PRESET_COUNT - 1 ? i + 1 : i];
        const int32_t down = ZOOM_PRESETS[i > 0 ? i - 1 : 0];
        EXPECT_EQ(NextZoom(ZOOM_PRESETS[i], true, true, ROOMY, ROOMY), up);
        EXPECT_EQ(NextZoom(ZOOM_PRESETS[i], false, true, ROOMY, ROOMY), down);
    }
}

TEST(NextZoom, OutwardGuardRefusesAtOnePixel) {
    for (bool usePresets : {false, true}) {
        EXPECT_EQ(NextZoom(5000, false, usePresets, 1, 50), 5000);
        EXPECT_EQ(NextZoom(5000, false, usePresets, 50, 1), 5000);
        EXPECT_EQ(NextZoom(5000, false, usePresets, 0, 0), 5000);
        EXPECT_NE(NextZoom(5000, false, usePresets, 2, 2), 5000);
        EXPECT_NE(NextZoom(5000, true, usePresets, 1, 1), 5000);  // inwards is never guarded
    }
}

// The scaled length of a side of n pixels at a zoom, from the closed form of
// the tables (checked against the walk in the scale map tests).
int64_t ScaledSide(int64_t n, int64_t mapLength, int32_t zoom) {
    const int64_t scaled = ScaledLength(static_cast<uint32_t>(mapLength), zoom);
    if (zoom >= ZOOM_UNIT) {
        const int64_t numerator = 2 * scaled * n - mapLength;  // minorMap[n], rounded up
        return numerator <= 0 ? 0 : (numerator + 2 * mapLength - 1) / (2 * mapLength);
    }
    return (2 * n + 1) * scaled / (2 * mapLength);  // majorMap[n]
}

// The smallest side whose scaled length at zoom is at least 2 (the outward
// guard lets a step through only when both sides are), or 0 when none is.
int64_t SmallestSideAtLeastTwo(int64_t mapLength, int32_t zoom) {
    const int64_t scaled = ScaledLength(static_cast<uint32_t>(mapLength), zoom);
    const int64_t side = zoom >= ZOOM_UNIT ? 3 * mapLength / (2 * scaled) + 1
                                           : (4 * mapLength + scaled - 1) / (2 * scaled);
    return side < mapLength ? std::max<int64_t>(side, 1) : 0;
}

// Can a step outwards that the guard lets through leave a side at 0 scaled
// pixels? Only a step that ends below 100 % could (above, a side of n pixels
// is at least n scaled pixels wide), so only zooms up to 11001 matter; the
// scaled side grows with the picture side, so the smallest side that passes
// the guard decides. Searched over every zoom, reachable or not, for every
// mapLength up to 1200 and a sample above; KIV_FULL_ZERO_SEARCH=1 takes every
// mapLength up to 19999 (about 20 s) and finds none either.
TEST(NextZoom, NoStepOutwardsThatPassesTheGuardLeavesASideEmpty) {
    std::vector<int64_t> mapLengths;
    const bool full = std::getenv("KIV_FULL_ZERO_SEARCH") != nullptr;
    for (int64_t length = 2; length <= (full ? 19999 : 1200); ++length) mapLengths.push_back(length);
    if (!full) {
        std::mt19937 random(7);
        for (int i = 0; i < 150; ++i) mapLengths.push_back(std::uniform_int_distribution<int>(1201, 19999)(random));
        mapLengths.push_back(19999);
    }
    int64_t passed = 0;
    for (int64_t mapLength : mapLengths) {
        const int32_t highest = std::min(HighestFittingZoom(static_cast<uint32_t>(mapLength), FIXED_TABLES), 11001);
        for (int32_t zoom = 1; zoom <= highest; ++zoom) {
            const int64_t side = SmallestSideAtLeastTwo(mapLength, zoom);
            if (side == 0) continue;
            ASSERT_GE(ScaledSide(side, mapLength, zoom), 2);
            ASSERT_TRUE(side == 1 || ScaledSide(side - 1, mapLength, zoom) < 2);
            for (bool usePresets : {false, true}) {
                const int32_t next = NextZoom(zoom, false, usePresets, 2, 2);
                ++passed;
                ASSERT_GE(ScaledSide(side, mapLength, next), 1)
                    << "mapLength " << mapLength << ", side " << side << ": " << zoom << " -> " << next;
            }
        }
    }
    EXPECT_GT(passed, 1000000);
}

// The picture pixel that the readout names for a cursor position.
PlainPoint ImageUnderCursor(const ViewState& view, const PlainPoint& cursor) {
    PlainPoint scaled, image;
    ClientToScaled(cursor, view, scaled);
    ClampToScaled(scaled, view.scaledW, view.scaledH);
    ScaledToImage(scaled, view, image);
    return image;
}

// The worked step: 400 x 400 at 200 %, cursor at (41, 41) over image pixel
// (20, 20), which spans scaled 40 and 41; Shift + in goes to 300 %.
TEST(ZoomStep, WorkedStepKeepsTheCursorInTheMiddleOfItsPixel) {
    TestView picture(400, 400, 200, 200);
    picture.SetZoom(20000);
    ViewState& view = picture.view;
    view.centreX = view.centreY = 0;
    LayoutView(view);
    ASSERT_EQ(view.scaledW, 800u);
    ASSERT_EQ(view.srcX, 0);
    ASSERT_EQ(view.lastZoom, 0);

    ZoomStep(view, {41, 41}, true, true);
    EXPECT_EQ(view.imagePtX, 20);
    EXPECT_EQ(view.imagePtY, 20);
    EXPECT_EQ(view.spanW, 2);
    EXPECT_EQ(view.spanOffX, 1);
    EXPECT_EQ(view.spanH, 2);
    EXPECT_EQ(view.spanOffY, 1);
    EXPECT_EQ(view.zoom, 30000);
    EXPECT_EQ(view.scaledMapLength, 1203u);
    EXPECT_EQ(view.scaledW, 1200u);
    EXPECT_EQ(view.centreX, 120);
    EXPECT_EQ(view.srcX, 20);
    EXPECT_EQ(view.hScroll.nPos, 20);
    EXPECT_EQ(view.lastZoom, 30000);
    EXPECT_EQ(view.lastSrcX, 20);
    EXPECT_EQ(view.lastCursorX, 41);
    PlainPoint scaled;
    ClientToScaled({41, 41}, view, scaled);
    EXPECT_EQ(scaled.x, 61);
    EXPECT_EQ(scaled.y, 61);

    // A second notch with the mouse still reuses the first measurement.
    view.spanOffX = 0;  // marks the fields: a new measurement would rewrite them
    ZoomStep(view, {41, 41}, true, true);
    EXPECT_EQ(view.zoom, 40000);
    EXPECT_EQ(view.spanOffX, 0);
    EXPECT_EQ(view.spanW, 2);
}

// The cursor in the last third of a pixel at 300 %: stepping out to 100 %
// keeps that fraction, which rounds to a whole pixel there, and the cursor
// must still be over the same picture pixel, not its right-hand neighbour.
TEST(ZoomStep, CarriedFractionNeverRoundsIntoTheNextPixel) {
    TestView picture(400, 400, 200, 200);
    picture.SetZoom(30000);
    ViewState& view = picture.view;
    const PlainPoint cursor = {100, 100};
    view.centreX = view.centreY = 3 * 100 + 2;  // scaled 302 under the cursor: pixel 100, last third
    LayoutView(view);
    ASSERT_EQ(ImageUnderCursor(view, cursor).x, 100);
    for (int32_t expectedZoom : {20000, 10000}) {
        ZoomStep(view, cursor, false, true);
        SizeHandlerArithmetic(view);
        ASSERT_EQ(view.zoom, expectedZoom);
        EXPECT_EQ(ImageUnderCursor(view, cursor).x, 100) << "at " << expectedZoom;
        EXPECT_EQ(ImageUnderCursor(view, cursor).y, 100) << "at " << expectedZoom;
    }
    // And back in, the stale fraction (two thirds) lands inside the pixel again.
    ZoomStep(view, cursor, true, true);
    EXPECT_EQ(view.zoom, 20000);
    EXPECT_EQ(ImageUnderCursor(view, cursor).x, 100);
}

TEST(ZoomStep, AtTheCapTheViewStaysPut) {
    TestView picture(300, 200, 500, 400);
    picture.SetZoom(ZOOM_MAX);
    ViewState& view = picture.view;
    view.centreX = 4321;
    view.centreY = 2345;
    SizeHandlerArithmetic(view);
    const PlainPoint cursor = {123, 77};
    ZoomStep(view, cursor, true, false);  // primes the anchor key
    SizeHandlerArithmetic(view);
    const int32_t srcX = view.srcX, srcY = view.srcY;
    for (int i = 0; i < 3; ++i) {
        ZoomStep(view, cursor, true, i % 2 == 0);
        SizeHandlerArithmetic(view);
        EXPECT_EQ(view.zoom, ZOOM_MAX);
        EXPECT_EQ(view.srcX, srcX);
        EXPECT_EQ(view.srcY, srcY);
    }
}

TEST(ZoomStep, SmallerTablesStopTheZoomAtTheHighestTheyHold) {
    TestView picture(19998, 3, 800, 600, FIXED_TABLES);
    ViewState& view = picture.view;
    for (int i = 0; i < 40; ++i) ZoomStep(view, {400, 300}, true, i % 3 == 0);
    EXPECT_EQ(view.zoom, 100005);
    EXPECT_EQ(view.scaledMapLength, FIXED_TABLES.major);
    EXPECT_EQ(view.scaledW, 199990u);
}

// Tables sized for the picture take every picture to the cap, from one pixel
// to the longest side, and the walk's arithmetic stays exact there.
TEST(ZoomStep, TablesSizedForThePictureReachTheCap) {
    for (const uint32_t side : {1u, 19998u, MAX_PICTURE_SIDE}) {
        TestView picture(side, 1, 800, 600);
        ViewState& view = picture.view;
        EXPECT_EQ(view.mapCapacity.major, 32 * (side + 1));
        EXPECT_EQ(view.mapCapacity.minor, side + 2);
        for (int i = 0; i < 40 && view.zoom < ZOOM_MAX; ++i) ZoomStep(view, {400, 300}, true, true);
        EXPECT_EQ(view.zoom, ZOOM_MAX) << side;
        EXPECT_EQ(view.scaledMapLength, view.mapCapacity.major);
        EXPECT_EQ(view.majorMap[view.mapCapacity.major - 1], side);
        EXPECT_EQ(view.minorMap[side + 1], view.mapCapacity.major);
        EXPECT_EQ(view.scaledW, view.minorMap[side]);
        ZoomStep(view, {400, 300}, false, false);
        EXPECT_EQ(view.zoom, ZOOM_MAX * 10 / 11);
    }
}

TEST(ZoomStep, OnePixelWidePictureCannotShrinkButIsLaidOutAgain) {
    TestView picture(1, 50, 40, 30);
    ViewState& view = picture.view;
    view.vScroll.nPos = 20;
    SizeHandlerArithmetic(view);
    ASSERT_EQ(view.srcY, 20);
    const PlainPoint cursor = {20, 15};
    const PlainPoint before = ImageUnderCursor(view, cursor);
    for (bool usePresets : {false, true}) {
        view.visW = view.visH = -1;  // the step must lay the view out again
        ZoomStep(view, cursor, false, usePresets);
        EXPECT_EQ(view.zoom, ZOOM_UNIT);
        EXPECT_EQ(view.scaledW, 1u);
        EXPECT_EQ(view.lastZoom, ZOOM_UNIT);
        EXPECT_EQ(view.visW, 1);
        EXPECT_EQ(view.visH, 30);
        EXPECT_EQ(view.destX, 19);
        EXPECT_EQ(view.srcY, 20);
        EXPECT_EQ(ImageUnderCursor(view, cursor).y, before.y);
    }
}

// A view whose tables cannot hold its picture even at 100 % must not reach
// past them nor change.
TEST(ZoomStep, PictureTooLargeForTheTablesIsLeftAlone) {
    for (uint32_t imageW : {19999u, 300000u}) {
        std::vector<uint32_t> major(FIXED_TABLES.major), minor(FIXED_TABLES.minor);
        ViewState view{};
        view.mapCapacity = FIXED_TABLES;
        view.clientRect = {0, 0, 300, 200};
        view.majorMap = major.data();
        view.minorMap = minor.data();
        view.imageW = imageW;
        view.imageH = 10;
        view.mapLength = imageW + 1;
        view.zoom = ZOOM_UNIT;
        view.scaledW = view.scaledH = 7;
        RebuildScaleMaps(view);
        EXPECT_EQ(view.scaledW, 7u);
        EXPECT_EQ(view.scaledH, 7u);
        ZoomStep(view, {10, 10}, true, false);
        ZoomStep(view, {10, 10}, false, true);
        EXPECT_EQ(view.zoom, ZOOM_UNIT);
        EXPECT_EQ(view.scaledW, 7u);
        EXPECT_EQ(view.lastZoom, 0);
        EXPECT_EQ(major, std::vector<uint32_t>(FIXED_TABLES.major));
    }
}

// Anchor stability: random pictures, clients and cursor positions over the
// picture; 20 notches in, then 20 out, with the cursor still. Per axis the
// picture pixel under the cursor must stay the first step's anchor for as
// long as every step so far
//  - ended at 100 % or more (below, a scaled pixel shows several picture
//    pixels and the readout names the first of them),
//  - left the scaled picture larger than the client along that axis (a
//    fitting axis is centred and ignores the cursor), and
//  - laid the axis out unclamped (srcX = centreX - clientW / 2: at an edge the
//    layout cannot put the anchor under the cursor).
TEST(ZoomStep, StillCursorKeepsThePicturePixelUnderIt) {
    std::mt19937 random(99);
    auto uniform = [&random](int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random);
    };
    int64_t checks = 0;
    auto side = [&random]() {  // log-uniform over 1 .. 6000
        return static_cast<uint32_t>(std::exp(std::uniform_real_distribution<double>(0.0, 8.7)(random)));
    };
    for (int trial = 0; trial < 400; ++trial) {
        const uint32_t imageW = side(), imageH = side();
        TestView picture(imageW, imageH, uniform(1, 900), uniform(1, 700));
        ViewState& view = picture.view;
        const int32_t highest = HighestFittingZoom(view.mapLength, view.mapCapacity);
        picture.SetZoom(uniform(0, 2) == 0 ? ZOOM_UNIT : uniform(ZOOM_UNIT, std::min(highest, 60000)));
        view.hScroll.nPos = uniform(0, static_cast<int32_t>(view.scaledW));
        view.vScroll.nPos = uniform(0, static_cast<int32_t>(view.scaledH));
        SizeHandlerArithmetic(view);
        const PlainPoint cursor = {uniform(view.destX, view.destX + view.visW - 1),
                                   uniform(view.destY, view.destY + view.visH - 1)};
        const PlainPoint anchor = ImageUnderCursor(view, cursor);
        const bool usePresets = uniform(0, 1) == 1;
        bool holdsX = true, holdsY = true;
        for (int notch = 0; notch < 40; ++notch) {
            ZoomStep(view, cursor, notch < 20, usePresets);
            SizeHandlerArithmetic(view);
            PlainSize client;
            RectSize(view.clientRect, client);
            holdsX = holdsX && view.zoom >= ZOOM_UNIT && view.scaledW > static_cast<uint32_t>(client.w) &&
                     view.srcX == view.centreX - (client.w >> 1);
            holdsY = holdsY && view.zoom >= ZOOM_UNIT && view.scaledH > static_cast<uint32_t>(client.h) &&
                     view.srcY == view.centreY - (client.h >> 1);
            const PlainPoint under = ImageUnderCursor(view, cursor);
            SCOPED_TRACE(testing::Message() << "trial " << trial << ", notch " << notch << ", zoom "
                                            << view.zoom << (usePresets ? " (presets)" : ""));
            if (holdsX) {
                ASSERT_EQ(under.x, anchor.x);
                ++checks;
            }
            if (holdsY) {
                ASSERT_EQ(under.y, anchor.y);
                ++checks;
            }
        }
    }
    EXPECT_GT(checks, 4000);  // the conditions must leave plenty of steps to check
}

}  // namespace
