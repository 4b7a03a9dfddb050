// Layout, coordinate mapping and the table-driven copy on worked examples.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/geometry/layout.h"
#include "core/pixels/pixel_copy.h"
#include "view_fixture.h"

namespace {

// The scaled -> source column of every scaled column of a view (rows use the
// same table).
std::vector<int32_t> SourceColumns(const ViewState& view) {
    std::vector<int32_t> columns;
    for (uint32_t x = 0; x < view.scaledW; ++x) {
        PlainPoint image;
        ScaledToImage({static_cast<int32_t>(x), 0}, view, image);
        columns.push_back(image.x);
    }
    return columns;
}

TEST(NearestNeighbour, NinePixelPictureAtThreeZooms) {
    TestView nine(9, 9, 100, 100);
    nine.SetZoom(11000);
    EXPECT_EQ(nine.view.scaledW, 10u);
    EXPECT_EQ(nine.view.scaledH, 10u);
    EXPECT_EQ(SourceColumns(nine.view), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 5, 6, 7, 8}));

    nine.SetZoom(30000);
    EXPECT_EQ(nine.view.scaledW, 27u);
    std::vector<int32_t> blocks;
    for (int32_t source = 0; source < 9; ++source) blocks.insert(blocks.end(), 3, source);
    EXPECT_EQ(SourceColumns(nine.view), blocks);

    // Shrinking shows the first source pixel of each run.
    nine.SetZoom(3333);
    EXPECT_EQ(nine.view.scaledW, 3u);
    EXPECT_EQ(nine.view.scaledH, 3u);
    EXPECT_EQ(SourceColumns(nine.view), (std::vector<int32_t>{0, 2, 5}));

    // Just under 100 % the lengths can still agree: the identity, through minorMap.
    TestView thousand(1000, 10, 100, 100);
    thousand.SetZoom(9999);
    EXPECT_EQ(thousand.view.scaledMapLength, thousand.view.mapLength);
    const std::vector<int32_t> columns = SourceColumns(thousand.view);
    for (int32_t x = 0; x < 1000; ++x) ASSERT_EQ(columns[x], x);
}

TEST(Creation, StartsAtFullSizeCentredOnThePicture) {
    TestView picture(101, 75, 300, 200);
    const ViewState& view = picture.view;
    EXPECT_EQ(view.scaledW, 101u);
    EXPECT_EQ(view.scaledH, 75u);
    EXPECT_EQ(view.mapLength, 102u);
    EXPECT_EQ(view.scaledMapLength, 102u);
    EXPECT_EQ(view.centreX, 50);
    EXPECT_EQ(view.centreY, 37);
    EXPECT_EQ(view.destX, 99);
    EXPECT_EQ(view.destY, 62);
    EXPECT_EQ(view.srcX, 0);
    EXPECT_EQ(view.srcY, 0);
    EXPECT_EQ(view.visW, 101);
    EXPECT_EQ(view.visH, 75);
}

// A bottom-up 32-bit surface of its own.
struct Surface {
    std::vector<uint32_t> pixels;
    PixelSurface surface;
    Surface(int32_t width, int32_t height, uint32_t fill)
        : pixels(static_cast<size_t>(width) * height, fill),
          surface{reinterpret_cast<uint8_t*>(pixels.data()), width, height, width * 4} {}
    // Row 0 is the top of the picture and the last row in memory.
    uint32_t& At(int32_t column, int32_t row) {
        return pixels[static_cast<size_t>(surface.height - 1 - row) * surface.width + column];
    }
};

constexpr uint32_t GREY = 0x005B5B5Bu;

ScaledCopy CopyOf(const ViewState& view) {
    return {ScaledToSourceTable(view), ScaledToSourceEntries(view), view.srcX, view.srcY,
            view.visW, view.visH, view.destX, view.destY};
}

TEST(NearestNeighbour, FullSizeCopyLandsPixelForPixelInTheMiddle) {
    TestView picture(101, 75, 300, 200);
    Surface image(101, 75, 0);
    for (int32_t row = 0; row < 75; ++row) {
        for (int32_t column = 0; column < 101; ++column) {
            image.At(column, row) = static_cast<uint32_t>(row << 16 | column) | 0xFF000000u;
        }
    }
    Surface back(300, 200, GREY);
    CopyScaledView(image.surface, back.surface, CopyOf(picture.view), GREY);

    for (int32_t row = 0; row < 200; ++row) {
        for (int32_t column = 0; column < 300; ++column) {
            const bool inside = column >= 99 && column < 200 && row >= 62 && row < 137;
            const uint32_t expected = inside ? image.At(column - 99, row - 62) : GREY;
            ASSERT_EQ(back.At(column, row), expected) << "client " << column << ", " << row;
        }
    }
    // The picture's top row is the last one in memory, yet shows at the top.
    EXPECT_EQ(back.pixels[static_cast<size_t>(200 - 1 - 62) * 300 + 99], image.pixels[74 * 101]);
}

TEST(NearestNeighbour, EnlargedCopyRepeatsEachPixelAsABlock) {
    TestView picture(9, 9, 40, 20);
    picture.SetZoom(30000);  // 27 x 27: centred across, scrolled down
    picture.view.centreY = 13;
    LayoutView(picture.view);
    ASSERT_EQ(picture.view.destX, 6);
    ASSERT_EQ(picture.view.destY, 0);
    ASSERT_EQ(picture.view.srcY, 3);
    Surface image(9, 9, 0);
    for (int32_t row = 0; row < 9; ++row) {
        for (int32_t column = 0; column < 9; ++column) image.At(column, row) = row * 9u + column;
    }
    Surface back(40, 20, GREY);
    CopyScaledView(image.surface, back.surface, CopyOf(picture.view), GREY);
    for (int32_t row = 0; row < 20; ++row) {
        for (int32_t column = 0; column < 40; ++column) {
            const int32_t x = column - 6, y = row + 3;
            const bool inside = x >= 0 && x < 27;
            ASSERT_EQ(back.At(column, row), inside ? image.At(x / 3, y / 3) : GREY) << column << ", " << row;
        }
    }
}

struct AxisLayout {
    int32_t dest, src, visible;
};

AxisLayout LayOutAcross(int32_t centre, int32_t clientW, uint32_t scaledW) {
    const PlainRect rect = {0, 0, clientW, 10};
    AxisLayout across{};
    int32_t destY, srcY, visH;
    LayoutViewport(centre, 0, rect, scaledW, 10, across.dest, destY, across.src, srcY, across.visible, visH);
    return across;
}

void ExpectAxis(const AxisLayout& actual, int32_t dest, int32_t src, int32_t visible) {
    EXPECT_EQ(actual.dest, dest);
    EXPECT_EQ(actual.src, src);
    EXPECT_EQ(actual.visible, visible);
}

TEST(LayoutViewport, FittingAxesAreCentredTheExtraPixelOnTheFarSide) {
    const PlainRect rect = {0, 0, 100, 80};
    int32_t destX, destY, srcX, srcY, visW, visH;
    LayoutViewport(999, 999, rect, 60, 80, destX, destY, srcX, srcY, visW, visH);
    EXPECT_EQ(destX, 20);
    EXPECT_EQ(srcX, 0);
    EXPECT_EQ(visW, 60);
    EXPECT_EQ(destY, 0);  // exactly as tall as the client: fits
    EXPECT_EQ(srcY, 0);
    EXPECT_EQ(visH, 80);

    ExpectAxis(LayOutAcross(0, 101, 50), 25, 0, 50);
}

TEST(LayoutViewport, WideAxesFollowTheCentreClampedToTheEdges) {
    ExpectAxis(LayOutAcross(150, 100, 300), 0, 100, 100);
    ExpectAxis(LayOutAcross(20, 100, 300), 0, 0, 100);    // computed -30
    ExpectAxis(LayOutAcross(280, 100, 300), 0, 200, 100);  // computed 230
    ExpectAxis(LayOutAcross(50, 100, 300), 0, 0, 100);    // computed exactly 0
    ExpectAxis(LayOutAcross(150, 101, 300), 0, 100, 101);  // half of 101 rounds down
}

TEST(LayoutViewport, EmptyClientShowsNothingButKeepsAPlausibleStart) {
    ExpectAxis(LayOutAcross(150, 0, 300), 0, 150, 0);
    ExpectAxis(LayOutAcross(-7, 0, 300), 0, 0, 0);
    ExpectAxis(LayOutAcross(900, 0, 300), 0, 300, 0);
    // A negative extent is taken as empty rather than wrapped into a huge one.
    ExpectAxis(LayOutAcross(150, -20, 300), 0, 150, 0);
}

TEST(CoordinateMapping, MarginPointsClampOntoTheEdgePixels) {
    TestView picture(101, 75, 300, 200);
    PlainPoint scaled;
    ClientToScaled({10, 5}, picture.view, scaled);
    EXPECT_EQ(scaled.x, 10 - 99);
    EXPECT_EQ(scaled.y, 5 - 62);
    ClampToScaled(scaled, picture.view.scaledW, picture.view.scaledH);
    EXPECT_EQ(scaled.x, 0);
    EXPECT_EQ(scaled.y, 0);

    PlainPoint far = {-5, 500};
    ClampToScaled(far, 300, 200);
    EXPECT_EQ(far.x, 0);
    EXPECT_EQ(far.y, 199);

    PlainSize client;
    RectSize({3, 4, 13, 24}, client);
    EXPECT_EQ(client.w, 10);
    EXPECT_EQ(client.h, 20);
}

TEST(CoordinateMapping, ImageAndScaledPointsAtDoubleSize) {
    TestView picture(4, 4, 100, 100);  // mapLength 5
    picture.SetZoom(20000);
    const ViewState& view = picture.view;
    EXPECT_EQ(std::vector<uint32_t>(picture.minor.begin(), picture.minor.begin() + 6),
              (std::vector<uint32_t>{0, 2, 4, 6, 8, 10}));
    PlainPoint start, end, image;
    ImageToScaledStart({2, 3}, view.minorMap, start);
    ImageToScaledEnd({2, 3}, view.minorMap, end);
    EXPECT_EQ(start.x, 4);
    EXPECT_EQ(end.x, 6);
    EXPECT_EQ(start.y, 6);
    EXPECT_EQ(end.y, 8);
    ScaledToImage({4, 5}, view, image);
    EXPECT_EQ(image.x, 2);
    EXPECT_EQ(image.y, 2);
    EXPECT_EQ(ScaledToSourceTable(view), view.majorMap);
    EXPECT_EQ(ScaledToSourceEntries(view), 10u);

    picture.SetZoom(5000);  // below 100 % the roles swap
    EXPECT_EQ(ScaledToSourceTable(view), view.minorMap);
    EXPECT_EQ(ScaledToSourceEntries(view), view.scaledMapLength + 1);
}

}  // namespace
