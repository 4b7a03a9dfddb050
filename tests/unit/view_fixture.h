// A document view as the window code builds it, without the window: the
// tables live in exact-capacity heap blocks, so AddressSanitizer reports any
// access past their capacity.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/geometry/layout.h"
#include "core/geometry/scale_maps.h"
#include "core/geometry/scrolling.h"
#include "core/geometry/view_state.h"
#include "core/geometry/zoom.h"

// Tables smaller than a picture needs at the zoom cap, as every view once had:
// the zoom then stops at the highest value they hold.
constexpr ScaleMapCapacity FIXED_TABLES = {200000, 20000};

struct TestView {
    std::vector<uint32_t> major;
    std::vector<uint32_t> minor;
    ViewState view{};

    // Creation: 100 %, centred on the picture's middle, laid out once; the
    // tables sized for the picture as the window sizes them, unless given.
    TestView(uint32_t imageW, uint32_t imageH, int32_t clientW, int32_t clientH)
        : TestView(imageW, imageH, clientW, clientH, CapacityForPicture(std::max(imageW, imageH) + 1)) {}
    TestView(uint32_t imageW, uint32_t imageH, int32_t clientW, int32_t clientH, ScaleMapCapacity capacity)
        : major(capacity.major), minor(capacity.minor) {
        view.mapCapacity = capacity;
        view.clientRect = {0, 0, clientW, clientH};
        view.majorMap = major.data();
        view.minorMap = minor.data();
        view.imageW = imageW;
        view.imageH = imageH;
        view.mapLength = std::max(imageW, imageH) + 1;
        view.zoom = ZOOM_UNIT;
        RebuildScaleMaps(view);
        view.centreX = static_cast<int32_t>(imageW / 2);
        view.centreY = static_cast<int32_t>(imageH / 2);
        LayoutView(view);
    }
    TestView(const TestView&) = delete;
    TestView& operator=(const TestView&) = delete;

    // Jumps straight to a zoom, as if steps had led there.
    void SetZoom(int32_t zoom) {
        view.zoom = zoom;
        RebuildScaleMaps(view);
        LayoutView(view);
    }
};

// What the window's size handler computes after reading the client area: the
// layout, then per axis the bar decision and the position the platform
// clamps into the bar's range, which becomes the first column or row.
inline void SizeHandlerArithmetic(ViewState& view) {
    LayoutView(view);
    PlainSize client;
    RectSize(view.clientRect, client);
    struct Axis {
        uint32_t scaled;
        int32_t clientExtent;
        int32_t& shown;
        PlainScrollInfo& bar;
        int32_t& src;
    };
    Axis axes[2] = {{view.scaledW, client.w, view.hBarShown, view.hScroll, view.srcX},
                    {view.scaledH, client.h, view.vBarShown, view.vScroll, view.srcY}};
    for (Axis& axis : axes) {
        axis.shown = NeedsScrollBar(axis.scaled, axis.clientExtent) ? 1 : 0;
        if (!axis.shown) {
            axis.bar.nPos = 0;
            continue;
        }
        axis.bar.nMax = static_cast<int32_t>(axis.scaled) - 1;
        axis.bar.nPage = static_cast<uint32_t>(axis.clientExtent);
        axis.bar.nPos = ClampScrollPosition(axis.bar);
        axis.src = axis.bar.nPos;
    }
}
