// Linked views: a zoom step, a scroll or a key command in one window is
// repeated in every other linked window, at the same zoom and with the same
// picture pixel under the client centre.
#pragma once

#include "core/geometry/view_state.h"

// Puts `follower` at the leader's zoom (rebuilding its tables; limited to what
// its tables hold, HighestFittingZoom, and raised to SmallestShowingZoom so
// that neither of its sides vanishes) and sets its centre so that the picture
// point under the leader's client centre - the picture pixel and, from 100 %
// up, the place inside that pixel, as the zoom step carries it - lies under the
// follower's client centre; the pixel is clamped into the follower's picture.
// Then lays the follower out and hands its first column and row to its scroll
// records (hScroll.nPos / vScroll.nPos), as FinishZoomStep does, without
// touching its anchor key (lastZoom...) or its cursor fields (imagePt,
// scaledPt, the measured fraction). The leader is not changed. A follower
// whose tables hold no zoom, or whose picture has an empty side, is left as
// it is.
// With a shift, the follower's centre shows the picture point the leader's
// centre shows moved by shift (pictures placed against each other); the
// pixel is then clamped into the follower's picture on every side.
void FollowView(const ViewState& leader, ViewState& follower, PlainPoint shift = {0, 0});
