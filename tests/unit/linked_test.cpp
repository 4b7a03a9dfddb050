// Linked views: the follower's zoom and the picture point at its client centre.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <random>

#include "core/geometry/fit.h"
#include "core/geometry/linked.h"
#include "view_fixture.h"

namespace {

std::mt19937 random(41);
int32_t Uniform(int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); }
uint32_t Side() { return static_cast<uint32_t>(Uniform(1, 1 << Uniform(0, 11))); }
PlainPoint Centre(const ViewState& view) { return {view.clientRect.right >> 1, view.clientRect.bottom >> 1}; }

// The follower's scaled pixel under its centre lies in the run of the leader's
// centre pixel (clamped into its picture, and below 100 % into the shown
// pixels), or past it on the side where the follower met an edge; with the
// same picture it is the leader's very scaled pixel.
void ExpectAxisFollows(const ViewState& view, bool samePicture, int32_t leaderScaled, int32_t pixel, uint32_t side,
                       int32_t under, int32_t src, uint32_t scaled, int32_t client) {
    if (!NeedsScrollBar(scaled, client)) return;  // centred whatever the anchor
    pixel = std::min(pixel, static_cast<int32_t>(side) - 1);
    const int32_t lastShown = static_cast<int32_t>(scaled) - 1;
    const uint32_t* sourceToScaled = view.zoom >= ZOOM_UNIT ? view.minorMap : view.majorMap;
    int32_t first = std::min(static_cast<int32_t>(sourceToScaled[pixel]), lastShown);
    int32_t last = view.zoom >= ZOOM_UNIT ? static_cast<int32_t>(sourceToScaled[pixel + 1]) - 1 : first;
    if (samePicture) first = last = leaderScaled;
    EXPECT_TRUE(src == 0 || under <= last) << under << " past " << last;
    EXPECT_TRUE(src == lastShown + 1 - client || under >= first) << under << " before " << first;
}

TEST(FollowView, FollowerShowsTheLeadersCentrePixelAtItsCentre) {
    for (int trial = 0; trial < 900; ++trial) {
        const int kind = trial % 3;  // the same picture and client, the same picture, another picture
        TestView leader(Side(), Side(), Uniform(kind == 0 ? 1 : 0, 900), Uniform(kind == 0 ? 1 : 0, 700));
        ViewState& lead = leader.view;
        TestView follower(kind < 2 ? lead.imageW : Side(), kind < 2 ? lead.imageH : Side(),
                          kind == 0 ? lead.clientRect.right : Uniform(0, 900),
                          kind == 0 ? lead.clientRect.bottom : Uniform(0, 700));
        ViewState& view = follower.view;
        const int32_t highest = std::min(HighestFittingZoom(lead.mapLength, lead.mapCapacity), 60000);
        leader.SetZoom(Uniform(0, 1) ? Uniform(SmallestShowingZoom(lead.imageW, lead.imageH), ZOOM_UNIT)
                                     : Uniform(ZOOM_UNIT, highest));
        lead.hScroll.nPos = Uniform(0, static_cast<int32_t>(lead.scaledW));
        lead.vScroll.nPos = Uniform(0, static_cast<int32_t>(lead.scaledH));
        SizeHandlerArithmetic(lead);
        // A matching key over a stale measurement on the leader: the place is measured afresh.
        lead.lastZoom = lead.zoom;
        lead.lastSrcX = lead.srcX;
        lead.lastSrcY = lead.srcY;
        lead.lastCursorX = Centre(lead).x;
        lead.lastCursorY = Centre(lead).y;
        lead.spanW = lead.spanH = lead.spanOffX = lead.spanOffY = 999;
        view.lastZoom = view.spanOffX = 7;
        const ViewState before = lead;
        FollowView(lead, view);
        SizeHandlerArithmetic(view);  // the window's re-layout keeps the place
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", zoom " << lead.zoom);
        ASSERT_EQ(std::memcmp(&before, &lead, sizeof before), 0);
        ASSERT_EQ(view.lastZoom + view.spanOffX, 14);
        ASSERT_EQ(view.zoom, std::clamp(lead.zoom, SmallestShowingZoom(view.imageW, view.imageH),
                                        HighestFittingZoom(view.mapLength, view.mapCapacity)));
        if (kind == 0) {
            ASSERT_EQ(view.srcX, lead.srcX);
            ASSERT_EQ(view.srcY, lead.srcY);
        }
        PlainPoint scaled, anchor, under;
        ClientToScaled(Centre(lead), lead, scaled);
        ClampToScaled(scaled, lead.scaledW, lead.scaledH);
        ScaledToImage(scaled, lead, anchor);
        ClientToScaled(Centre(view), view, under);
        ExpectAxisFollows(view, kind < 2, scaled.x, anchor.x, view.imageW, under.x, view.srcX, view.scaledW,
                          view.clientRect.right);
        ExpectAxisFollows(view, kind < 2, scaled.y, anchor.y, view.imageH, under.y, view.srcY, view.scaledH,
                          view.clientRect.bottom);
    }
    // Zooms the follower cannot take: where its sides would vanish, and past what its tables hold.
    TestView large(19000, 19000, 300, 300), near(100, 100, 300, 300), tall(10, 10000, 300, 300, FIXED_TABLES), small(50, 50, 300, 300);
    large.SetZoom(1);
    FollowView(large.view, small.view);
    EXPECT_EQ(small.view.zoom, SmallestShowingZoom(50, 50));
    near.SetZoom(ZOOM_MAX);
    FollowView(near.view, tall.view);
    EXPECT_EQ(tall.view.zoom, HighestFittingZoom(10001, FIXED_TABLES));
}

// With a shift the follower centres the leader's centre pixel moved by it,
// clamped into its picture on every side (far shifts included).
TEST(FollowView, ShiftMovesThePointAndClampsItIntoThePicture) {
    const PlainPoint shifts[] = {{3, -2}, {-7, 11}, {INT32_MIN, INT32_MAX}};
    for (const PlainPoint& shift : shifts) {
        TestView leader(1000, 800, 300, 200), follower(900, 700, 250, 220);
        leader.SetZoom(3 * ZOOM_UNIT);
        leader.view.hScroll.nPos = 1000;  // away from the edges, so that nothing clamps the centre
        leader.view.vScroll.nPos = 900;
        SizeHandlerArithmetic(leader.view);
        FollowView(leader.view, follower.view, shift);
        SizeHandlerArithmetic(follower.view);
        PlainPoint scaled, anchor, under, shown;
        ClientToScaled(Centre(leader.view), leader.view, scaled);
        ScaledToImage(scaled, leader.view, anchor);
        ClientToScaled(Centre(follower.view), follower.view, under);
        ScaledToImage(under, follower.view, shown);
        if (shift.x == INT32_MIN) {
            EXPECT_EQ(follower.view.srcX, 0);
            EXPECT_EQ(follower.view.srcY + follower.view.clientRect.bottom, static_cast<int32_t>(follower.view.scaledH));
        } else {
            EXPECT_EQ(shown.x, anchor.x + shift.x);
            EXPECT_EQ(shown.y, anchor.y + shift.y);
        }
    }
}

}  // namespace
