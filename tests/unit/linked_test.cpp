// Linked views: the follower's zoom and the picture point at its client centre.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "view/geometry/fit.h"
#include "view/geometry/linked.h"
#include "view_fixture.h"

namespace {

struct Random {
    std::mt19937 engine{41};
    int32_t Uniform(int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(engine); }
    uint32_t Side() { return static_cast<uint32_t>(std::exp(std::uniform_real_distribution<double>(0.0, 7.6)(engine))); }

    // A zoom the picture shows and its tables hold, below and above 100 %, and a random scroll position.
    void Scramble(TestView& picture) {
        ViewState& view = picture.view;
        const int32_t lowest = SmallestShowingZoom(view.imageW, view.imageH);
        const int32_t highest = std::min(HighestFittingZoom(view.mapLength), 60000);
        picture.SetZoom(Uniform(0, 1) == 0 ? Uniform(lowest, ZOOM_UNIT) : Uniform(ZOOM_UNIT, highest));
        view.hScroll.nPos = Uniform(0, static_cast<int32_t>(view.scaledW));
        view.vScroll.nPos = Uniform(0, static_cast<int32_t>(view.scaledH));
        SizeHandlerArithmetic(view);
    }
};

PlainPoint Centre(const ViewState& view) { return {view.clientRect.right >> 1, view.clientRect.bottom >> 1}; }

TEST(FollowView, SameSizesGiveTheSameView) {
    Random random;
    for (int trial = 0; trial < 400; ++trial) {
        const uint32_t w = random.Side(), h = random.Side();
        const int32_t clientW = random.Uniform(1, 900), clientH = random.Uniform(1, 700);
        TestView leader(w, h, clientW, clientH), follower(w, h, clientW, clientH);
        random.Scramble(leader);
        random.Scramble(follower);
        if (trial % 2 == 0) {  // a matching key over a stale measurement: the place is measured afresh
            ViewState& view = leader.view;
            view.lastZoom = view.zoom;
            view.lastSrcX = view.srcX;
            view.lastSrcY = view.srcY;
            view.lastCursorX = Centre(view).x;
            view.lastCursorY = Centre(view).y;
            view.spanW = view.spanH = 1000;
            view.spanOffX = view.spanOffY = 999;
        }
        follower.view.lastZoom = 77;
        follower.view.spanOffX = 5;
        const ViewState before = leader.view;
        FollowView(leader.view, follower.view);
        SizeHandlerArithmetic(follower.view);  // the re-layout the window asks for keeps the place
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", zoom " << leader.view.zoom);
        ASSERT_EQ(follower.view.zoom, leader.view.zoom);
        ASSERT_EQ(follower.view.srcX, leader.view.srcX);
        ASSERT_EQ(follower.view.srcY, leader.view.srcY);
        ASSERT_EQ(follower.view.lastZoom, 77);
        ASSERT_EQ(follower.view.spanOffX, 5);
        ASSERT_EQ(std::memcmp(&before, &leader.view, sizeof before), 0);
    }
}

// The scaled run of the follower's picture pixel, clamped into its picture;
// below 100 % the last pixels may lie past the last scaled pixel.
void RunOf(const ViewState& view, int32_t pixel, uint32_t side, uint32_t scaled, int32_t& first, int32_t& last) {
    pixel = std::min(pixel, static_cast<int32_t>(side) - 1);
    const bool enlarged = view.zoom >= ZOOM_UNIT;
    first = static_cast<int32_t>((enlarged ? view.minorMap : view.majorMap)[pixel]);
    last = enlarged ? static_cast<int32_t>(view.minorMap[pixel + 1]) - 1 : first;
    first = std::min(first, static_cast<int32_t>(scaled) - 1);
    last = std::min(last, static_cast<int32_t>(scaled) - 1);
}

// The anchor's run lies under the follower's centre, or the follower is at the edge it was clamped to.
void ExpectAxisFollows(int32_t under, int32_t first, int32_t last, int32_t src, uint32_t scaled, int32_t client) {
    if (!NeedsScrollBar(scaled, client)) return;  // centred whatever the anchor
    if (src > 0) {
        EXPECT_LE(under, last);
    }
    if (src < static_cast<int32_t>(scaled) - client) {
        EXPECT_GE(under, first);
    }
}

TEST(FollowView, OtherPicturesAndClientsFollowThePixelAtTheCentre) {
    Random random;
    for (int trial = 0; trial < 600; ++trial) {
        const bool samePicture = trial % 3 == 0;
        TestView leader(random.Side(), random.Side(), random.Uniform(0, 900), random.Uniform(0, 700));
        TestView follower(samePicture ? leader.view.imageW : random.Side(),
                          samePicture ? leader.view.imageH : random.Side(), random.Uniform(0, 900),
                          random.Uniform(0, 700));
        random.Scramble(leader);
        FollowView(leader.view, follower.view);
        SizeHandlerArithmetic(follower.view);
        const ViewState& view = follower.view;
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", zoom " << leader.view.zoom << ", follower "
                                        << view.imageW << " x " << view.imageH);
        ASSERT_EQ(view.zoom, std::clamp(leader.view.zoom, SmallestShowingZoom(view.imageW, view.imageH),
                                        HighestFittingZoom(view.mapLength)));
        PlainPoint leaderScaled, under;
        ClientToScaled(Centre(leader.view), leader.view, leaderScaled);
        ClampToScaled(leaderScaled, leader.view.scaledW, leader.view.scaledH);
        PlainPoint anchor;
        ScaledToImage(leaderScaled, leader.view, anchor);
        ClientToScaled(Centre(view), view, under);
        int32_t first, last;
        RunOf(view, anchor.x, view.imageW, view.scaledW, first, last);
        if (samePicture) first = last = leaderScaled.x;  // the very same scaled pixel
        ExpectAxisFollows(under.x, first, last, view.srcX, view.scaledW, view.clientRect.right);
        RunOf(view, anchor.y, view.imageH, view.scaledH, first, last);
        if (samePicture) first = last = leaderScaled.y;
        ExpectAxisFollows(under.y, first, last, view.srcY, view.scaledH, view.clientRect.bottom);
    }
}

TEST(FollowView, ZoomLimitedToWhatTheFollowerHoldsAndShows) {
    TestView leader(100, 100, 300, 300), tall(10, 10000, 300, 300);
    leader.SetZoom(300000);
    FollowView(leader.view, tall.view);
    EXPECT_EQ(tall.view.zoom, HighestFittingZoom(10001));

    TestView large(19000, 19000, 300, 300), small(50, 50, 300, 300);
    large.SetZoom(1);
    FollowView(large.view, small.view);
    EXPECT_EQ(small.view.zoom, SmallestShowingZoom(50, 50));
    EXPECT_GE(small.view.scaledW, 1u);
}

}  // namespace
