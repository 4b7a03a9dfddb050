#include "view_model.h"

#include <algorithm>

namespace e2e {
namespace {

constexpr int32_t PRESETS[] = {1,     2,     3,     5,     10,    20,     30,     40,    50,
                               70,    100,   150,   200,   300,   400,    500,    625,   833,
                               1250,  1667,  2500,  3333,  5000,  6667,   10000,  20000, 30000,
                               40000, 50000, 60000, 70000, 80000, 120000, 160000, 320000};

int64_t CeilDiv(int64_t a, int64_t b) { return a <= 0 ? -((-a) / b) : (a + b - 1) / b; }

}  // namespace

int64_t ScaledLength(int64_t n, int32_t zoom) { return CeilDiv(n * zoom, ZOOM_UNIT); }

ScaleModel::ScaleModel(int imageW, int imageH, int32_t zoom) : zoom_(zoom) {
    mapLength_ = std::max(imageW, imageH) + 1;
    scaledMapLength_ = ScaledLength(mapLength_, zoom);
    large_ = std::max(mapLength_, scaledMapLength_);
    small_ = std::min(mapLength_, scaledMapLength_);
    if (zoom_ >= ZOOM_UNIT) {
        scaledW_ = Minor(imageW);
        scaledH_ = Minor(imageH);
    } else {
        scaledW_ = Major(imageW);
        scaledH_ = Major(imageH);
    }
}


int64_t ScaleModel::Major(int64_t j) const { return (2 * j + 1) * small_ / (2 * large_); }

int64_t ScaleModel::Minor(int64_t k) const {
    return CeilDiv(2 * large_ * k - small_, 2 * small_);
}

int64_t ScaleModel::ScaledToImage(int64_t s) const {
    return zoom_ >= ZOOM_UNIT ? Major(s) : Minor(s);
}

int64_t ScaleModel::ImageToScaledStart(int64_t p) const {
    return zoom_ >= ZOOM_UNIT ? Minor(p) : Major(p);
}

int64_t ScaleModel::ImageToScaledEnd(int64_t p) const { return Minor(p + 1); }

AxisLayout LayoutAxis(int64_t clientExtent, int64_t scaledExtent, int64_t barPosition) {
    AxisLayout axis;
    if (scaledExtent <= clientExtent) {
        axis.dest = (clientExtent - scaledExtent) >> 1;
        axis.src = 0;
        axis.vis = scaledExtent;
    } else {
        axis.dest = 0;
        axis.src = barPosition;
        axis.vis = clientExtent;
    }
    return axis;
}

int32_t ZoomIn(int32_t zoom, bool shift) {
    int32_t next;
    if (shift) {
        int position = 1;
        while (position < 35 && zoom >= PRESETS[position - 1]) ++position;
        next = PRESETS[position - 1];
    } else {
        next = zoom * 11 / 10;
    }
    return std::min(next, ZOOM_MAX);
}

int32_t ZoomOut(int32_t zoom, bool shift) {
    if (!shift) return zoom * 10 / 11;
    int position = 35;
    while (position > 1 && zoom <= PRESETS[position - 1]) --position;
    return PRESETS[position - 1];
}

int32_t FitZoom(int imageW, int imageH, int clientW, int clientH) {
    auto fits = [&](int32_t zoom) {
        const ScaleModel model(imageW, imageH, zoom);
        return model.scaledW() <= clientW && model.scaledH() <= clientH;
    };
    // The scaled sides only grow with the zoom.
    int32_t low = 1, high = ZOOM_MAX;
    while (low < high) {
        const int32_t middle = high - (high - low) / 2;
        if (fits(middle)) low = middle;
        else high = middle - 1;
    }
    return low;
}

void TurnPoint(int w, int h, Turn turn, int64_t& x, int64_t& y) {
    const int64_t ox = x, oy = y;
    switch (turn) {
        case Turn::Clockwise: x = h - 1 - oy; y = ox; break;
        case Turn::Anticlockwise: x = oy; y = w - 1 - ox; break;
        case Turn::Mirror: x = w - 1 - ox; break;
    }
}

Turn Undoing(Turn turn) {
    switch (turn) {
        case Turn::Clockwise: return Turn::Anticlockwise;
        case Turn::Anticlockwise: return Turn::Clockwise;
        case Turn::Mirror: break;
    }
    return Turn::Mirror;
}

std::string ZoomText(int32_t zoom) {
    const int32_t whole = zoom / 100;
    const int32_t hundredths = zoom % 100;
    std::string text = std::to_string(whole);
    if (hundredths != 0) {
        text += '.';
        if (hundredths < 10) text += '0';
        text += std::to_string(hundredths);
    }
    return text + "%";
}

}  // namespace e2e

namespace e2e {
namespace {

int64_t ClampTo(int64_t v, int64_t low, int64_t high) { return v < low ? low : v > high ? high : v; }

// The layout that puts scaled pixel `target` under client position `at`:
// along an axis that does not fit, the first visible pixel is target - at,
// as far as the picture's ends allow; an axis that fits is centred.
AxisLayout PlaceUnder(int64_t at, int64_t target, int64_t clientExtent, int64_t scaledExtent) {
    if (scaledExtent <= clientExtent) return LayoutAxis(clientExtent, scaledExtent, 0);
    return LayoutAxis(clientExtent, scaledExtent, ClampTo(target - at, 0, scaledExtent - clientExtent));
}

// Where the cursor lands inside picture pixel p at the new zoom: of the
// pixel's scaled pixels, the one whose place in it (offset / span) is nearest
// the place measured before, the earlier one of two equally near. Found by
// trying each of them (a few dozen at most at the cap), so the
// rounding is the plain meaning of "nearest", not a formula for it. Below
// 100 % a picture pixel has no place inside a scaled pixel: its own one.
int64_t NearestInPixel(const ScaleModel& scale, int64_t p, int64_t offset, int64_t span) {
    const int64_t start = scale.ImageToScaledStart(p);
    if (scale.zoom() < ZOOM_UNIT) return start;
    const int64_t newSpan = scale.ImageToScaledEnd(p) - start;
    int64_t best = 0;
    for (int64_t k = 1; k < newSpan; ++k) {
        // |k / newSpan - offset / span| against the best so far, cross-multiplied.
        const int64_t distance = k * span - offset * newSpan, bestDistance = best * span - offset * newSpan;
        if ((distance < 0 ? -distance : distance) < (bestDistance < 0 ? -bestDistance : bestDistance)) best = k;
    }
    return start + best;
}

}  // namespace

ZoomStepModel::ZoomStepModel(int imageW, int imageH, int clientW, int clientH)
    : imageW_(imageW), imageH_(imageH), clientW_(clientW), clientH_(clientH) {
    // A new view's bars start at position 0, and the first size notification
    // takes the bar positions over whatever the centre said.
    const ScaleModel model(imageW_, imageH_, zoom_);
    x_ = LayoutAxis(clientW_, model.scaledW(), 0);
    y_ = LayoutAxis(clientH_, model.scaledH(), 0);
}

void ZoomStepModel::ScrolledTo(int64_t srcX, int64_t srcY) {
    x_.src = srcX;
    y_.src = srcY;
}

int64_t ZoomStepModel::ScaledAtX(int cx) const {
    return ClampTo(cx - x_.dest + x_.src, 0, ScaleModel(imageW_, imageH_, zoom_).scaledW() - 1);
}

int64_t ZoomStepModel::ScaledAtY(int cy) const {
    return ClampTo(cy - y_.dest + y_.src, 0, ScaleModel(imageW_, imageH_, zoom_).scaledH() - 1);
}

int64_t ZoomStepModel::ImageAtX(int cx) const {
    return ScaleModel(imageW_, imageH_, zoom_).ScaledToImage(ScaledAtX(cx));
}

int64_t ZoomStepModel::ImageAtY(int cy) const {
    return ScaleModel(imageW_, imageH_, zoom_).ScaledToImage(ScaledAtY(cy));
}

void ZoomStepModel::Step(int cx, int cy, bool in, bool shift) {
    const ScaleModel before(imageW_, imageH_, zoom_);
    int32_t next = zoom_;
    if (in) next = ZoomIn(zoom_, shift);
    else if (before.scaledW() > 1 && before.scaledH() > 1) next = ZoomOut(zoom_, shift);
    ZoomTo(cx, cy, next);
}

// The picture pixel under the cursor stays under it, at the place inside it
// that the first step of a still cursor over a still view measured (a step
// below 100 % measures nothing and keeps the last measurement).
void ZoomStepModel::ZoomTo(int cx, int cy, int32_t zoom) {
    const ScaleModel before(imageW_, imageH_, zoom_);
    const int64_t sx = ScaledAtX(cx), sy = ScaledAtY(cy);
    const int64_t px = before.ScaledToImage(sx), py = before.ScaledToImage(sy);
    const bool stillSinceLastStep = zoom_ == lastZoom_ && x_.src == lastSrcX_ && y_.src == lastSrcY_ &&
                                    cx == lastCursorX_ && cy == lastCursorY_;
    if (!stillSinceLastStep && zoom_ >= ZOOM_UNIT) {
        spanW_ = before.ImageToScaledEnd(px) - before.ImageToScaledStart(px);
        spanH_ = before.ImageToScaledEnd(py) - before.ImageToScaledStart(py);
        spanOffX_ = sx - before.ImageToScaledStart(px);
        spanOffY_ = sy - before.ImageToScaledStart(py);
    }
    zoom_ = zoom;
    const ScaleModel after(imageW_, imageH_, zoom_);
    x_ = PlaceUnder(cx, NearestInPixel(after, px, spanOffX_, spanW_), clientW_, after.scaledW());
    y_ = PlaceUnder(cy, NearestInPixel(after, py, spanOffY_, spanH_), clientH_, after.scaledH());
    lastZoom_ = zoom_;
    lastSrcX_ = x_.src;
    lastSrcY_ = y_.src;
    lastCursorX_ = cx;
    lastCursorY_ = cy;
}

void ZoomStepModel::ScrollBy(int64_t dx, int64_t dy) {
    const ScaleModel model(imageW_, imageH_, zoom_);
    if (model.scaledW() > clientW_) x_.src = ClampTo(x_.src + dx, 0, model.scaledW() - clientW_);
    if (model.scaledH() > clientH_) y_.src = ClampTo(y_.src + dy, 0, model.scaledH() - clientH_);
}

void ZoomStepModel::Turned(Turn turn) {
    const ScaleModel before(imageW_, imageH_, zoom_);
    int64_t px = before.ScaledToImage(ScaledAtX(clientW_ >> 1)), py = before.ScaledToImage(ScaledAtY(clientH_ >> 1));
    TurnPoint(imageW_, imageH_, turn, px, py);
    if (turn != Turn::Mirror) std::swap(imageW_, imageH_);
    const ScaleModel after(imageW_, imageH_, zoom_);
    x_ = PlaceUnder(clientW_ >> 1, after.ImageToScaledStart(px), clientW_, after.scaledW());
    y_ = PlaceUnder(clientH_ >> 1, after.ImageToScaledStart(py), clientH_, after.scaledH());
    lastZoom_ = 0;
}

void ZoomStepModel::Follow(const ZoomStepModel& leader, int64_t shiftX, int64_t shiftY) {
    const ScaleModel theirs(leader.imageW_, leader.imageH_, leader.zoom_);
    const int64_t sx = leader.ScaledAtX(leader.clientW_ >> 1), sy = leader.ScaledAtY(leader.clientH_ >> 1);
    const int64_t px = theirs.ScaledToImage(sx), py = theirs.ScaledToImage(sy);
    zoom_ = leader.zoom_;
    const ScaleModel mine(imageW_, imageH_, zoom_);
    const int64_t fx = ClampTo(px + shiftX, 0, imageW_ - 1), fy = ClampTo(py + shiftY, 0, imageH_ - 1);
    const int64_t tx = NearestInPixel(mine, fx, sx - theirs.ImageToScaledStart(px),
                                      theirs.ImageToScaledEnd(px) - theirs.ImageToScaledStart(px));
    const int64_t ty = NearestInPixel(mine, fy, sy - theirs.ImageToScaledStart(py),
                                      theirs.ImageToScaledEnd(py) - theirs.ImageToScaledStart(py));
    x_ = PlaceUnder(clientW_ >> 1, tx, clientW_, mine.scaledW());
    y_ = PlaceUnder(clientH_ >> 1, ty, clientH_, mine.scaledH());
}

}  // namespace e2e
