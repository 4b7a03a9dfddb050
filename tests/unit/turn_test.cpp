// Turning the picture under a view keeps its zoom and the picture point at
// its centre.
#include <gtest/gtest.h>

#include "core/geometry/turn.h"
#include "view_fixture.h"

namespace {

PlainPoint PixelAtCentre(const ViewState& view) {
    ViewState probe = view;
    FindAnchor(probe, {(view.clientRect.right) >> 1, (view.clientRect.bottom) >> 1});
    return {probe.imagePtX, probe.imagePtY};
}

TEST(TurnView, CentrePixelFollowsTheTurnAtTheSameZoom) {
    const Orientation turns[] = {ORIENTATION_CLOCKWISE, ORIENTATION_ANTICLOCKWISE, ORIENTATION_MIRROR};
    for (const int32_t zoom : {ZOOM_UNIT, 30000, 5000}) {
        for (const Orientation turn : turns) {
            TestView picture(900, 720, 100, 80);
            ViewState& view = picture.view;
            picture.SetZoom(zoom);
            // Away from the edges, where the layout could not centre the pixel.
            view.hScroll.nPos = static_cast<int32_t>(view.scaledW / 3);
            view.vScroll.nPos = static_cast<int32_t>(view.scaledH / 3);
            SizeHandlerArithmetic(view);
            const PlainPoint before = PixelAtCentre(view);
            uint32_t x = 0, y = 0;
            TurnedPixel(static_cast<uint32_t>(before.x), static_cast<uint32_t>(before.y), 900, 720, turn, x, y);
            TurnView(view, turn);
            SizeHandlerArithmetic(view);
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << ", turn " << int{turn});
            EXPECT_EQ(view.zoom, zoom);
            EXPECT_EQ(view.imageW, turn == ORIENTATION_MIRROR ? 900u : 720u);
            const PlainPoint after = PixelAtCentre(view);
            // Below 100 % a scaled pixel shows several picture pixels: the turned one is among them.
            const int32_t slack = zoom < ZOOM_UNIT ? ZOOM_UNIT / zoom : 0;
            EXPECT_NEAR(after.x, static_cast<int32_t>(x), slack);
            EXPECT_NEAR(after.y, static_cast<int32_t>(y), slack);
        }
    }
}

TEST(TurnedPixel, CornersGoWhereTheTurnTakesThem) {
    uint32_t x = 0, y = 0;
    TurnedPixel(0, 0, 4, 3, ORIENTATION_CLOCKWISE, x, y);  // top-left goes to the top-right
    EXPECT_EQ(x, 2u);
    EXPECT_EQ(y, 0u);
    TurnedPixel(0, 0, 4, 3, ORIENTATION_ANTICLOCKWISE, x, y);  // ... or to the bottom-left
    EXPECT_EQ(x, 0u);
    EXPECT_EQ(y, 3u);
    TurnedPixel(1, 2, 4, 3, ORIENTATION_MIRROR, x, y);
    EXPECT_EQ(x, 2u);
    EXPECT_EQ(y, 2u);
}

}  // namespace
