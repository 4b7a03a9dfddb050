// What a document window should show, computed independently of the program
// from the closed forms of its scale tables and its layout rules: the scaled
// size at a zoom, which source pixel a scaled pixel shows, where a centred
// picture lands, and the zoom arithmetic of the wheel.
#pragma once

#include <cstdint>
#include <string>

namespace e2e {

constexpr int32_t ZOOM_UNIT = 10000;
constexpr int32_t ZOOM_MAX = 320000;
constexpr int32_t MAX_PICTURE_SIDE = 65535;  // the longest side the program takes

class ScaleModel {
public:
    ScaleModel(int imageW, int imageH, int32_t zoom);

    int32_t zoom() const { return zoom_; }
    int64_t scaledW() const { return scaledW_; }
    int64_t scaledH() const { return scaledH_; }
    int64_t mapLength() const { return mapLength_; }
    int64_t scaledMapLength() const { return scaledMapLength_; }

    // The source pixel shown at scaled position s (0 <= s < scaled size).
    int64_t ScaledToImage(int64_t s) const;
    // First scaled position of source pixel p, and the first one after it
    // (zoom >= 100 %); below 100 % Start is the scaled pixel that shows p.
    int64_t ImageToScaledStart(int64_t p) const;
    int64_t ImageToScaledEnd(int64_t p) const;

private:
    // majorMap[j] = floor((2j + 1) small / (2 large)); minorMap[k] = ceil((2 large k - small) / (2 small)).
    int64_t Major(int64_t j) const;
    int64_t Minor(int64_t k) const;
    int32_t zoom_;
    int64_t mapLength_;
    int64_t scaledMapLength_;
    int64_t large_;
    int64_t small_;
    int64_t scaledW_;
    int64_t scaledH_;
};

int64_t ScaledLength(int64_t n, int32_t zoom);

// One axis of the layout: where the visible part of the scaled picture lands.
struct AxisLayout {
    int64_t dest = 0;
    int64_t src = 0;
    int64_t vis = 0;
};

// An axis that fits is centred (the odd pixel of the margin on the right or
// bottom); an axis with a scroll bar shows from the bar position.
AxisLayout LayoutAxis(int64_t clientExtent, int64_t scaledExtent, int64_t barPosition);

// The wheel's zoom arithmetic.
int32_t ZoomIn(int32_t zoom, bool shift);
int32_t ZoomOut(int32_t zoom, bool shift);
std::string ZoomText(int32_t zoom);

// Fit: the largest zoom up to the cap at which both scaled sides fit the
// client area, so that no scroll bar shows.
int32_t FitZoom(int imageW, int imageH, int clientW, int clientH);

// The scroll requests: a line, and a page that keeps a little of the old one.
constexpr int64_t LINE_STEP = 16;
constexpr int64_t PAGE_OVERLAP = 4;

// Turning a picture (R, L) or mirroring it (H): where pixel (x, y) of a
// w x h picture goes, and the turn that undoes one.
enum class Turn { Clockwise, Anticlockwise, Mirror };
void TurnPoint(int w, int h, Turn turn, int64_t& x, int64_t& y);
Turn Undoing(Turn turn);

}  // namespace e2e

namespace e2e {

// The zoom step about the cursor, for a view whose client size stays the same
// (the picture larger than the client on both axes, or fitting on both, so no
// scroll bar comes or goes): predicts zoom and first visible column and row.
class ZoomStepModel {
public:
    ZoomStepModel(int imageW, int imageH, int clientW, int clientH);

    // One notch with the cursor at client (cx, cy).
    void Step(int cx, int cy, bool in, bool shift);
    // The same about (cx, cy) to a given zoom (100 % and fit).
    void ZoomTo(int cx, int cy, int32_t zoom);
    // A scroll moved the first visible column and row.
    void ScrolledTo(int64_t srcX, int64_t srcY);
    // Scroll requests by dx and dy, each clamped to its bar's range; an
    // axis that fits has no bar and does not move.
    void ScrollBy(int64_t dx, int64_t dy);
    // The picture turned under the view: same zoom, the turned place of the
    // picture pixel at the client centre under the centre (its first scaled
    // pixel: the sides of a pixel may swap, so no place inside it is carried).
    void Turned(Turn turn);
    // Linked views: the leader's zoom, and the picture point under the
    // leader's client centre (clamped into this picture) under this client's
    // centre. The anchor key of this view's own steps is left alone. With a
    // shift (pictures placed against each other), the leader's picture point
    // moved by it, clamped into this picture on every side.
    void Follow(const ZoomStepModel& leader, int64_t shiftX = 0, int64_t shiftY = 0);

    int32_t zoom() const { return zoom_; }
    int64_t srcX() const { return x_.src; }
    int64_t srcY() const { return y_.src; }
    // The scaled and source pixel under client point (cx, cy), clamped.
    int64_t ScaledAtX(int cx) const;
    int64_t ScaledAtY(int cy) const;
    int64_t ImageAtX(int cx) const;
    int64_t ImageAtY(int cy) const;
    int clientW() const { return clientW_; }
    int clientH() const { return clientH_; }

private:
    int imageW_, imageH_, clientW_, clientH_;
    int32_t zoom_ = ZOOM_UNIT;
    AxisLayout x_, y_;
    int32_t lastZoom_ = 0;
    int64_t lastSrcX_ = 0, lastSrcY_ = 0, lastCursorX_ = 0, lastCursorY_ = 0;
    int64_t spanW_ = 0, spanH_ = 0, spanOffX_ = 0, spanOffY_ = 0;
};

}  // namespace e2e
