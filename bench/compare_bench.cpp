// The difference pass over a 24 MP pair (6000 x 4000) against a memcpy of
// both pictures' bytes: one thread and every core, each metric, with alpha,
// and the plain loop for comparison. The pass must also give the plain
// loop's bytes and totals.
#include "compare_bench.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "bench_timing.h"
#include "core/compare/difference.h"

#if defined(_WIN32)
#include "win32/row_threads.h"
#else
#include <atomic>
#include <thread>
#endif

namespace {

constexpr int32_t PAIR_W = 6000;
constexpr int32_t PAIR_H = 4000;
constexpr double MEMCPY_RATIO_TARGET = 3.0;
constexpr uint32_t BACKGROUND = 0x00404040;

using RowWorkFunction = std::function<void(int32_t worker, int32_t rowBegin, int32_t rowEnd)>;

#if defined(_WIN32)
int32_t WorkerCount() {
    return RowWorkerCount();
}

// What the view calls.
void OnAllCores(int32_t rows, const RowWorkFunction& work) {
    RunRowsOnAllCores(rows, work);
}
#else
int32_t WorkerCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores < 1 ? 1 : cores > 16 ? 16 : static_cast<int32_t>(cores);
}

// The same split as RunRowsOnAllCores: bands taken in turn by the calling
// thread and one thread per further core.
void OnAllCores(int32_t rows, const RowWorkFunction& work) {
    const int32_t workers = WorkerCount();
    const int32_t bandRows = std::max(1, rows / (workers * 8));
    std::atomic<int32_t> nextBand{0};
    auto run = [&](int32_t worker) {
        for (;;) {
            const int64_t begin = static_cast<int64_t>(nextBand.fetch_add(1)) * bandRows;
            if (begin >= rows) return;
            work(worker, static_cast<int32_t>(begin), static_cast<int32_t>(std::min<int64_t>(rows, begin + bandRows)));
        }
    };
    std::vector<std::thread> threads;
    for (int32_t worker = 1; worker < workers; ++worker) threads.emplace_back(run, worker);
    run(0);
    for (std::thread& thread : threads) thread.join();
}
#endif

struct Buffer {
    std::vector<uint32_t> pixels;
    PixelSurface surface;
    explicit Buffer(int32_t width, int32_t height)
        : pixels(static_cast<size_t>(width) * height),
          surface{reinterpret_cast<uint8_t*>(pixels.data()), width, height, width * 4} {}
};

// A render-like picture and the same with small errors everywhere, larger
// ones in places, and a varying alpha.
void Generate(Buffer& a, Buffer& b) {
    uint32_t noise = 12345;
    for (int32_t y = 0; y < PAIR_H; ++y) {
        for (int32_t x = 0; x < PAIR_W; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const uint32_t r = static_cast<uint32_t>(x * 255 / PAIR_W);
            const uint32_t g = static_cast<uint32_t>(y * 255 / PAIR_H);
            const uint32_t blue = static_cast<uint32_t>((x ^ y) & 0xFF);
            const uint32_t alpha = 192 + (noise >> 26);
            const size_t index = static_cast<size_t>(y) * PAIR_W + x;
            a.pixels[index] = alpha << 24 | r << 16 | g << 8 | blue;
            const uint32_t error = (noise >> 8) & 0x03;
            const uint32_t big = (x % 97 == 0 || y % 89 == 0) ? 40 : 0;
            b.pixels[index] = (alpha - (noise >> 30)) << 24 | (r ^ error) << 16 | std::min(255u, g + big) << 8 |
                              (blue ^ (error << 1));
        }
    }
}

struct Run {
    const char* label;
    DifferenceMetric metric;
    bool alpha;
    bool allCores;
    DifferenceKernels kernels;
};

struct Outcome {
    DifferenceTotals totals;
    uint64_t checksum = 0;
};

uint64_t Checksum(const Buffer& buffer) {
    uint64_t sum = 0;
    for (size_t k = 0; k < buffer.pixels.size(); ++k) sum = sum * 31 + buffer.pixels[k];
    return sum;
}

bool SameTotals(const DifferenceTotals& x, const DifferenceTotals& y) {
    bool same = x.pixels == y.pixels && x.differing == y.differing && x.sumAbsWeighted == y.sumAbsWeighted &&
                x.sumSquaredWeighted == y.sumSquaredWeighted && x.maxAbsWeighted == y.maxAbsWeighted;
    for (int32_t c = 0; c < 4; ++c) {
        same = same && x.minDelta[c] == y.minDelta[c] && x.maxDelta[c] == y.maxDelta[c] &&
               x.sumDelta[c] == y.sumDelta[c];
    }
    return same;
}

}  // namespace

CompareBenchResult RunCompareBench(bool quick) {
    CompareBenchResult result;
    const TimingPlan plan = quick ? TimingPlan{2, 3, 0.0} : TimingPlan{5, 20, 1.0};
    Buffer a(PAIR_W, PAIR_H), b(PAIR_W, PAIR_H), target(PAIR_W, PAIR_H);
    Generate(a, b);
    const size_t pictureBytes = a.pixels.size() * 4;
    const double memcpySeconds = BestSeconds(
        [&] {
            std::memcpy(target.pixels.data(), a.pixels.data(), pictureBytes);
            std::memcpy(target.pixels.data(), b.pixels.data(), pictureBytes);
        },
        plan);
    const int32_t workers = WorkerCount();
    std::printf("\nDifference pass, %dx%d pair (%.0f MB each), %d cores; memcpy of both pictures' bytes: %.1f ms\n",
                PAIR_W, PAIR_H, pictureBytes / 1e6, workers, memcpySeconds * 1e3);
    std::printf("%-34s %9s %9s %8s  %s\n", "pass", "ms", "Mpx/s", "/memcpy", "target 3 x memcpy (both cores, SIMD)");

    const Run runs[] = {
        {"absolute, 1 thread", DifferenceMetric::Absolute, false, false, DifferenceKernels::Best},
        {"absolute, all cores", DifferenceMetric::Absolute, false, true, DifferenceKernels::Best},
        {"absolute, all cores, plain loop", DifferenceMetric::Absolute, false, true, DifferenceKernels::Portable},
        {"squared, all cores", DifferenceMetric::Squared, false, true, DifferenceKernels::Best},
        {"relative squared, all cores", DifferenceMetric::RelativeSquared, false, true, DifferenceKernels::Best},
        {"signed, all cores", DifferenceMetric::Signed, false, true, DifferenceKernels::Best},
        {"tolerance mask, all cores", DifferenceMetric::ToleranceMask, false, true, DifferenceKernels::Best},
        {"absolute with alpha, 1 thread", DifferenceMetric::Absolute, true, false, DifferenceKernels::Best},
        {"absolute with alpha, all cores", DifferenceMetric::Absolute, true, true, DifferenceKernels::Best},
        {"with alpha, all cores, plain loop", DifferenceMetric::Absolute, true, true, DifferenceKernels::Portable},
    };
    Outcome plainOutcome[2];  // opaque, alpha: from the plain loop
    Outcome wideOutcome[2];
    for (const Run& run : runs) {
        const ComparedPicture pictureA{a.surface, run.alpha};
        const ComparedPicture pictureB{b.surface, run.alpha};
        const CompareSettings settings{run.metric, 2, 3, Alignment::TopLeft};
        DifferenceTable table;
        table.Build(settings.metric, settings.exposure);
        std::vector<DifferenceTotals> parts(static_cast<size_t>(workers));
        auto pass = [&] {
            std::fill(parts.begin(), parts.end(), DifferenceTotals{});
            auto rows = [&](int32_t worker, int32_t begin, int32_t end) {
                RenderDifferenceRowsUsing(run.kernels, pictureA, pictureB, {0, 0}, settings, table, BACKGROUND,
                                          target.surface, begin, end, parts[static_cast<size_t>(worker)]);
            };
            if (run.allCores) {
                OnAllCores(PAIR_H, rows);
            } else {
                rows(0, 0, PAIR_H);
            }
        };
        const double seconds = BestSeconds(pass, plan);
        const double ratio = seconds / memcpySeconds;
        const bool judged = run.allCores && run.kernels == DifferenceKernels::Best;
        std::printf("%-34s %9.1f %9.0f %8.2f  %s\n", run.label, seconds * 1e3,
                    static_cast<double>(PAIR_W) * PAIR_H / seconds * 1e-6, ratio,
                    !judged ? "-" : ratio <= MEMCPY_RATIO_TARGET ? "met" : "MISSED");
        if (judged) {
            ++result.checked;
            result.met += ratio <= MEMCPY_RATIO_TARGET;
        }
        if (run.metric == DifferenceMetric::Absolute && run.allCores) {
            Outcome& outcome = (run.kernels == DifferenceKernels::Portable ? plainOutcome : wideOutcome)[run.alpha];
            for (const DifferenceTotals& part : parts) MergeTotals(outcome.totals, part);
            outcome.checksum = Checksum(target);
        }
    }
    for (int32_t alpha = 0; alpha < 2; ++alpha) {
        result.identical = result.identical && SameTotals(plainOutcome[alpha].totals, wideOutcome[alpha].totals) &&
                           plainOutcome[alpha].checksum == wideOutcome[alpha].checksum;
    }
    const CompareFigures figures = FiguresOf(wideOutcome[0].totals, false);
    std::printf("absolute pass: same bytes and totals as the plain loop (opaque and with alpha): %s; figures: "
                "MAE %.6g, RMSE %.6g, PSNR %.4f dB, PAE %.6g, %.2f%% differing beyond 3\n",
                result.identical ? "yes" : "NO", figures.mae, figures.rmse, figures.psnr, figures.pae,
                figures.differingShare * 100);
    std::printf("ms: best of repeated runs; /memcpy: the pass's time over the memcpy's; the target applies to\n"
                "the wide kernels on all cores, never enforced.\n");
    return result;
}
