// The fast copy against the plain per-pixel loop: bit for bit the same target,
// on real views at many zooms and on inputs no view would produce. Surfaces
// and tables live in exact-size heap blocks, so AddressSanitizer reports any
// read or write past them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/geometry/layout.h"
#include "core/pixels/kernel_choice.h"
#include "core/pixels/pixel_copy.h"
#include "core/geometry/scale_maps.h"
#include "view_fixture.h"
#include "core/geometry/view_state.h"
#include "core/geometry/zoom.h"

namespace {

// A bottom-up surface in a block of exactly stride x height bytes.
struct HeapSurface {
    std::vector<uint8_t> bytes;
    PixelSurface surface{};

    HeapSurface(int32_t width, int32_t height, int32_t stride, std::mt19937& random) {
        if (width > 0 && height > 0 && stride > 0) {
            bytes.resize(static_cast<size_t>(stride) * static_cast<size_t>(height));
            for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
        }
        surface = {bytes.empty() ? nullptr : bytes.data(), width, height, stride};
    }
};

// The scaled -> source entries a build wrote, in a block of exactly that many
// entries, and the scaled size read from the tables as the zoom step does.
struct ExactTable {
    std::vector<uint32_t> entries;
    uint32_t scaledW = 0;
    uint32_t scaledH = 0;
};

ExactTable BuildTable(uint32_t imageW, uint32_t imageH, int32_t zoom) {
    const ScaleMapCapacity capacity = CapacityForPicture(std::max(imageW, imageH) + 1);
    std::vector<uint32_t> major(capacity.major);
    std::vector<uint32_t> minor(capacity.minor);
    ViewState view{};
    view.mapCapacity = capacity;
    view.majorMap = major.data();
    view.minorMap = minor.data();
    view.imageW = imageW;
    view.imageH = imageH;
    view.mapLength = std::max(imageW, imageH) + 1;
    view.zoom = zoom;
    RebuildScaleMaps(view);
    const uint32_t* table = ScaledToSourceTable(view);
    ExactTable exact;
    exact.entries.assign(table, table + ScaledToSourceEntries(view));
    exact.scaledW = view.scaledW;
    exact.scaledH = view.scaledH;
    return exact;
}

std::string Describe(const PixelSurface& picture, const PixelSurface& target, const ScaledCopy& copy) {
    std::ostringstream text;
    text << "picture " << picture.width << "x" << picture.height << " stride " << picture.stride << ", target "
         << target.width << "x" << target.height << " stride " << target.stride << ", entries " << copy.tableEntries
         << ", src " << copy.srcX << "," << copy.srcY << ", vis " << copy.visW << "x" << copy.visH << ", dest "
         << copy.destX << "," << copy.destY;
    return text.str();
}

// Whether the processor runs the wide kernels, asked of the processor here
// rather than of the code under test: without AVX2 the Wide, Streaming and
// Best sets are the portable loops again, and checking them would check
// nothing new.
bool ProcessorHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

const char* KernelName(CopyKernels kernels) {
    switch (kernels) {
        case CopyKernels::Portable: return "Portable";
        case CopyKernels::Wide: return "Wide";
        case CopyKernels::Streaming: return "Streaming";
        case CopyKernels::Best: return "Best";
    }
    return "Unknown";
}

}  // namespace

// Test names and messages name the kernel set instead of its bytes.
void PrintTo(CopyKernels kernels, std::ostream* out);

namespace {

// One kernel set per test, so that a set the processor cannot run shows as
// skipped instead of passing on the portable loops.
class PixelCopyEquivalence : public testing::TestWithParam<CopyKernels> {
protected:
    void SetUp() override {
        if (GetParam() != CopyKernels::Portable && !ProcessorHasAvx2()) {
            GTEST_SKIP() << "the processor has no AVX2, so the " << KernelName(GetParam())
                         << " kernels cannot run here";
        }
    }
};

// The kernel set under test against the reference on equal starting targets;
// the whole target block is compared, so a stray write anywhere shows too.
void ExpectSameAsReference(const HeapSurface& picture, int32_t targetW, int32_t targetH, int32_t targetStride,
                           const ScaledCopy& copy, uint32_t fillColour, uint32_t seed) {
    const CopyKernels kernels = testing::TestWithParam<CopyKernels>::GetParam();
    std::mt19937 targetRandom(seed);
    HeapSurface expected(targetW, targetH, targetStride, targetRandom);
    CopyScaledViewReference(picture.surface, expected.surface, copy, fillColour);
    targetRandom.seed(seed);
    HeapSurface actual(targetW, targetH, targetStride, targetRandom);
    CopyScaledViewUsing(kernels, picture.surface, actual.surface, copy, fillColour);
    ASSERT_TRUE(actual.bytes == expected.bytes)
        << KernelName(kernels) << " kernels, " << Describe(picture.surface, actual.surface, copy);
}

int32_t Between(std::mt19937& random, int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
}

int32_t AnyZoom(std::mt19937& random) {
    switch (Between(random, 0, 3)) {
        case 0:
            return ZOOM_PRESETS[Between(random, 0, ZOOM_PRESET_COUNT - 1)];
        case 1: {
            constexpr int32_t EXTREMES[] = {1, 9090, 9999, ZOOM_UNIT, 10001, 11000, ZOOM_MAX};
            return EXTREMES[Between(random, 0, 6)];
        }
        case 2:
            return Between(random, ZOOM_UNIT, ZOOM_MAX);
        default:
            return Between(random, 1, ZOOM_UNIT);
    }
}

}  // namespace

// Views as the program lays them out, at presets, extremes and random zooms,
// scrolled anywhere; now and then the target is smaller than the client (a
// screen smaller than the window) or the picture smaller than the tables
// expect (the file changed since the view was made), or its rows padded.
TEST_P(PixelCopyEquivalence, RealViewsAtManyZoomsSizesAndScrollPositions) {
    std::mt19937 random(20240601);
    for (int trial = 0; trial < 600; ++trial) {
        const uint32_t imageW = static_cast<uint32_t>(Between(random, 1, trial % 10 == 0 ? 700 : 90));
        const uint32_t imageH = static_cast<uint32_t>(Between(random, 1, 90));
        const int32_t zoom = std::min(AnyZoom(random), HighestFittingZoom(std::max(imageW, imageH) + 1, FIXED_TABLES));
        const ExactTable table = BuildTable(imageW, imageH, zoom);
        const uint32_t scaledW = table.scaledW;
        const uint32_t scaledH = table.scaledH;
        if (scaledW == 0 || scaledH == 0) continue;  // the zoom step refuses such zooms

        const int32_t clientW = Between(random, 0, 160);
        const int32_t clientH = Between(random, 0, 120);
        const PlainRect client = {0, 0, clientW, clientH};
        ScaledCopy copy{table.entries.data(), static_cast<uint32_t>(table.entries.size()), 0, 0, 0, 0, 0, 0};
        LayoutViewport(Between(random, -50, static_cast<int32_t>(scaledW) + 50),
                       Between(random, -50, static_cast<int32_t>(scaledH) + 50), client, scaledW, scaledH,
                       copy.destX, copy.destY, copy.srcX, copy.srcY, copy.visW, copy.visH);

        const bool pictureShrank = Between(random, 0, 7) == 0;
        const int32_t pictureW = pictureShrank ? Between(random, 1, static_cast<int32_t>(imageW)) : imageW;
        const int32_t pictureH = pictureShrank ? Between(random, 1, static_cast<int32_t>(imageH)) : imageH;
        const int32_t padding = Between(random, 0, 3) == 0 ? Between(random, 1, 3) * 4 : 0;
        HeapSurface picture(pictureW, pictureH, pictureW * 4 + padding, random);

        const bool screenSmaller = Between(random, 0, 5) == 0;
        const int32_t targetW = screenSmaller ? Between(random, 1, std::max(clientW, 1)) : std::max(clientW, 1);
        const int32_t targetH = screenSmaller ? Between(random, 1, std::max(clientH, 1)) : std::max(clientH, 1);
        ExpectSameAsReference(picture, targetW, targetH, targetW * 4, copy, random(), random());
        if (HasFatalFailure()) {
            ADD_FAILURE() << "zoom " << zoom << ", image " << imageW << "x" << imageH;
            return;
        }
    }
}

// Layouts no view produces: negative destinations, visible sizes past the
// target, first rows and columns before or past the table, tables with fewer
// entries than the visible size, extreme coordinates.
TEST_P(PixelCopyEquivalence, LayoutsPastTheTargetAndTheTable) {
    std::mt19937 random(77);
    constexpr int32_t FAR = std::numeric_limits<int32_t>::max();
    for (int trial = 0; trial < 500; ++trial) {
        const uint32_t imageSide = static_cast<uint32_t>(Between(random, 1, 120));
        const int32_t zoom = std::min(AnyZoom(random), HighestFittingZoom(imageSide + 1, FIXED_TABLES));
        ExactTable table = BuildTable(imageSide, imageSide, zoom);
        const size_t kept = static_cast<size_t>(Between(random, 0, static_cast<int32_t>(table.entries.size())));
        table.entries.resize(kept);
        table.entries.shrink_to_fit();

        const int32_t pictureW = Between(random, 1, static_cast<int32_t>(imageSide));
        HeapSurface picture(pictureW, Between(random, 1, static_cast<int32_t>(imageSide)), pictureW * 4, random);
        const int32_t targetW = Between(random, 1, 90);
        const int32_t targetH = Between(random, 1, 70);
        const int32_t pastTable = static_cast<int32_t>(kept) + 5;
        ScaledCopy copy{table.entries.empty() ? nullptr : table.entries.data(), static_cast<uint32_t>(kept),
                        Between(random, -20, pastTable), Between(random, -20, pastTable),
                        Between(random, -5, 130), Between(random, -5, 100),
                        Between(random, -60, targetW + 5), Between(random, -60, targetH + 5)};
        switch (trial % 10) {
            case 0:
                copy.destX = -FAR;
                break;
            case 1:
                copy.destY = FAR - Between(random, 0, 10);
                break;
            case 2:
                copy.srcX = FAR - Between(random, 0, 10);
                break;
            case 3:
                copy.srcY = -FAR - 1;
                break;
            case 4:
                copy.tableEntries = 0;
                break;
            default:
                break;
        }
        ExpectSameAsReference(picture, targetW, targetH, targetW * 4, copy, random(), random());
        if (HasFatalFailure()) return;
    }
}

// Tables with arbitrary entries: beyond the picture, decreasing, runs that
// look enlarging but end past the picture's width, steps of 0 and 1 with one
// stray jump, all-equal. The copy may specialise only what it has checked.
TEST_P(PixelCopyEquivalence, ArbitraryTableContents) {
    std::mt19937 random(4242);
    for (int trial = 0; trial < 600; ++trial) {
        const int32_t pictureW = Between(random, 1, 80);
        const int32_t pictureH = Between(random, 1, 60);
        HeapSurface picture(pictureW, pictureH, pictureW * 4, random);
        const int32_t count = Between(random, 1, 150);
        std::vector<uint32_t> entries(static_cast<size_t>(count));
        const int32_t limit = std::max(pictureW, pictureH);
        uint32_t value = static_cast<uint32_t>(Between(random, 0, limit));
        for (uint32_t& entry : entries) {
            switch (trial % 6) {
                case 0:  // anything, much of it past the picture
                    entry = static_cast<uint32_t>(Between(random, 0, 2 * limit));
                    break;
                case 1:  // steps of 0 and 1, running past the picture's far edge
                    entry = value;
                    value += static_cast<uint32_t>(Between(random, 0, 1));
                    break;
                case 2:  // steps of 0 and 1 with rare jumps back or far ahead
                    entry = value;
                    value = Between(random, 0, 30) == 0 ? static_cast<uint32_t>(Between(random, 0, limit))
                                                        : value + static_cast<uint32_t>(Between(random, 0, 1));
                    break;
                case 3:  // decreasing
                    entry = static_cast<uint32_t>(count - (&entry - entries.data()));
                    break;
                case 4:  // all the same, sometimes huge
                    entry = trial % 12 == 4 ? 0xFFFFFFFFu : value;
                    break;
                default:  // increasing by more than one
                    entry = value;
                    value += static_cast<uint32_t>(Between(random, 1, 4));
                    break;
            }
        }
        const int32_t targetW = Between(random, 1, 100);
        const int32_t targetH = Between(random, 1, 100);
        const ScaledCopy copy{entries.data(), static_cast<uint32_t>(count), Between(random, -3, 10),
                              Between(random, -3, 10), Between(random, 0, count + 10), Between(random, 0, count + 10),
                              Between(random, -5, 10), Between(random, -5, 10)};
        ExpectSameAsReference(picture, targetW, targetH, targetW * 4, copy, random(), random());
        if (HasFatalFailure()) return;
    }
}

// Surfaces that hold fewer pixels than they claim, or none: rows shorter than
// the width (only what the stride holds is addressable), no bits, no size,
// a negative stride, rows not whole pixels apart; and no table at all.
TEST_P(PixelCopyEquivalence, SurfacesWithoutAddressablePixels) {
    std::mt19937 random(9);
    const ExactTable table = BuildTable(40, 30, 20000);
    const ScaledCopy copy{table.entries.data(), static_cast<uint32_t>(table.entries.size()), 3, 5, 70, 50, -2, 1};
    HeapSurface picture(40, 30, 40 * 4, random);
    HeapSurface narrowRows(40, 30, 17 * 4, random);  // rows hold 17 pixels
    ExpectSameAsReference(narrowRows, 60, 40, 60 * 4, copy, 1, 2);
    ExpectSameAsReference(picture, 60, 40, 23 * 4, copy, 3, 4);
    HeapSurface unevenRows(40, 30, 40 * 4 + 2, random);
    ExpectSameAsReference(unevenRows, 60, 40, 60 * 4, copy, 17, 18);
    ExpectSameAsReference(picture, 60, 40, 60 * 4 + 3, copy, 19, 20);
    ExpectSameAsReference(picture, 60, 40, 0, copy, 5, 6);

    HeapSurface none(0, 30, 0, random);
    ExpectSameAsReference(none, 60, 40, 60 * 4, copy, 7, 8);
    HeapSurface negativeStride(40, 30, 40 * 4, random);
    negativeStride.surface.stride = -40 * 4;
    ExpectSameAsReference(negativeStride, 60, 40, 60 * 4, copy, 9, 10);
    HeapSurface negativeHeight(40, 30, 40 * 4, random);
    negativeHeight.surface.height = -30;
    ExpectSameAsReference(negativeHeight, 60, 40, 60 * 4, copy, 11, 12);

    ScaledCopy noTable = copy;
    noTable.table = nullptr;
    ExpectSameAsReference(picture, 60, 40, 60 * 4, noTable, 13, 14);
    ScaledCopy noneVisible = copy;
    noneVisible.visW = -1;
    ExpectSameAsReference(picture, 60, 40, 60 * 4, noneVisible, 15, 16);
}

// The benchmark's shape in small: a wide picture at the zooms it measures,
// so every row kernel runs over long rows and blocks near the far edge.
TEST_P(PixelCopyEquivalence, WidePicturesAtTheMeasuredZooms) {
    std::mt19937 random(31);
    for (int32_t zoom : {3333, 5000, 9090, 10000, 11000, 20000, 80000, 320000}) {
        const uint32_t imageW = 403;
        const uint32_t imageH = 61;
        const ExactTable table = BuildTable(imageW, imageH, zoom);
        const uint32_t scaledW = table.scaledW;
        const uint32_t scaledH = table.scaledH;
        for (int32_t centreX : {0, static_cast<int32_t>(scaledW / 2), static_cast<int32_t>(scaledW)}) {
            const PlainRect client = {0, 0, 333, 47};
            ScaledCopy copy{table.entries.data(), static_cast<uint32_t>(table.entries.size()), 0, 0, 0, 0, 0, 0};
            LayoutViewport(centreX, static_cast<int32_t>(scaledH / 2), client, scaledW, scaledH, copy.destX,
                           copy.destY, copy.srcX, copy.srcY, copy.visW, copy.visH);
            HeapSurface picture(static_cast<int32_t>(imageW), static_cast<int32_t>(imageH),
                                static_cast<int32_t>(imageW) * 4, random);
            ExpectSameAsReference(picture, 333, 47, 333 * 4, copy, 0x5B5B5B, random());
            if (HasFatalFailure()) {
                ADD_FAILURE() << "zoom " << zoom << ", centre " << centreX;
                return;
            }
        }
    }
}

void PrintTo(CopyKernels kernels, std::ostream* out) { *out << KernelName(kernels); }

INSTANTIATE_TEST_SUITE_P(Kernels, PixelCopyEquivalence,
                         testing::Values(CopyKernels::Portable, CopyKernels::Wide, CopyKernels::Streaming,
                                         CopyKernels::Best),
                         [](const testing::TestParamInfo<CopyKernels>& kernels) { return KernelName(kernels.param); });

namespace {

// The choice between kernels, on made-up times: every kernel is tried first,
// then the fastest runs, others now and then, and a change of speeds is
// followed. A run right after another kernel's is not what its runs in a
// row cost and must not count (here it reports a misleadingly short time).
TEST(KernelChoiceTest, TriesEachThenKeepsTheFastestAndNoticesChange) {
    KernelChoice choice;
    double speeds[3] = {2.0, 1.0, 3.0};  // per unit; kernel 1 is fastest
    int32_t runs[3] = {};
    int32_t last = -1;
    auto run = [&](int32_t count) {
        for (int32_t k = 0; k < count; ++k) {
            const int32_t kernel = choice.Next(3);
            ASSERT_GE(kernel, 0);
            ASSERT_LT(kernel, 3);
            ++runs[kernel];
            choice.Record(kernel, kernel == last ? speeds[kernel] : 0.01);
            last = kernel;
        }
    };
    // First tries in turns, each a run not counted and one counted.
    const int32_t firstRuns = KernelChoice::FIRST_TRIES * KernelChoice::RUNS_PER_TRY;
    run(3 * firstRuns);
    for (int32_t runsOf : runs) EXPECT_EQ(runsOf, firstRuns);
    const int32_t rounds = 20;
    run(rounds * KernelChoice::REVISIT_EVERY);
    EXPECT_GE(runs[1], firstRuns + rounds * (KernelChoice::REVISIT_EVERY - KernelChoice::RUNS_PER_TRY) - 2);
    EXPECT_GE(runs[0], firstRuns + rounds / 2 * KernelChoice::RUNS_PER_TRY - 2);  // tried in turn
    EXPECT_GE(runs[2], firstRuns + rounds / 2 * KernelChoice::RUNS_PER_TRY - 2);
    // Kernel 2 becomes the fastest: taken at its next try.
    speeds[2] = 0.5;
    run(3 * KernelChoice::REVISIT_EVERY);
    const int32_t before = runs[2];
    run(KernelChoice::REVISIT_EVERY);
    EXPECT_GE(runs[2] - before, KernelChoice::REVISIT_EVERY - KernelChoice::RUNS_PER_TRY);
    // With two kernels available the third is never chosen; with one, the first.
    for (int32_t k = 0; k < 200; ++k) EXPECT_LT(choice.Next(2), 2);
    EXPECT_EQ(choice.Next(1), 0);
}

}  // namespace
