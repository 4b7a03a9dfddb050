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
    // A scroll moved the first visible column and row.
    void ScrolledTo(int64_t srcX, int64_t srcY);

    int32_t zoom() const { return zoom_; }
    int64_t srcX() const { return x_.src; }
    int64_t srcY() const { return y_.src; }
    // The scaled and source pixel under client point (cx, cy), clamped.
    int64_t ScaledAtX(int cx) const;
    int64_t ScaledAtY(int cy) const;
    int64_t ImageAtX(int cx) const;
    int64_t ImageAtY(int cy) const;

private:
    void Layout(int64_t centreX, int64_t centreY);
    int imageW_, imageH_, clientW_, clientH_;
    int32_t zoom_ = ZOOM_UNIT;
    AxisLayout x_, y_;
    int32_t lastZoom_ = 0;
    int64_t lastSrcX_ = 0, lastSrcY_ = 0, lastCursorX_ = 0, lastCursorY_ = 0;
    int64_t spanW_ = 0, spanH_ = 0, spanOffX_ = 0, spanOffY_ = 0;
};

}  // namespace e2e
