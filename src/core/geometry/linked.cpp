#include "core/geometry/linked.h"

#include "core/geometry/fit.h"
#include "core/geometry/layout.h"
#include "core/geometry/scale_maps.h"
#include "core/geometry/zoom.h"

namespace {

// In 64 bits: a shift may take the pixel past either end of 32.
int32_t ClampIntoSide(int64_t pixel, uint32_t side) {
    const int64_t last = static_cast<int64_t>(side) - 1;
    return static_cast<int32_t>(pixel > last ? last : pixel < 0 ? 0 : pixel);
}

}  // namespace

void FollowView(const ViewState& leader, ViewState& follower, PlainPoint shift) {
    const int32_t highest = HighestFittingZoom(follower.mapLength, follower.mapCapacity);
    if (highest == 0 || leader.scaledW == 0 || leader.scaledH == 0 || follower.imageW == 0 ||
        follower.imageH == 0) {
        return;  // no table to read the leader through, none to build, or no pixel to show
    }

    // The leader's anchor, found and measured on a copy. Its fraction is
    // measured afresh: a zoom is never 0, so the cleared key cannot match.
    ViewState probe = leader;
    const PlainPoint leaderCentre = ClientCentre(leader);
    FindAnchor(probe, leaderCentre);
    probe.lastZoom = 0;
    MeasureCursorFraction(probe, leaderCentre);
    if (probe.zoom < ZOOM_UNIT) {
        probe.spanW = probe.spanH = 0;  // below 100 % there is no place inside a pixel to carry
    }

    int32_t zoom = leader.zoom;
    const int32_t smallest = SmallestShowingZoom(follower.imageW, follower.imageH);
    if (zoom > highest) zoom = highest;
    if (zoom < smallest) zoom = smallest;

    // Placed on a copy that shares the follower's tables, so its own cursor
    // fields can be kept: the zoom step reuses its measurement when its key
    // still matches.
    ViewState placed = follower;
    placed.zoom = zoom;
    RebuildScaleMaps(placed);
    placed.imagePtX = ClampIntoSide(static_cast<int64_t>(probe.imagePtX) + shift.x, placed.imageW);
    placed.imagePtY = ClampIntoSide(static_cast<int64_t>(probe.imagePtY) + shift.y, placed.imageH);
    placed.spanW = probe.spanW;
    placed.spanH = probe.spanH;
    placed.spanOffX = probe.spanOffX;
    placed.spanOffY = probe.spanOffY;
    CentreOnAnchor(placed, ClientCentre(placed));
    LayoutViewAndBars(placed);

    placed.imagePtX = follower.imagePtX;
    placed.imagePtY = follower.imagePtY;
    placed.scaledPtX = follower.scaledPtX;
    placed.scaledPtY = follower.scaledPtY;
    placed.spanW = follower.spanW;
    placed.spanH = follower.spanH;
    placed.spanOffX = follower.spanOffX;
    placed.spanOffY = follower.spanOffY;
    follower = placed;
}
