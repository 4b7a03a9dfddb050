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

bool ScaleModel::Fits() const { return large_ <= MAJOR_CAPACITY && small_ < MINOR_CAPACITY; }

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
