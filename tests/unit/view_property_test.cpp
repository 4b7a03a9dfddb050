// A view driven through long random sequences of resizes, zoom steps, cursor
// moves and scroll requests, as the window procedure would drive it, with
// the view's invariants checked after every step.
//
// KIV_PROPERTY_STEPS raises the number of steps (never below the default, so
// the coverage guards at the end always hold), KIV_PROPERTY_SEED sets the seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include <sanitizer/asan_interface.h>

#include "view_fixture.h"

namespace {

constexpr int64_t DEFAULT_STEPS = 100000;
constexpr uint32_t DEFAULT_SEED = 20240607;
constexpr uint32_t LONGEST_RANDOM_SIDE = 19998;

int64_t EnvironmentNumber(const char* name, int64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoll(text, nullptr, 10) : fallback;
}

// The entries past what the last build wrote are poisoned, so any read of
// them by the core (or by these checks) is reported by AddressSanitizer.
// A build itself writes further, so the poison comes off around each step
// that builds and goes back on for the new extents.
void PoisonUnwritten(TestView& picture) {
    const ViewState& view = picture.view;
    const uint32_t large = std::max(view.mapLength, view.scaledMapLength);
    const uint32_t small = std::min(view.mapLength, view.scaledMapLength);
    ASAN_POISON_MEMORY_REGION(picture.major.data() + large, (view.mapCapacity.major - large) * sizeof(uint32_t));
    ASAN_POISON_MEMORY_REGION(picture.minor.data() + small + 1,
                              (view.mapCapacity.minor - small - 1) * sizeof(uint32_t));
}

void UnpoisonTables(TestView& picture) {
    ASAN_UNPOISON_MEMORY_REGION(picture.major.data(), picture.major.size() * sizeof(uint32_t));
    ASAN_UNPOISON_MEMORY_REGION(picture.minor.data(), picture.minor.size() * sizeof(uint32_t));
}

// The view under test; its tables are unpoisoned before they are freed.
struct PoisonedView {
    std::unique_ptr<TestView> picture;
    void Replace(std::unique_ptr<TestView> next) {
        if (picture) UnpoisonTables(*picture);
        picture = std::move(next);
        SizeHandlerArithmetic(picture->view);
        PoisonUnwritten(*picture);
    }
    ~PoisonedView() {
        if (picture) UnpoisonTables(*picture);
    }
};

void CheckAxis(const char* axis, int32_t dest, int32_t src, int32_t visible, uint32_t scaled,
               int32_t clientExtent, int32_t barShown, const PlainScrollInfo& bar) {
    SCOPED_TRACE(axis);
    const int64_t scaledExtent = scaled;
    ASSERT_GE(src, 0);
    ASSERT_LE(int64_t{src} + visible, scaledExtent);
    ASSERT_GE(dest, 0);
    ASSERT_GE(visible, 0);
    ASSERT_LE(int64_t{dest} + visible, clientExtent);
    // Either the picture overflows the client, or it fits and is shown whole.
    ASSERT_TRUE((dest == 0 && visible == clientExtent) || (src == 0 && visible == int64_t{scaled}));
    ASSERT_EQ(bar.nMin, 0);
    if (barShown) {
        ASSERT_GT(scaledExtent, clientExtent);
        ASSERT_EQ(bar.nPos, src);
        ASSERT_LE(src, scaledExtent - clientExtent);
    } else {
        ASSERT_LE(scaledExtent, clientExtent);
        ASSERT_EQ(bar.nPos, 0);
        ASSERT_EQ(src, 0);
    }
}

void CheckView(const ViewState& view) {
    PlainSize client;
    RectSize(view.clientRect, client);
    ASSERT_EQ(view.clientRect.left, 0);
    ASSERT_EQ(view.clientRect.top, 0);
    const int32_t highest = HighestFittingZoom(view.mapLength, view.mapCapacity);
    ASSERT_GE(view.zoom, 1);
    ASSERT_LE(view.zoom, std::min(ZOOM_MAX, highest));
    ASSERT_EQ(view.scaledMapLength, ScaledLength(view.mapLength, view.zoom));
    ASSERT_TRUE(ScaleMapsFit(view.mapLength, view.scaledMapLength, view.mapCapacity));
    ASSERT_GE(view.scaledW, 1u);
    ASSERT_GE(view.scaledH, 1u);
    // The scaled size is read at index imageW / imageH of the source -> scaled table.
    const uint32_t* sourceToScaled = view.zoom >= ZOOM_UNIT ? view.minorMap : view.majorMap;
    ASSERT_EQ(view.scaledW, sourceToScaled[view.imageW]);
    ASSERT_EQ(view.scaledH, sourceToScaled[view.imageH]);
    CheckAxis("x", view.destX, view.srcX, view.visW, view.scaledW, client.w, view.hBarShown, view.hScroll);
    CheckAxis("y", view.destY, view.srcY, view.visH, view.scaledH, client.h, view.vBarShown, view.vScroll);

    // What painting reads: the table over the visible columns and rows, and
    // the picture at the positions it names.
    const uint32_t entries = ScaledToSourceEntries(view);
    ASSERT_LE(int64_t{view.srcX} + view.visW, int64_t{entries});
    ASSERT_LE(int64_t{view.srcY} + view.visH, int64_t{entries});
    if (view.visW > 0 && view.visH > 0) {
        for (const PlainPoint corner : {PlainPoint{view.srcX, view.srcY},
                                        PlainPoint{view.srcX + view.visW - 1, view.srcY + view.visH - 1}}) {
            PlainPoint image;
            ScaledToImage(corner, view, image);
            ASSERT_GE(image.x, 0);
            ASSERT_GE(image.y, 0);
            ASSERT_LT(image.x, static_cast<int32_t>(view.imageW));
            ASSERT_LT(image.y, static_cast<int32_t>(view.imageH));
        }
    }
}

// The cursor readout: the clamped scaled point and the picture pixel there.
void CheckReadout(ViewState& view, const PlainPoint& cursor) {
    FindAnchor(view, cursor);
    ASSERT_GE(view.scaledPtX, 0);
    ASSERT_GE(view.scaledPtY, 0);
    ASSERT_LT(view.scaledPtX, static_cast<int32_t>(view.scaledW));
    ASSERT_LT(view.scaledPtY, static_cast<int32_t>(view.scaledH));
    ASSERT_GE(view.imagePtX, 0);
    ASSERT_GE(view.imagePtY, 0);
    ASSERT_LT(view.imagePtX, static_cast<int32_t>(view.imageW));
    ASSERT_LT(view.imagePtY, static_cast<int32_t>(view.imageH));
}

class RandomDriver {
public:
    explicit RandomDriver(uint32_t seed) : random_(seed) {}

    int32_t Uniform(int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random_);
    }
    bool Chance(double probability) { return std::bernoulli_distribution(probability)(random_); }

    // Log-uniform, so small and large pictures both come up often.
    uint32_t LongerSide() {
        const double top = std::log(static_cast<double>(LONGEST_RANDOM_SIDE));
        return std::max<uint32_t>(1, static_cast<uint32_t>(std::exp(
                                         std::uniform_real_distribution<double>(0.0, top)(random_))));
    }

    int32_t ClientExtent() {
        switch (Uniform(0, 9)) {
            case 0: return 0;
            case 1: return Uniform(1, 8);
            case 2: return Uniform(100000, 2000000);  // larger than any scaled picture
            default: return Uniform(1, 2500);
        }
    }

    PlainPoint Cursor(const ViewState& view) {
        PlainSize client;
        RectSize(view.clientRect, client);
        if (Chance(0.8)) {
            return {Uniform(0, std::max(client.w - 1, 0)), Uniform(0, std::max(client.h - 1, 0))};
        }
        // Far outside, on any side.
        return {Uniform(-3000000, client.w + 3000000), Uniform(-3000000, client.h + 3000000)};
    }

private:
    std::mt19937 random_;
};

TEST(ViewProperty, RandomSequencesKeepTheViewConsistent) {
    const int64_t steps = std::max(EnvironmentNumber("KIV_PROPERTY_STEPS", DEFAULT_STEPS), DEFAULT_STEPS);
    const uint32_t seed = static_cast<uint32_t>(EnvironmentNumber("KIV_PROPERTY_SEED", DEFAULT_SEED));
    RandomDriver driver(seed);
    PoisonedView current;
    PlainPoint cursor = {0, 0};
    int64_t sequenceEnd = 0;
    double inwardChance = 0.5;
    int64_t zoomSteps = 0, barsShown = 0, capped = 0;

    for (int64_t step = 0; step < steps; ++step) {
        if (step == sequenceEnd) {
            // A new window over a new picture, with its own tables.
            const uint32_t longer = driver.LongerSide();
            const uint32_t shorter = static_cast<uint32_t>(driver.Uniform(1, static_cast<int32_t>(longer)));
            const bool wide = driver.Chance(0.5);
            const uint32_t imageW = wide ? longer : shorter, imageH = wide ? shorter : longer;
            // Mostly tables sized for the picture; some smaller, which stop the zoom below the cap.
            const ScaleMapCapacity capacity =
                driver.Chance(0.25) ? FIXED_TABLES : CapacityForPicture(longer + 1);
            current.Replace(std::make_unique<TestView>(imageW, imageH, driver.ClientExtent(),
                                                       driver.ClientExtent(), capacity));
            sequenceEnd = step + driver.Uniform(20, 1000);
            inwardChance = driver.Uniform(30, 80) / 100.0;  // some windows drift in, some out
        }
        TestView& picture = *current.picture;
        ViewState& view = picture.view;
        PlainSize client;
        RectSize(view.clientRect, client);

        const int32_t action = driver.Uniform(0, 9);
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", step " << step << ", action " << action
                                        << ", picture " << view.imageW << " x " << view.imageH << ", client "
                                        << client.w << " x " << client.h << ", zoom " << view.zoom);
        if (action <= 1) {
            view.clientRect = {0, 0, driver.ClientExtent(), driver.ClientExtent()};
            SizeHandlerArithmetic(view);
        } else if (action <= 5) {
            if (driver.Chance(0.3)) cursor = driver.Cursor(view);
            const bool zoomIn = driver.Chance(inwardChance);
            const bool usePresets = driver.Chance(0.3);
            // The reads before the rebuild, checked against the old extents.
            ViewState probe = view;
            FindAnchor(probe, cursor);
            MeasureCursorFraction(probe, cursor);
            UnpoisonTables(picture);
            ZoomStep(view, cursor, zoomIn, usePresets);
            PoisonUnwritten(picture);
            // The reads after the rebuild, checked against the new extents.
            probe = view;
            CentreOnAnchor(probe, cursor);
            SizeHandlerArithmetic(view);  // the re-layout request
            ++zoomSteps;
            if (view.zoom == std::min(ZOOM_MAX, HighestFittingZoom(view.mapLength, view.mapCapacity))) ++capped;
        } else if (action <= 7) {
            cursor = driver.Cursor(view);
            ASSERT_NO_FATAL_FAILURE(CheckReadout(view, cursor));
        } else {
            const bool horizontal = driver.Chance(0.5);
            PlainScrollInfo& bar = horizontal ? view.hScroll : view.vScroll;
            const int32_t code = driver.Uniform(-1, 9);
            bar.nTrackPos = driver.Uniform(-100, std::max(bar.nMax, 0) + 100);
            bar.nPos = ScrollRequestPosition(code, bar, horizontal ? client.w : client.h);
            SizeHandlerArithmetic(view);
        }
        ASSERT_NO_FATAL_FAILURE(CheckView(view));
        barsShown += view.hBarShown + view.vBarShown;
    }
    // The sequences must have gone where the faults would be.
    EXPECT_GT(zoomSteps, steps / 3);
    EXPECT_GT(barsShown, steps / 4);
    EXPECT_GT(capped, steps / 100);
}

}  // namespace
