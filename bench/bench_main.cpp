// Rendering speed: the table-driven copy of the visible part of a 4000 x 3000
// picture into a full-HD and a 4K client at several zooms, against the limit
// (memcpy of the same bytes, row by row), the plain per-pixel loop and, in the
// native build, pixman's nearest-neighbour scaling. Then the cost of one
// table build and one zoom step, and whether a zoom step allocates. Last the
// difference pass of the compare view (compare_bench.cpp).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "allocation_count.h"
#include "bench_timing.h"
#include "compare_bench.h"
#include "core/geometry/layout.h"
#include "core/pixels/kernel_choice.h"
#include "core/pixels/pixel_copy.h"
#include "core/geometry/scale_maps.h"
#include "core/geometry/view_state.h"
#include "core/geometry/zoom.h"

#if defined(KIV_BENCH_PIXMAN)
#include "pixman_baseline.h"
#endif

namespace {

constexpr int32_t PICTURE_W = 4000;
constexpr int32_t PICTURE_H = 3000;
constexpr int32_t BENCH_ZOOMS[] = {3333, 5000, 9090, 10000, 11000, 20000, 80000, 320000};

struct ClientSize {
    int32_t w;
    int32_t h;
};
constexpr ClientSize CLIENT_SIZES[] = {{1920, 1080}, {3840, 2160}};

// Targets, as ratios of frame times.
constexpr double MEMCPY_RATIO_AT_100_AND_FROM_400 = 1.5;
constexpr double MEMCPY_RATIO_AT_110_AND_200 = 3.0;
constexpr double SPEEDUP_FROM_100 = 2.0;
constexpr double SPEEDUP_BELOW_100 = 1.3;
// Never slower than its own portable builders (timed in turns with them);
// 5 % for what the machine's load does to one best-of.
constexpr double PORTABLE_RATIO_LIMIT = 1.05;
// Frames in which the copy's choice of kernels settles: every set tried.
constexpr int32_t CHOICE_SETTLING_FRAMES =
    KernelChoice::MAX_KERNELS * KernelChoice::FIRST_TRIES * KernelChoice::RUNS_PER_TRY + KernelChoice::RUNS_PER_TRY;
constexpr int32_t MEMCPY_STRICT_FROM_ZOOM = 40000;
constexpr double TABLE_BUILD_LIMIT_SECONDS = 1e-3;

// The zoom step measured: the notch up to the cap on a picture whose tables
// then fill all 200000 entries (longer side 6249).
constexpr int32_t STEP_PICTURE_W = 6249;
constexpr int32_t STEP_PICTURE_H = 4000;
constexpr int32_t STEP_START_ZOOM = 290910;

// Not a picture pixel: the picture encodes (row << 16) | column, and no
// picture has 65535 rows.
constexpr uint32_t SENTINEL = 0xFFFFFFFFu;

struct Surface {
    std::vector<uint32_t> pixels;
    PixelSurface view;

    Surface(int32_t width, int32_t height)
        : pixels(static_cast<size_t>(width) * height),
          view{reinterpret_cast<uint8_t*>(pixels.data()), width, height, width * 4} {}

    uint32_t& At(int32_t column, int32_t row) {
        return pixels[static_cast<size_t>(view.height - 1 - row) * view.width + column];
    }
};

// Tables as the program sizes them for the step picture (longer side 6249)
// at the zoom cap; they also hold the 4000 x 3000 picture at every zoom.
constexpr ScaleMapCapacity TABLE_CAPACITY = {200000, 6251};

struct Tables {
    std::vector<uint32_t> major = std::vector<uint32_t>(TABLE_CAPACITY.major);
    std::vector<uint32_t> minor = std::vector<uint32_t>(TABLE_CAPACITY.minor);
};

// A view as the program sets it up: tables built for the zoom, the scaled
// size read from them as the zoom step does, laid out around the centre.
void SetUpView(ViewState& view, Tables& tables, uint32_t imageW, uint32_t imageH, int32_t zoom, ClientSize client) {
    view = ViewState{};
    view.mapCapacity = TABLE_CAPACITY;
    view.majorMap = tables.major.data();
    view.minorMap = tables.minor.data();
    view.imageW = imageW;
    view.imageH = imageH;
    view.mapLength = (imageW > imageH ? imageW : imageH) + 1;
    view.zoom = zoom;
    RebuildScaleMaps(view);
    view.clientRect = PlainRect{0, 0, client.w, client.h};
    view.centreX = static_cast<int32_t>(view.scaledW / 2);
    view.centreY = static_cast<int32_t>(view.scaledH / 2);
    LayoutView(view);
}

ScaledCopy CopyOf(const ViewState& view) {
    return ScaledCopy{ScaledToSourceTable(view), ScaledToSourceEntries(view), view.srcX, view.srcY,
                      view.visW, view.visH, view.destX, view.destY};
}

// Row by row, the same number of bytes as the copy writes: the limit.
void MemcpyRows(const PixelSurface& picture, const PixelSurface& target, const ScaledCopy& copy) {
    const size_t rowBytes = static_cast<size_t>(copy.visW) * 4;
    for (int32_t j = 0; j < copy.visH; ++j) {
        const uint8_t* in = picture.bits + static_cast<size_t>(picture.height - 1 - j) * picture.stride;
        uint8_t* out = target.bits + static_cast<size_t>(target.height - 1 - (copy.destY + j)) * target.stride +
                       static_cast<size_t>(copy.destX) * 4;
        std::memcpy(out, in, rowBytes);
    }
}

struct PixmanCheck {
    bool ran = false;
    int64_t outsideWritten = 0;  // pixels outside the region that changed
    int64_t unwritten = 0;       // pixels inside the region left alone
    int32_t columnsDiffering = 0;
    int32_t rowsDiffering = 0;
    int64_t pixelsDiffering = 0;
};

struct CaseResult {
    ClientSize client;
    int32_t zoom;
    int32_t visW, visH;
    double memcpySeconds, copySeconds, portableSeconds, referenceSeconds, pixmanSeconds;
    bool identical;
    PixmanCheck pixman;
};

TimingPlan planFor(bool quick) {
    return quick ? TimingPlan{3, 20, 0.05} : TimingPlan{7, 400, 0.3};
}

void FillSurface(Surface& surface, uint32_t value) {
    std::fill(surface.pixels.begin(), surface.pixels.end(), value);
}

#if defined(KIV_BENCH_PIXMAN)
// What pixman wrote, against what the table says and what our copy wrote.
PixmanCheck CheckPixman(Surface& target, Surface& ours, const ScaledCopy& copy) {
    PixmanCheck check;
    check.ran = true;
    std::vector<bool> columnDiffers(static_cast<size_t>(copy.visW), false);
    std::vector<bool> rowDiffers(static_cast<size_t>(copy.visH), false);
    for (int32_t row = 0; row < target.view.height; ++row) {
        for (int32_t column = 0; column < target.view.width; ++column) {
            const uint32_t pixel = target.At(column, row);
            const int32_t i = column - copy.destX;
            const int32_t j = row - copy.destY;
            const bool inside = i >= 0 && i < copy.visW && j >= 0 && j < copy.visH;
            if (!inside) {
                check.outsideWritten += pixel != SENTINEL;
                continue;
            }
            if (pixel == SENTINEL) {
                ++check.unwritten;
                continue;
            }
            if (pixel != ours.At(column, row)) {
                ++check.pixelsDiffering;
            }
            if ((pixel & 0xFFFF) != copy.table[copy.srcX + i]) columnDiffers[static_cast<size_t>(i)] = true;
            if ((pixel >> 16) != copy.table[copy.srcY + j]) rowDiffers[static_cast<size_t>(j)] = true;
        }
    }
    for (bool differs : columnDiffers) check.columnsDiffering += differs;
    for (bool differs : rowDiffers) check.rowsDiffering += differs;
    return check;
}
#endif

CaseResult RunCase(const Surface& picture, Surface& target, Surface& expected, Tables& tables, ClientSize client,
                   int32_t zoom, bool quick) {
    ViewState view;
    SetUpView(view, tables, PICTURE_W, PICTURE_H, zoom, client);
    const ScaledCopy copy = CopyOf(view);
    CaseResult result{};
    result.client = client;
    result.zoom = zoom;
    result.visW = copy.visW;
    result.visH = copy.visH;
    const TimingPlan plan = planFor(quick);

    // The fast copy must equal the plain loop bit for bit on this case too.
    FillSurface(expected, SENTINEL);
    CopyScaledViewReference(picture.view, expected.view, copy, 0);
    FillSurface(target, SENTINEL);
    CopyScaledView(picture.view, target.view, copy, 0);
    result.identical = target.pixels == expected.pixels;
    FillSurface(target, SENTINEL);
    CopyScaledViewUsing(CopyKernels::Portable, picture.view, target.view, copy, 0);
    result.identical = result.identical && target.pixels == expected.pixels;

    // The copy chooses its kernels by timing its first frames of a kind
    // (KernelChoice): timed once that has settled, as when scrolling.
    for (int32_t frame = 0; frame < CHOICE_SETTLING_FRAMES; ++frame) {
        CopyScaledView(picture.view, target.view, copy, 0);
    }
    // The copy against its limit and its own portable builders, in turns.
    const std::vector<double> inTurns = BestSecondsInTurns(
        {[&] { MemcpyRows(picture.view, target.view, copy); },
         [&] { CopyScaledView(picture.view, target.view, copy, 0); },
         [&] { CopyScaledViewUsing(CopyKernels::Portable, picture.view, target.view, copy, 0); }},
        plan);
    result.memcpySeconds = inTurns[0];
    result.copySeconds = inTurns[1];
    result.portableSeconds = inTurns[2];
    result.referenceSeconds =
        BestSeconds([&] { CopyScaledViewReference(picture.view, target.view, copy, 0); }, plan);
#if defined(KIV_BENCH_PIXMAN)
    const bool enlarging = zoom >= ZOOM_UNIT;
    const uint32_t small = enlarging ? view.mapLength : view.scaledMapLength;
    const uint32_t large = enlarging ? view.scaledMapLength : view.mapLength;
    PixmanScaling pixman(picture.view, target.view, copy, small, large, enlarging);
    if (pixman.Ready()) {
        FillSurface(target, SENTINEL);
        pixman.Run();
        result.pixman = CheckPixman(target, expected, copy);
        result.pixmanSeconds = BestSeconds([&] { pixman.Run(); }, plan);
    }
#endif
    return result;
}

double Gpixels(int64_t pixels, double seconds) {
    return seconds > 0 ? static_cast<double>(pixels) / seconds * 1e-9 : 0.0;
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

struct Tally {
    int met = 0;
    int checked = 0;
    void Add(bool ok) {
        ++checked;
        met += ok;
    }
};

void PrintTable(const std::vector<CaseResult>& results, bool withPixman) {
    std::printf("%-10s %6s %10s %9s %9s %7s %9s %9s %9s %7s %7s %7s", "client", "zoom", "visible", "memcpy_ms",
                "copy_ms", "Gpx/s", "portbl_ms", "ref_ms", "pixman_ms", "c/mcpy", "c/port", "ref/c");
    if (withPixman) std::printf(" %8s %s", "pixman/c", " pixman agreement");
    std::printf(" %s\n", "same");
    for (const CaseResult& r : results) {
        const int64_t pixels = static_cast<int64_t>(r.visW) * r.visH;
        char client[24];
        char visible[24];
        std::snprintf(client, sizeof client, "%dx%d", r.client.w, r.client.h);
        std::snprintf(visible, sizeof visible, "%dx%d", r.visW, r.visH);
        std::printf("%-10s %6d %10s %9.3f %9.3f %7.2f %9.3f %9.3f ", client, r.zoom, visible, r.memcpySeconds * 1e3,
                    r.copySeconds * 1e3, Gpixels(pixels, r.copySeconds), r.portableSeconds * 1e3,
                    r.referenceSeconds * 1e3);
        if (withPixman) {
            std::printf("%9.3f", r.pixmanSeconds * 1e3);
        } else {
            std::printf("%9s", "-");
        }
        std::printf(" %7.2f %7.2f %7.2f", r.copySeconds / r.memcpySeconds, r.copySeconds / r.portableSeconds,
                    r.referenceSeconds / r.copySeconds);
        if (withPixman) {
            const PixmanCheck& p = r.pixman;
            std::printf(" %8.2f  %5.1f%% px agree, %d/%d cols, %d/%d rows differ", r.pixmanSeconds / r.copySeconds,
                        100.0 * static_cast<double>(pixels - p.pixelsDiffering) / static_cast<double>(pixels),
                        p.columnsDiffering, r.visW, p.rowsDiffering, r.visH);
            if (p.outsideWritten != 0 || p.unwritten != 0) {
                std::printf(" [region DIFFERS: %lld outside written, %lld inside unwritten]",
                            static_cast<long long>(p.outsideWritten), static_cast<long long>(p.unwritten));
            } else {
                std::printf(", same region");
            }
        }
        std::printf(" %s\n", r.identical ? "yes" : "NO");
    }
}

void PrintVerdicts(const std::vector<CaseResult>& results, bool withPixman, Tally& tally) {
    std::printf("\nTargets per case (ratios of frame times):\n");
    for (const CaseResult& r : results) {
        std::printf("  %dx%d zoom %6d:", r.client.w, r.client.h, r.zoom);
        const double memcpyRatio = r.copySeconds / r.memcpySeconds;
        if (r.zoom == ZOOM_UNIT || r.zoom >= MEMCPY_STRICT_FROM_ZOOM) {
            const bool ok = memcpyRatio <= MEMCPY_RATIO_AT_100_AND_FROM_400;
            tally.Add(ok);
            std::printf(" copy/memcpy %.2f <= %.1f %s;", memcpyRatio, MEMCPY_RATIO_AT_100_AND_FROM_400, Verdict(ok));
        } else if (r.zoom > ZOOM_UNIT) {
            const bool ok = memcpyRatio <= MEMCPY_RATIO_AT_110_AND_200;
            tally.Add(ok);
            std::printf(" copy/memcpy %.2f <= %.1f %s;", memcpyRatio, MEMCPY_RATIO_AT_110_AND_200, Verdict(ok));
        }
        const double speedup = r.zoom >= ZOOM_UNIT ? SPEEDUP_FROM_100 : SPEEDUP_BELOW_100;
        const double portableRatio = r.copySeconds / r.portableSeconds;
        tally.Add(portableRatio <= PORTABLE_RATIO_LIMIT);
        std::printf(" copy/portable %.2f <= %.2f %s;", portableRatio, PORTABLE_RATIO_LIMIT,
                    Verdict(portableRatio <= PORTABLE_RATIO_LIMIT));
        const double referenceRatio = r.referenceSeconds / r.copySeconds;
        tally.Add(referenceRatio >= speedup);
        std::printf(" reference/copy %.2f >= %.1f %s;", referenceRatio, speedup, Verdict(referenceRatio >= speedup));
        if (withPixman) {
            const double pixmanRatio = r.pixmanSeconds / r.copySeconds;
            tally.Add(pixmanRatio >= speedup);
            std::printf(" pixman/copy %.2f >= %.1f %s;", pixmanRatio, speedup, Verdict(pixmanRatio >= speedup));
        }
        tally.Add(r.identical);
        std::printf(" output %s\n", r.identical ? "identical to the reference" : "DIFFERS from the reference");
    }
}

void RunZoomCosts(bool quick, Tally& tally) {
    Tables tables;
    const TimingPlan plan = planFor(quick);

    const double buildSeconds = BestSeconds(
        [&] { BuildScaleMaps(STEP_PICTURE_W + 1, TABLE_CAPACITY.major, TABLE_CAPACITY, tables.major.data(), tables.minor.data()); },
        plan);
    const bool buildOk = buildSeconds < TABLE_BUILD_LIMIT_SECONDS;
    tally.Add(buildOk);
    std::printf("\nBuildScaleMaps(%d, %u): %.3f ms (< %.0f ms %s)\n", STEP_PICTURE_W + 1, TABLE_CAPACITY.major,
                buildSeconds * 1e3, TABLE_BUILD_LIMIT_SECONDS * 1e3, Verdict(buildOk));

    ViewState start;
    SetUpView(start, tables, STEP_PICTURE_W, STEP_PICTURE_H, STEP_START_ZOOM, CLIENT_SIZES[0]);
    const PlainPoint cursor = {CLIENT_SIZES[0].w / 2, CLIENT_SIZES[0].h / 2};
    ViewState view = start;
    const uint64_t before = AllocationCount();
    ZoomStep(view, cursor, true, false);
    const uint64_t allocations = AllocationCount() - before;
    const double stepSeconds = BestSeconds(
        [&] {
            view = start;
            ZoomStep(view, cursor, true, false);
        },
        plan);
    tally.Add(allocations == 0);
    std::printf("ZoomStep %d -> %d on a %dx%d picture (%u table entries): %.3f ms, %llu allocations (%s) %s\n",
                STEP_START_ZOOM, view.zoom, STEP_PICTURE_W, STEP_PICTURE_H, view.scaledMapLength, stepSeconds * 1e3,
                static_cast<unsigned long long>(allocations),
                CountsMalloc() ? "operator new and malloc counted" : "operator new counted",
                Verdict(allocations == 0));
}

// The copy at every zoom and client size, its allocations and the zoom
// step's costs; false when a copy differs from the reference.
bool RunCopyBench(bool quick, int32_t onlyZoom, bool withPixman, Tally& tally) {
    Surface picture(PICTURE_W, PICTURE_H);
    for (int32_t row = 0; row < PICTURE_H; ++row) {
        for (int32_t column = 0; column < PICTURE_W; ++column) {
            picture.At(column, row) = static_cast<uint32_t>(row) << 16 | static_cast<uint32_t>(column);
        }
    }
    Tables tables;
    std::vector<CaseResult> results;
    for (const ClientSize& client : CLIENT_SIZES) {
        Surface target(client.w, client.h);
        Surface expected(client.w, client.h);
        for (int32_t zoom : BENCH_ZOOMS) {
            if (onlyZoom != 0 && zoom != onlyZoom) continue;
            results.push_back(RunCase(picture, target, expected, tables, client, zoom, quick));
            std::fflush(stdout);
        }
    }
    PrintTable(results, withPixman);
    std::printf("\ncopy: CopyScaledView; portbl: the same with its portable row builders only; ref: the plain\n"
                "per-pixel loop (CopyScaledViewReference); pixman: nearest-neighbour scaling by pixman of the\n"
                "same region; c/mcpy = copy/memcpy, c/port = copy/portbl, ref/c = ref/copy, pixman/c =\n"
                "pixman/copy (time ratios; memcpy, copy and portbl timed in turns);\n"
                "Gpx/s: destination pixels per second of the copy; same: copy and portbl equal ref bit for bit.\n");
    if (withPixman) {
        std::printf("pixman agreement: pixels of pixman's output equal to ours; columns and rows whose source\n"
                    "column or row differs from the table's; whether it wrote exactly our region and nothing else.\n");
    }
    PrintVerdicts(results, withPixman, tally);

    Surface target(CLIENT_SIZES[0].w, CLIENT_SIZES[0].h);
    ViewState view;
    SetUpView(view, tables, PICTURE_W, PICTURE_H, 20000, CLIENT_SIZES[0]);
    const uint64_t before = AllocationCount();
    CopyScaledView(picture.view, target.view, CopyOf(view), 0);
    const uint64_t copyAllocations = AllocationCount() - before;
    tally.Add(copyAllocations == 0);
    RunZoomCosts(quick, tally);
    std::printf("CopyScaledView: %llu allocations %s\n", static_cast<unsigned long long>(copyAllocations),
                Verdict(copyAllocations == 0));
    bool allIdentical = true;
    for (const CaseResult& r : results) allIdentical = allIdentical && r.identical;
    return allIdentical;
}

}  // namespace

int main(int argc, char** argv) {
    // --quick: fewer runs; --zoom Z: only that zoom; --copy or --compare:
    // only that part (all for trying things out).
    bool quick = false;
    int32_t onlyZoom = 0;
    bool copyPart = true;
    bool comparePart = true;
    for (int arg = 1; arg < argc; ++arg) {
        if (std::strcmp(argv[arg], "--quick") == 0) {
            quick = true;
        } else if (std::strcmp(argv[arg], "--zoom") == 0 && arg + 1 < argc) {
            onlyZoom = std::atoi(argv[++arg]);
        } else if (std::strcmp(argv[arg], "--copy") == 0) {
            comparePart = false;
        } else if (std::strcmp(argv[arg], "--compare") == 0) {
            copyPart = false;
        } else {
            std::fprintf(stderr, "usage: bench [--quick] [--zoom Z] [--copy | --compare]\n");
            return 2;
        }
    }
#if defined(KIV_BENCH_PIXMAN)
    const bool withPixman = true;
#else
    const bool withPixman = false;
#endif
    std::printf("kiv rendering benchmark (%s build, %d-bit): best of repeated runs after a warm-up\n",
#if defined(_WIN32)
                "Windows",
#else
                "native",
#endif
                static_cast<int>(sizeof(void*) * 8));
    std::printf("picture %dx%d, tables for mapLength %d, view centred; times per frame\n", PICTURE_W, PICTURE_H,
                PICTURE_W + 1);
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    std::printf("processor has AVX2 (the copy's wide row builders): %s\n\n",
                __builtin_cpu_supports("avx2") ? "yes" : "no");
#else
    std::printf("\n");
#endif

    Tally tally;
    bool allIdentical = true;
    if (copyPart) {
        allIdentical = RunCopyBench(quick, onlyZoom, withPixman, tally);
    }
    if (comparePart) {
        const CompareBenchResult compare = RunCompareBench(quick);
        tally.met += compare.met;
        tally.checked += compare.checked;
        allIdentical = allIdentical && compare.identical;
    }
    std::printf("\n%d of %d targets met\n", tally.met, tally.checked);
    // Missed speed targets are reported, not failed: timings vary with the
    // machine and its load. A copy or pass that differs from its plain loop is a fault.
    return allIdentical ? 0 : 1;
}
