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

// What the window's size handler does after reading the client area: the
// layout, then per axis the bar and the first column or row. The platform's
// part is written here as the platform states it, not through the core's
// routines for it (NeedsScrollBar and ClampScrollPosition have hand-computed
// cases of their own), so a wrong rule there cannot hide a wrong view here: a
// bar shows exactly when the scaled picture is longer than the client, and a
// position handed to it ends up in [0, scaled - max(client, 1)] (the range
// less the page, and a page of 0 counted as 1).
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
        const int64_t scaled = axis.scaled;
        axis.shown = scaled > axis.clientExtent ? 1 : 0;
        if (!axis.shown) {
            axis.bar.nPos = 0;
            continue;
        }
        axis.bar.nMax = static_cast<int32_t>(scaled - 1);
        axis.bar.nPage = static_cast<uint32_t>(axis.clientExtent);
        const int64_t last = scaled - std::max(axis.clientExtent, 1);
        axis.bar.nPos = static_cast<int32_t>(std::clamp<int64_t>(axis.bar.nPos, 0, last));
        axis.src = axis.bar.nPos;
    }
}
