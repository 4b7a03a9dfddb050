#include "core/compare/difference.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "core/compare/difference_rows.h"

namespace {

int64_t Clamp64(int64_t value, int64_t low, int64_t high) {
    return value < low ? low : value > high ? high : value;
}

int32_t Saturate32(int64_t value) {
    return static_cast<int32_t>(
        Clamp64(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// floor(v / 2) for negative v too: centres meet rounded toward the top left.
int64_t FloorHalf(int64_t value) {
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

// The part [first, end) of 0 .. extent-1 that the other picture, shifted by
// offset and extent otherExtent, covers.
void OverlapRange(int32_t extent, int32_t otherExtent, int32_t offset, int32_t& first, int32_t& end) {
    const int64_t own = extent > 0 ? extent : 0;
    const int64_t other = otherExtent > 0 ? otherExtent : 0;
    const int64_t begin = Clamp64(-static_cast<int64_t>(offset), 0, own);
    first = static_cast<int32_t>(begin);
    end = static_cast<int32_t>(Clamp64(other - offset, begin, own));
}

void FillPixels(uint32_t* out, int32_t count, uint32_t colour) {
    for (int32_t k = 0; k < count; ++k) out[k] = colour;
}

// floor(min(255, numerator * 2^exposure / denominator) + 0.5), exactly.
uint8_t RoundedByte(uint64_t numerator, uint64_t denominator, int32_t exposure) {
    if (exposure >= 0) {
        numerator <<= exposure;
    } else {
        denominator <<= -exposure;
    }
    const uint64_t rounded = (2 * numerator + denominator) / (2 * denominator);
    return static_cast<uint8_t>(rounded > 255 ? 255 : rounded);
}

// value * 255 as numerator / denominator for 8-bit a (this picture) and b
// (the reference), so that the rounding above is exact:
// |d|/255 -> |d|; d^2/255^2 -> d^2/255; |d|/255 / (b/255 + 0.01) ->
// 25500 |d| / (100 b + 255); d^2/255^2 / (b^2/255^2 + 0.01) ->
// 25500 d^2 / (100 b^2 + 65025).
uint8_t PairByteOf(DifferenceMetric metric, int32_t a, int32_t b, int32_t exposure) {
    const uint64_t absolute = static_cast<uint64_t>(a > b ? a - b : b - a);
    const uint64_t reference = static_cast<uint64_t>(b);
    switch (metric) {
        case DifferenceMetric::Squared:
            return RoundedByte(absolute * absolute, 255, exposure);
        case DifferenceMetric::RelativeAbsolute:
            return RoundedByte(25500 * absolute, 100 * reference + 255, exposure);
        case DifferenceMetric::RelativeSquared:
            return RoundedByte(25500 * absolute * absolute, 100 * reference * reference + 65025, exposure);
        default:
            return RoundedByte(absolute, 1, exposure);
    }
}

constexpr size_t PAIR_COUNT = 256 * 256;
constexpr size_t GATHER_PADDING = 3;

// Byte k of a pixel (blue, green, red, alpha) is channel CHANNEL_OF_BYTE[k]
// of the totals (red, green, blue, alpha).
constexpr int32_t CHANNEL_OF_BYTE[4] = {2, 1, 0, 3};

constexpr uint32_t OPAQUE_BITS = 0xFF000000u;
constexpr uint32_t MASK_RED = 0x00FF0000u;
constexpr int32_t MASK_GREY_BASE = 192;

}  // namespace

PairOffset OffsetOf(Alignment alignment, int32_t aWidth, int32_t aHeight, int32_t bWidth, int32_t bHeight,
                    int32_t userX, int32_t userY) {
    int64_t dx = 0;
    int64_t dy = 0;
    if (alignment == Alignment::Centre) {
        dx = FloorHalf(static_cast<int64_t>(bWidth) - aWidth);
        dy = FloorHalf(static_cast<int64_t>(bHeight) - aHeight);
    }
    return {Saturate32(dx - userX), Saturate32(dy - userY)};
}

OverlapRect OverlapOf(int32_t aWidth, int32_t aHeight, int32_t bWidth, int32_t bHeight, PairOffset offset) {
    OverlapRect overlap{};
    OverlapRange(aWidth, bWidth, offset.dx, overlap.left, overlap.right);
    OverlapRange(aHeight, bHeight, offset.dy, overlap.top, overlap.bottom);
    return overlap;
}

DifferenceTable::DifferenceTable() : byPair_(PAIR_COUNT + GATHER_PADDING, 0), bySum_(SIGNED_SUM_COUNT, 0) {}

void DifferenceTable::Build(DifferenceMetric metric, int32_t exposure) {
    const int32_t index = static_cast<int32_t>(metric);
    metric_ = index >= 0 && index < DIFFERENCE_METRIC_COUNT ? metric : DifferenceMetric::Absolute;
    exposure_ = static_cast<int32_t>(Clamp64(exposure, EXPOSURE_MIN, EXPOSURE_MAX));
    for (int32_t a = 0; a < 256; ++a) {
        for (int32_t b = 0; b < 256; ++b) {
            byPair_[static_cast<size_t>(a) << 8 | static_cast<size_t>(b)] = PairByteOf(metric_, a, b, exposure_);
        }
    }
    // The mean over three channels of parts in 0 .. 1: sum / 765, so
    // sum / 765 * 255 = sum / 3.
    for (int32_t sum = 0; sum < SIGNED_SUM_COUNT; ++sum) {
        bySum_[static_cast<size_t>(sum)] = RoundedByte(static_cast<uint64_t>(sum), 3, exposure_);
    }
}

uint8_t DifferenceTable::SumByte(int32_t sum) const {
    return sum >= 0 && sum < SIGNED_SUM_COUNT ? static_cast<uint8_t>(bySum_[static_cast<size_t>(sum)]) : 0;
}

void MergeTotals(DifferenceTotals& into, const DifferenceTotals& part) {
    if (part.pixels != 0) {
        for (int32_t c = 0; c < 4; ++c) {
            const bool first = into.pixels == 0;
            into.minDelta[c] = first || part.minDelta[c] < into.minDelta[c] ? part.minDelta[c] : into.minDelta[c];
            into.maxDelta[c] = first || part.maxDelta[c] > into.maxDelta[c] ? part.maxDelta[c] : into.maxDelta[c];
        }
    }
    into.pixels += part.pixels;
    into.differing += part.differing;
    for (int32_t c = 0; c < 4; ++c) into.sumDelta[c] += part.sumDelta[c];
    into.sumAbsWeighted += part.sumAbsWeighted;
    into.sumSquaredWeighted += part.sumSquaredWeighted;
    if (part.maxAbsWeighted > into.maxAbsWeighted) into.maxAbsWeighted = part.maxAbsWeighted;
}

CompareFigures FiguresOf(const DifferenceTotals& totals, bool withAlpha) {
    CompareFigures figures;
    figures.overlapPixels = totals.pixels;
    figures.differingPixels = totals.differing;
    figures.withAlpha = withAlpha;
    if (totals.pixels == 0) {
        return figures;
    }
    const double pixels = static_cast<double>(totals.pixels);
    figures.differingShare = static_cast<double>(totals.differing) / pixels;
    for (int32_t c = 0; c < 4; ++c) {
        figures.minDelta[c] = totals.minDelta[c];
        figures.maxDelta[c] = totals.maxDelta[c];
        figures.meanDelta[c] = static_cast<double>(totals.sumDelta[c]) / pixels;
    }
    // e = w / 255^2 for every channel of every pixel.
    constexpr double WEIGHT_UNIT = 255.0 * 255.0;
    const double values = pixels * (withAlpha ? 4 : 3);
    figures.mae = static_cast<double>(totals.sumAbsWeighted) / WEIGHT_UNIT / values;
    const double mse = static_cast<double>(totals.sumSquaredWeighted) / (WEIGHT_UNIT * WEIGHT_UNIT) / values;
    figures.rmse = std::sqrt(mse);
    figures.psnr = totals.sumSquaredWeighted == 0 ? std::numeric_limits<double>::infinity() : -10.0 * std::log10(mse);
    figures.pae = static_cast<double>(totals.maxAbsWeighted) / WEIGHT_UNIT;
    return figures;
}

namespace {

enum class PlainColour { Pairs, Signed, Mask };

int32_t Absolute(int32_t value) {
    return value < 0 ? -value : value;
}

// The plain loop for one colour kind; weighted when either picture has alpha
// (otherwise every channel's weighted error is 255 (a - b) and the alpha
// channel's is 0).
template <PlainColour colour, bool weighted>
void PlainSpan(const SpanSettings& settings, const SpanPixels& span, DifferenceTotals& totals) {
    int32_t minDelta[4] = {255, 255, 255, 255};  // byte order: blue, green, red, alpha
    int32_t maxDelta[4] = {-255, -255, -255, -255};
    int64_t sumDelta[4] = {0, 0, 0, 0};
    uint64_t differing = 0;
    uint64_t sumAbsolute = 0;
    uint64_t sumSquared = 0;
    uint32_t maxAbsolute = 0;
    // Locals: the stores through out could otherwise alias every field.
    const uint8_t* pairBytes = settings.pairBytes;
    const int32_t* sumBytes = settings.sumBytes;
    const uint32_t* inA = span.a;
    const uint32_t* inB = span.b;
    uint32_t* out = span.out;
    const int32_t count = span.count;
    const uint32_t opaqueA = settings.aOpaqueBits;
    const uint32_t opaqueB = settings.bOpaqueBits;
    const int32_t tolerance = settings.tolerance;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t pa = inA[i] | opaqueA;
        const uint32_t pb = inB[i] | opaqueB;
        int32_t a[4];
        int32_t b[4];
        int32_t delta[4];
        int32_t largest = 0;
        for (int32_t k = 0; k < 4; ++k) {
            a[k] = static_cast<int32_t>(pa >> (8 * k) & 0xFF);
            b[k] = static_cast<int32_t>(pb >> (8 * k) & 0xFF);
            delta[k] = a[k] - b[k];
            minDelta[k] = delta[k] < minDelta[k] ? delta[k] : minDelta[k];
            maxDelta[k] = delta[k] > maxDelta[k] ? delta[k] : maxDelta[k];
            sumDelta[k] += delta[k];
            const int32_t size = Absolute(delta[k]);
            largest = size > largest ? size : largest;
        }
        const bool differs = largest > tolerance;
        differing += differs;
        if constexpr (weighted) {
            for (int32_t k = 0; k < 4; ++k) {
                const uint32_t error = static_cast<uint32_t>(
                    Absolute(k == 3 ? 255 * delta[3] : a[3] * a[k] - b[3] * b[k]));
                sumAbsolute += error;
                sumSquared += static_cast<uint64_t>(error) * error;
                maxAbsolute = error > maxAbsolute ? error : maxAbsolute;
            }
        } else {
            sumAbsolute += static_cast<uint32_t>(Absolute(delta[0]) + Absolute(delta[1]) + Absolute(delta[2]));
            sumSquared += static_cast<uint32_t>(delta[0] * delta[0] + delta[1] * delta[1] + delta[2] * delta[2]);
            maxAbsolute = static_cast<uint32_t>(largest) > maxAbsolute ? static_cast<uint32_t>(largest) : maxAbsolute;
        }
        uint32_t painted;
        if constexpr (colour == PlainColour::Signed) {
            int32_t negative = 0;
            int32_t positive = 0;
            for (int32_t k = 0; k < 3; ++k) {
                negative += delta[k] < 0 ? -delta[k] : 0;
                positive += delta[k] > 0 ? delta[k] : 0;
            }
            painted = static_cast<uint32_t>(sumBytes[negative]) << 16 | static_cast<uint32_t>(sumBytes[positive]) << 8;
        } else if constexpr (colour == PlainColour::Mask) {
            const int32_t grey = (299 * a[2] + 587 * a[1] + 114 * a[0] + 500) / 1000;
            painted = differs ? MASK_RED : static_cast<uint32_t>(MASK_GREY_BASE + grey / 4) * 0x010101u;
        } else {
            painted = static_cast<uint32_t>(pairBytes[a[0] << 8 | b[0]]) |
                      static_cast<uint32_t>(pairBytes[a[1] << 8 | b[1]]) << 8 |
                      static_cast<uint32_t>(pairBytes[a[2] << 8 | b[2]]) << 16;
        }
        out[i] = painted;
    }
    DifferenceTotals part;
    part.pixels = static_cast<uint64_t>(span.count);
    part.differing = differing;
    for (int32_t k = 0; k < 4; ++k) {
        const int32_t channel = CHANNEL_OF_BYTE[k];
        part.minDelta[channel] = minDelta[k];
        part.maxDelta[channel] = maxDelta[k];
        part.sumDelta[channel] = sumDelta[k];
    }
    part.sumAbsWeighted = weighted ? sumAbsolute : 255 * sumAbsolute;
    part.sumSquaredWeighted = weighted ? sumSquared : 255 * 255 * sumSquared;
    part.maxAbsWeighted = weighted ? maxAbsolute : 255 * maxAbsolute;
    MergeTotals(totals, part);
}

template <PlainColour colour>
void PlainSpanFor(const SpanSettings& settings, const SpanPixels& span, DifferenceTotals& totals) {
    if (settings.aOpaqueBits == 0 || settings.bOpaqueBits == 0) {
        PlainSpan<colour, true>(settings, span, totals);
    } else {
        PlainSpan<colour, false>(settings, span, totals);
    }
}

}  // namespace

void DifferenceSpanPortable(const SpanSettings& settings, const SpanPixels& span, DifferenceTotals& totals) {
    if (span.count <= 0) {
        return;
    }
    switch (settings.metric) {
        case DifferenceMetric::Signed:
            PlainSpanFor<PlainColour::Signed>(settings, span, totals);
            break;
        case DifferenceMetric::ToleranceMask:
            PlainSpanFor<PlainColour::Mask>(settings, span, totals);
            break;
        default:
            PlainSpanFor<PlainColour::Pairs>(settings, span, totals);
            break;
    }
}

namespace {

// Targets at least this large do not stay in any cache until they are
// painted, so they are written past the caches: no destination line is read
// before it is overwritten.
constexpr int64_t STREAMING_MIN_BYTES = int64_t{16} << 20;

}  // namespace

void RenderDifferenceRowsUsing(DifferenceKernels kernels, const ComparedPicture& a, const ComparedPicture& b,
                               PairOffset offset, const CompareSettings& settings, const DifferenceTable& table,
                               uint32_t backgroundPixel, const PixelSurface& target, int32_t rowBegin,
                               int32_t rowEnd, DifferenceTotals& totals) {
    const SurfaceArea aArea = AddressableArea(a.pixels);
    const SurfaceArea bArea = AddressableArea(b.pixels);
    const SurfaceArea tArea = AddressableArea(target);
    const int32_t width = aArea.width < tArea.width ? aArea.width : tArea.width;
    const int32_t height = aArea.height < tArea.height ? aArea.height : tArea.height;
    const int32_t first = rowBegin > 0 ? rowBegin : 0;
    const int32_t end = rowEnd < height ? rowEnd : height;
    if (width <= 0 || first >= end) {
        return;
    }
    OverlapRect overlap = OverlapOf(aArea.width, aArea.height, bArea.width, bArea.height, offset);
    if (overlap.right > width) overlap.right = width;
    if (overlap.left > overlap.right) overlap.left = overlap.right;

    const int32_t metricIndex = static_cast<int32_t>(settings.metric);
    SpanSettings span{};
    span.metric = metricIndex >= 0 && metricIndex < DIFFERENCE_METRIC_COUNT ? settings.metric
                                                                             : DifferenceMetric::Absolute;
    span.exposure = static_cast<int32_t>(Clamp64(settings.exposure, EXPOSURE_MIN, EXPOSURE_MAX));
    span.tolerance = static_cast<int32_t>(Clamp64(settings.tolerance, 0, TOLERANCE_MAX));
    span.aOpaqueBits = a.hasAlpha ? 0 : OPAQUE_BITS;
    span.bOpaqueBits = b.hasAlpha ? 0 : OPAQUE_BITS;
    span.pairBytes = table.PairBytes();
    span.sumBytes = table.SumBytes();
    const bool large = static_cast<int64_t>(tArea.width) * tArea.height * 4 >= STREAMING_MIN_BYTES;
    span.streaming = kernels == DifferenceKernels::Best && large;
    SpanKernel kernel = kernels == DifferenceKernels::Best ? WideDifferenceKernel(span) : nullptr;
    if (kernel == nullptr) {
        span.streaming = false;
        kernel = DifferenceSpanPortable;
    }

    const int32_t overlapWidth = overlap.right - overlap.left;
    for (int32_t y = first; y < end; ++y) {
        uint32_t* out = RowPointer(target, y);
        if (y < overlap.top || y >= overlap.bottom || overlapWidth <= 0) {
            FillPixels(out, width, backgroundPixel);
            continue;
        }
        FillPixels(out, overlap.left, backgroundPixel);
        const uint32_t* rowA = RowPointer(a.pixels, y) + overlap.left;
        const uint32_t* rowB = RowPointer(b.pixels, y + offset.dy) + (overlap.left + offset.dx);
        kernel(span, SpanPixels{rowA, rowB, out + overlap.left, overlapWidth}, totals);
        FillPixels(out + overlap.right, width - overlap.right, backgroundPixel);
    }
    if (span.streaming) {
        DifferenceStreamingDone();
    }
}

void RenderDifferenceRows(const ComparedPicture& a, const ComparedPicture& b, PairOffset offset,
                          const CompareSettings& settings, const DifferenceTable& table, uint32_t backgroundPixel,
                          const PixelSurface& target, int32_t rowBegin, int32_t rowEnd, DifferenceTotals& totals) {
    RenderDifferenceRowsUsing(DifferenceKernels::Best, a, b, offset, settings, table, backgroundPixel, target,
                              rowBegin, rowEnd, totals);
}

void PlaceReferenceRows(const PixelSurface& reference, int32_t aWidth, int32_t aHeight, PairOffset offset,
                        uint32_t backgroundPixel, const PixelSurface& target, int32_t rowBegin, int32_t rowEnd) {
    const SurfaceArea rArea = AddressableArea(reference);
    const SurfaceArea tArea = AddressableArea(target);
    const int32_t width = aWidth < tArea.width ? aWidth : tArea.width;
    const int32_t height = aHeight < tArea.height ? aHeight : tArea.height;
    const int32_t first = rowBegin > 0 ? rowBegin : 0;
    const int32_t end = rowEnd < height ? rowEnd : height;
    if (width <= 0 || first >= end) {
        return;
    }
    OverlapRect overlap = OverlapOf(width, height, rArea.width, rArea.height, offset);
    const int32_t overlapWidth = overlap.right - overlap.left;
    for (int32_t y = first; y < end; ++y) {
        uint32_t* out = RowPointer(target, y);
        if (y < overlap.top || y >= overlap.bottom || overlapWidth <= 0) {
            FillPixels(out, width, backgroundPixel);
            continue;
        }
        FillPixels(out, overlap.left, backgroundPixel);
        const uint32_t* in = RowPointer(reference, y + offset.dy) + (overlap.left + offset.dx);
        std::memcpy(out + overlap.left, in, static_cast<size_t>(overlapWidth) * 4);
        FillPixels(out + overlap.right, width - overlap.right, backgroundPixel);
    }
}
