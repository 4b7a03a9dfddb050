// Comparing a picture against a reference, pixel by pixel: where the two lie
// against each other, the difference view's colours, and the statistics of
// the overlap. Platform-free; the view runs the row pass on both cores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/pixels/pixel_copy.h"

// The difference view's metrics, in the order M steps through them.
enum class DifferenceMetric : int32_t {
    Absolute,          // |a-b|
    Squared,           // (a-b)^2
    RelativeAbsolute,  // |a-b| / (b + 0.01)
    RelativeSquared,   // (a-b)^2 / (b^2 + 0.01)
    Signed,            // red: negative parts, green: positive parts
    ToleranceMask,     // red where any channel differs beyond the tolerance
};
constexpr int32_t DIFFERENCE_METRIC_COUNT = 6;

enum class Alignment : int32_t { TopLeft, Centre };

constexpr int32_t EXPOSURE_MIN = -8;  // the display is scaled by 2^exposure
constexpr int32_t EXPOSURE_MAX = 8;
constexpr int32_t TOLERANCE_MAX = 255;  // in 8-bit units

struct CompareSettings {
    DifferenceMetric metric = DifferenceMetric::Absolute;
    int32_t exposure = 0;
    int32_t tolerance = 0;
    Alignment alignment = Alignment::TopLeft;
};

// One picture of a pair: its colours as decoded (not laid over black), bytes
// blue, green, red, alpha, rows bottom-up as in every PixelSurface. Without
// alpha the fourth byte means nothing and every pixel counts as opaque.
struct ComparedPicture {
    PixelSurface pixels;
    bool hasAlpha = false;
};

// Where the reference lies against this picture: the reference pixel
// (x + dx, y + dy) is compared with this picture's pixel (x, y).
struct PairOffset {
    int32_t dx = 0;
    int32_t dy = 0;
};

// Top-left: the corners meet; centre: the centres meet, rounded down
// (dx = floor((bW - aW) / 2)). userX/userY is the window's own offset: its
// picture moved right and down by that many pixels against the reference,
// so dx = alignment's dx - userX.
PairOffset OffsetOf(Alignment alignment, int32_t aWidth, int32_t aHeight, int32_t bWidth, int32_t bHeight,
                    int32_t userX, int32_t userY);

// The part of this picture (a) where both pictures have a pixel, in a's
// coordinates, right and bottom exclusive; empty (left >= right or top >=
// bottom) when the pictures do not overlap.
struct OverlapRect {
    int32_t left, top, right, bottom;
};
OverlapRect OverlapOf(int32_t aWidth, int32_t aHeight, int32_t bWidth, int32_t bHeight, PairOffset offset);

// The difference view's colour for every pair of 8-bit values and channel,
// for one metric and exposure: built once when they change, then looked up
// by the row pass. Each displayed channel is
// floor(min(1, value * 2^exposure) * 255 + 0.5) with value in 0 .. 1 scale
// (a and b are 8-bit values / 255).
class DifferenceTable {
public:
    DifferenceTable();  // every colour black until built
    void Build(DifferenceMetric metric, int32_t exposure);

    DifferenceMetric Metric() const { return metric_; }
    int32_t Exposure() const { return exposure_; }
    // The displayed byte of one channel with a = this picture's value and b
    // the reference's (the first four metrics).
    uint8_t PairByte(uint8_t a, uint8_t b) const { return byPair_[static_cast<size_t>(a) << 8 | b]; }
    // The signed metric: the displayed byte for the sum over R, G, B of the
    // negative (red) or positive (green) parts, in 8-bit units, 0 .. 765.
    uint8_t SumByte(int32_t sum) const;

    // For the row pass's wide kernels: PairBytes() has 3 bytes of padding
    // after its 65536, so that a 32-bit load at any index stays inside it;
    // SumBytes() holds SIGNED_SUM_COUNT 32-bit values.
    const uint8_t* PairBytes() const { return byPair_.data(); }
    const int32_t* SumBytes() const { return bySum_.data(); }
    static constexpr int32_t SIGNED_SUM_COUNT = 3 * 255 + 1;

private:
    DifferenceMetric metric_ = DifferenceMetric::Absolute;
    int32_t exposure_ = 0;
    std::vector<uint8_t> byPair_;
    std::vector<int32_t> bySum_;
};

// Sums over the overlap, kept exact (integers) so that the figures do not
// depend on how the rows were split between threads: totals of row ranges
// are merged in any order with the same result.
struct DifferenceTotals {
    uint64_t pixels = 0;     // overlap pixels counted
    uint64_t differing = 0;  // pixels where any channel's |a-b| exceeds the tolerance (8-bit units)
    // a-b in 8-bit units of the colours as decoded, per channel R, G, B, A.
    int32_t minDelta[4] = {0, 0, 0, 0};
    int32_t maxDelta[4] = {0, 0, 0, 0};
    int64_t sumDelta[4] = {0, 0, 0, 0};
    // The weighted error of each channel, w = alphaA * a - alphaB * b with the
    // 8-bit alphas (255 for an opaque picture), so that e = w / (255 * 255);
    // the alpha channel itself counts as w = 255 * (alphaA - alphaB).
    uint64_t sumAbsWeighted = 0;
    uint64_t sumSquaredWeighted = 0;
    uint32_t maxAbsWeighted = 0;
};
void MergeTotals(DifferenceTotals& into, const DifferenceTotals& part);

// What the user reads, from the totals of the whole overlap. With alpha
// (either picture has it) the alpha channel counts as a fourth channel.
struct CompareFigures {
    uint64_t overlapPixels = 0;
    uint64_t differingPixels = 0;
    double differingShare = 0;  // differingPixels / overlapPixels, 0 for an empty overlap
    bool withAlpha = false;
    int32_t minDelta[4] = {0, 0, 0, 0};
    int32_t maxDelta[4] = {0, 0, 0, 0};
    double meanDelta[4] = {0, 0, 0, 0};
    double mae = 0;   // mean |e| over channels and pixels, 0 .. 1
    double rmse = 0;  // sqrt(mean e^2)
    double psnr = 0;  // 10 log10(1 / mse) dB; +infinity when mse is 0
    double pae = 0;   // max |e|
};
CompareFigures FiguresOf(const DifferenceTotals& totals, bool withAlpha);

// The row pass: rows rowBegin .. rowEnd-1 of this picture (0 at the top) get
// their difference-view colours in target (a surface of a's size) and add
// their statistics to totals; pixels outside the overlap get backgroundPixel.
// table is built for settings' metric and exposure (with another the colours
// are wrong, never the reads, writes or totals).
// The tolerance mask paints a differing pixel 0x00FF0000 (red) and any other
// one grey 192 + g / 4, g = (299 R + 587 G + 114 B + 500) / 1000 of a's
// colour as decoded; every painted pixel's fourth byte is 0. Reads and
// writes only inside the surfaces whatever the inputs: a target of another
// size gets (and counts) only the rows and columns it shares with a. Split
// the rows between threads, each with totals of its own, and merge them.
void RenderDifferenceRows(const ComparedPicture& a, const ComparedPicture& b, PairOffset offset,
                          const CompareSettings& settings, const DifferenceTable& table,
                          uint32_t backgroundPixel, const PixelSurface& target, int32_t rowBegin,
                          int32_t rowEnd, DifferenceTotals& totals);

// The reference as the user sees it placed under this picture (flicker and
// wipe): rows rowBegin .. rowEnd-1 of target (a surface of a's size) get the
// reference's painted pixels where it has one, backgroundPixel elsewhere.
// Which kernels the row pass uses. RenderDifferenceRows takes Best: the
// processor's wider instruction sets when it has them (checked at run time).
// Tests and the benchmark ask for Portable to check and measure the plain
// loop; both give the same bytes and totals.
enum class DifferenceKernels { Portable, Best };
void RenderDifferenceRowsUsing(DifferenceKernels kernels, const ComparedPicture& a, const ComparedPicture& b,
                               PairOffset offset, const CompareSettings& settings, const DifferenceTable& table,
                               uint32_t backgroundPixel, const PixelSurface& target, int32_t rowBegin,
                               int32_t rowEnd, DifferenceTotals& totals);

void PlaceReferenceRows(const PixelSurface& reference, int32_t aWidth, int32_t aHeight, PairOffset offset,
                        uint32_t backgroundPixel, const PixelSurface& target, int32_t rowBegin, int32_t rowEnd);
