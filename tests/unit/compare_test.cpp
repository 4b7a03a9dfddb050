// The difference pass against a plain model written here from the definitions
// (doubles, per pixel), hand-computed colours and figures, and figures that
// ImageMagick's compare reported for a pair generated below. Surfaces live in
// exact-size heap blocks, so AddressSanitizer reports any stray access.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "core/compare/difference.h"

namespace {

constexpr DifferenceKernels BOTH_KERNELS[] = {DifferenceKernels::Portable, DifferenceKernels::Best};
constexpr uint32_t BACKGROUND = 0x00123456;

struct Picture {
    std::vector<uint8_t> bytes;
    ComparedPicture compared;

    Picture(int32_t width, int32_t height, bool hasAlpha = false, int32_t padding = 0) {
        const int32_t stride = width * 4 + padding * 4;
        bytes.resize(static_cast<size_t>(stride) * static_cast<size_t>(height));
        compared = {{bytes.empty() ? nullptr : bytes.data(), width, height, stride}, hasAlpha};
    }
    uint32_t& At(int32_t x, int32_t y) {
        const PixelSurface& s = compared.pixels;
        return reinterpret_cast<uint32_t*>(s.bits + static_cast<size_t>(s.height - 1 - y) * s.stride)[x];
    }
    void Fill(uint32_t pixel) {
        for (int32_t y = 0; y < compared.pixels.height; ++y)
            for (int32_t x = 0; x < compared.pixels.width; ++x) At(x, y) = pixel;
    }
};

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0) { return a << 24 | r << 16 | g << 8 | b; }
int32_t ByteOf(uint32_t pixel, int32_t channel) { return static_cast<int32_t>(pixel >> (16 - 8 * channel) & 0xFF); }
int32_t AlphaOf(uint32_t pixel, bool hasAlpha) { return hasAlpha ? static_cast<int32_t>(pixel >> 24) : 255; }

// floor(min(1, v 2^e) 255 + 0.5); an exact tie (a value that is a half in
// exact arithmetic) arrives here within rounding error of it and rounds up.
uint32_t ModelByte(double value, int32_t exposure) {
    double x = value * std::ldexp(1.0, exposure) * 255.0;
    const double half = std::floor(x) + 0.5;
    if (std::fabs(x - half) < 1e-9) x = half;
    return static_cast<uint32_t>(std::floor(std::min(x, 255.0) + 0.5));
}

uint32_t ModelColour(const CompareSettings& s, uint32_t pa, bool alphaA, uint32_t pb, bool alphaB) {
    bool differs = std::abs(AlphaOf(pa, alphaA) - AlphaOf(pb, alphaB)) > s.tolerance;
    double positive = 0, negative = 0;
    uint32_t colour = 0;
    for (int32_t c = 0; c < 3; ++c) {
        const double a = ByteOf(pa, c) / 255.0, b = ByteOf(pb, c) / 255.0, d = a - b;
        differs = differs || std::abs(ByteOf(pa, c) - ByteOf(pb, c)) > s.tolerance;
        positive += std::max(d, 0.0) / 3;
        negative += std::max(-d, 0.0) / 3;
        const double values[] = {std::fabs(d), d * d, std::fabs(d) / (b + 0.01), d * d / (b * b + 0.01)};
        if (s.metric <= DifferenceMetric::RelativeSquared) {
            colour |= ModelByte(values[static_cast<int>(s.metric)], s.exposure) << (16 - 8 * c);
        }
    }
    if (s.metric == DifferenceMetric::Signed) {
        return ModelByte(negative, s.exposure) << 16 | ModelByte(positive, s.exposure) << 8;
    }
    if (s.metric == DifferenceMetric::ToleranceMask) {
        const uint32_t g = (299 * ByteOf(pa, 0) + 587 * ByteOf(pa, 1) + 114 * ByteOf(pa, 2) + 500) / 1000;
        return differs ? 0xFF0000u : (192 + g / 4) * 0x010101u;
    }
    return colour;
}

// The figures straight from the definitions, with every overlap pixel visited.
struct ModelFigures {
    uint64_t pixels = 0, differing = 0;
    int32_t minDelta[4] = {999, 999, 999, 999}, maxDelta[4] = {-999, -999, -999, -999};
    int64_t sumDelta[4] = {};
    double sumAbs = 0, sumSquared = 0, maxAbs = 0;
};

// Runs the pass on all rows and checks every target pixel against the model
// and the totals against the model's figures.
void ExpectPassMatchesModel(DifferenceKernels kernels, Picture& a, Picture& b, PairOffset offset,
                            const CompareSettings& settings) {
    const PixelSurface& pa = a.compared.pixels;
    const PixelSurface& pb = b.compared.pixels;
    Picture target(pa.width, pa.height, false, 1);
    target.Fill(0xDEADBEEF);
    DifferenceTable table;
    table.Build(settings.metric, settings.exposure);
    DifferenceTotals totals;
    RenderDifferenceRowsUsing(kernels, a.compared, b.compared, offset, settings, table, BACKGROUND,
                              target.compared.pixels, 0, pa.height, totals);
    ModelFigures model;
    const bool withAlpha = a.compared.hasAlpha || b.compared.hasAlpha;
    for (int32_t y = 0; y < pa.height; ++y) {
        for (int32_t x = 0; x < pa.width; ++x) {
            const int64_t bx = int64_t{x} + offset.dx, by = int64_t{y} + offset.dy;
            if (bx < 0 || by < 0 || bx >= pb.width || by >= pb.height) {
                ASSERT_EQ(target.At(x, y), BACKGROUND) << x << "," << y;
                continue;
            }
            const uint32_t ca = a.At(x, y), cb = b.At(static_cast<int32_t>(bx), static_cast<int32_t>(by));
            ASSERT_EQ(target.At(x, y), ModelColour(settings, ca, a.compared.hasAlpha, cb, b.compared.hasAlpha))
                << "pixel " << x << "," << y << " a " << std::hex << ca << " b " << cb;
            const double alphaA = AlphaOf(ca, a.compared.hasAlpha) / 255.0;
            const double alphaB = AlphaOf(cb, b.compared.hasAlpha) / 255.0;
            bool differs = false;
            for (int32_t c = 0; c < 4; ++c) {
                const int32_t va = c < 3 ? ByteOf(ca, c) : AlphaOf(ca, a.compared.hasAlpha);
                const int32_t vb = c < 3 ? ByteOf(cb, c) : AlphaOf(cb, b.compared.hasAlpha);
                model.minDelta[c] = std::min(model.minDelta[c], va - vb);
                model.maxDelta[c] = std::max(model.maxDelta[c], va - vb);
                model.sumDelta[c] += va - vb;
                differs = differs || std::abs(va - vb) > settings.tolerance;
                const double e = c < 3 ? alphaA * va / 255.0 - alphaB * vb / 255.0 : alphaA - alphaB;
                if (c == 3 && !withAlpha) continue;
                model.sumAbs += std::fabs(e);
                model.sumSquared += e * e;
                model.maxAbs = std::max(model.maxAbs, std::fabs(e));
            }
            model.pixels += 1;
            model.differing += differs;
        }
    }
    ASSERT_EQ(totals.pixels, model.pixels);
    EXPECT_EQ(totals.differing, model.differing);
    const CompareFigures figures = FiguresOf(totals, withAlpha);
    if (model.pixels == 0) {
        EXPECT_EQ(figures.mae, 0.0);
        return;
    }
    for (int32_t c = 0; c < 4; ++c) {
        EXPECT_EQ(figures.minDelta[c], model.minDelta[c]) << c;
        EXPECT_EQ(figures.maxDelta[c], model.maxDelta[c]) << c;
        EXPECT_EQ(totals.sumDelta[c], model.sumDelta[c]) << c;
    }
    const double values = static_cast<double>(model.pixels) * (withAlpha ? 4 : 3);
    EXPECT_NEAR(figures.mae, model.sumAbs / values, 1e-12);
    EXPECT_NEAR(figures.rmse, std::sqrt(model.sumSquared / values), 1e-12);
    EXPECT_NEAR(figures.pae, model.maxAbs, 1e-12);
    if (model.sumSquared == 0) {
        EXPECT_EQ(figures.psnr, std::numeric_limits<double>::infinity());
    }
}

TEST(CompareGeometry, AlignmentOffsetsAndOverlap) {
    // Centres meet rounded toward the top left, also for odd negative differences.
    EXPECT_EQ(OffsetOf(Alignment::Centre, 10, 10, 13, 7, 0, 0).dx, 1);
    EXPECT_EQ(OffsetOf(Alignment::Centre, 10, 10, 13, 7, 0, 0).dy, -2);
    EXPECT_EQ(OffsetOf(Alignment::TopLeft, 10, 10, 13, 7, 3, -1).dx, -3);
    EXPECT_EQ(OffsetOf(Alignment::TopLeft, 10, 10, 13, 7, 3, -1).dy, 1);
    EXPECT_EQ(OffsetOf(Alignment::Centre, 0, 0, 0, 0, std::numeric_limits<int32_t>::min(), 0).dx,
              std::numeric_limits<int32_t>::max());

    const OverlapRect inside = OverlapOf(10, 8, 4, 4, {-3, -2});
    EXPECT_EQ(inside.left, 3);
    EXPECT_EQ(inside.top, 2);
    EXPECT_EQ(inside.right, 7);
    EXPECT_EQ(inside.bottom, 6);
    const OverlapRect larger = OverlapOf(10, 8, 40, 40, {5, 5});
    EXPECT_EQ(larger.left, 0);
    EXPECT_EQ(larger.right, 10);
    EXPECT_EQ(larger.bottom, 8);
    for (const PairOffset apart : {PairOffset{4, 0}, PairOffset{-10, 0}, PairOffset{0, 9},
                                   PairOffset{std::numeric_limits<int32_t>::min(), 0},
                                   PairOffset{0, std::numeric_limits<int32_t>::max()}}) {
        const OverlapRect none = OverlapOf(10, 8, 4, 4, apart);
        EXPECT_TRUE(none.left >= none.right || none.top >= none.bottom) << apart.dx << "," << apart.dy;
    }
}

// Hand-computed colours (R, G, B) for one pixel pair at exposures -1, 0, +3;
// 40 x 2 copies of the pair go through the wide kernels too.
TEST(CompareColours, HandPickedPairsAtExposures) {
    struct Case {
        DifferenceMetric metric;
        uint32_t a, b;
        uint32_t expected[3];  // at 2^-1, 2^0, 2^3
    };
    const Case cases[] = {
        // |d| = 10, 1, 255: 5, 0.5 (a tie, up), 127.5.
        {DifferenceMetric::Absolute, Rgb(10, 1, 255), Rgb(0, 0, 0),
         {Rgb(5, 1, 128), Rgb(10, 1, 255), Rgb(80, 8, 255)}},
        // d^2 / 255: 255, 1.0039, 0.392.
        {DifferenceMetric::Squared, Rgb(255, 16, 100), Rgb(0, 0, 90),
         {Rgb(128, 1, 0), Rgb(255, 1, 0), Rgb(255, 8, 3)}},
        // 25500 |d| / (100 b + 255): 252.475, 113.08, 0.
        {DifferenceMetric::RelativeAbsolute, Rgb(0, 30, 200), Rgb(255, 20, 200),
         {Rgb(126, 57, 0), Rgb(252, 113, 0), Rgb(255, 255, 0)}},
        // 25500 d^2 / (100 b^2 + 65025): 252.475, 24.280, 9.8039.
        {DifferenceMetric::RelativeSquared, Rgb(0, 30, 5), Rgb(255, 20, 0),
         {Rgb(126, 12, 5), Rgb(252, 24, 10), Rgb(255, 194, 78)}},
        // d = -10, +10, +3: red 10 / 3, green 13 / 3.
        {DifferenceMetric::Signed, Rgb(10, 20, 33), Rgb(20, 10, 30),
         {Rgb(2, 2, 0), Rgb(3, 4, 0), Rgb(27, 35, 0)}},
    };
    const int32_t exposures[] = {-1, 0, 3};
    for (const Case& c : cases) {
        for (int32_t e = 0; e < 3; ++e) {
            Picture a(40, 2), b(40, 2);
            a.Fill(c.a);
            b.Fill(c.b);
            for (DifferenceKernels kernels : BOTH_KERNELS) {
                const CompareSettings settings{c.metric, exposures[e], 0, Alignment::TopLeft};
                ExpectPassMatchesModel(kernels, a, b, {0, 0}, settings);
                Picture target(40, 2);
                DifferenceTable table;
                table.Build(c.metric, exposures[e]);
                DifferenceTotals totals;
                RenderDifferenceRowsUsing(kernels, a.compared, b.compared, {0, 0}, settings, table, 0,
                                          target.compared.pixels, 0, 2, totals);
                for (int32_t x = 0; x < 40; ++x) {
                    ASSERT_EQ(target.At(x, 1), c.expected[e]) << static_cast<int>(c.metric) << " e " << exposures[e];
                }
            }
        }
    }
}

// A channel differing by exactly the tolerance does not differ; one more does.
TEST(CompareColours, ToleranceEdges) {
    for (int32_t tolerance : {0, 1, 17, 254}) {
        Picture a(24, 3), b(24, 3);
        a.Fill(Rgb(100, 150, 255));
        b.Fill(Rgb(100, 150, static_cast<uint32_t>(255 - tolerance)));
        for (int32_t x = 0; x < 24; x += 3) b.At(x, 1) = Rgb(100, 150, static_cast<uint32_t>(254 - tolerance));
        for (DifferenceKernels kernels : BOTH_KERNELS) {
            Picture target(24, 3);
            DifferenceTable table;
            DifferenceTotals totals;
            const CompareSettings settings{DifferenceMetric::ToleranceMask, 0, tolerance, Alignment::TopLeft};
            RenderDifferenceRowsUsing(kernels, a.compared, b.compared, {0, 0}, settings, table, 0,
                                      target.compared.pixels, 0, 3, totals);
            EXPECT_EQ(totals.differing, 8u);
            // grey (299*100 + 587*150 + 114*255 + 500) / 1000 = 147 -> 192 + 36.
            EXPECT_EQ(target.At(1, 1), 0xE4E4E4u);
            EXPECT_EQ(target.At(3, 1), 0xFF0000u);
        }
    }
}

TEST(CompareStatistics, IdenticalOneChannelAndAlpha) {
    Picture a(16, 8), b(16, 8);
    std::mt19937 random(7);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 16; ++x) a.At(x, y) = b.At(x, y) = random() & 0xFFFFFF;
    Picture target(16, 8);
    DifferenceTable table;
    DifferenceTotals same;
    RenderDifferenceRows(a.compared, b.compared, {0, 0}, {}, table, 0, target.compared.pixels, 0, 8, same);
    CompareFigures figures = FiguresOf(same, false);
    EXPECT_EQ(figures.overlapPixels, 128u);
    EXPECT_EQ(figures.differingPixels, 0u);
    EXPECT_EQ(figures.mae, 0.0);
    EXPECT_EQ(figures.psnr, std::numeric_limits<double>::infinity());

    // Green of one pixel 51 higher: e = 0.2 once among 3 x 128 values.
    b.At(3, 2) = Rgb(10, 20, 30);
    a.At(3, 2) = Rgb(10, 71, 30);
    DifferenceTotals one;
    RenderDifferenceRows(a.compared, b.compared, {0, 0}, {}, table, 0, target.compared.pixels, 0, 8, one);
    figures = FiguresOf(one, false);
    EXPECT_EQ(figures.differingPixels, 1u);
    EXPECT_NEAR(figures.differingShare, 1.0 / 128, 1e-15);
    EXPECT_NEAR(figures.mae, 0.2 / 384, 1e-15);
    EXPECT_NEAR(figures.rmse, std::sqrt(0.04 / 384), 1e-15);
    EXPECT_NEAR(figures.psnr, 10 * std::log10(384 / 0.04), 1e-9);
    EXPECT_NEAR(figures.pae, 0.2, 1e-15);
    EXPECT_EQ(figures.maxDelta[1], 51);
    EXPECT_EQ(figures.minDelta[1], 0);
    EXPECT_NEAR(figures.meanDelta[1], 51.0 / 128, 1e-15);

    // Opaque grey 100 against the same grey at alpha 128: colours weigh
    // (255 - 128) 100 / 255^2, alpha (255 - 128) / 255.
    Picture opaque(8, 1), translucent(8, 1, true);
    opaque.Fill(Rgb(100, 100, 100, 7));  // the fourth byte means nothing without alpha
    translucent.Fill(Rgb(100, 100, 100, 128));
    Picture small(8, 1);
    DifferenceTotals alpha;
    RenderDifferenceRows(opaque.compared, translucent.compared, {0, 0}, {}, table, 0, small.compared.pixels, 0, 1,
                         alpha);
    figures = FiguresOf(alpha, true);
    const double colourError = 127.0 * 100 / (255.0 * 255), alphaError = 127.0 / 255;
    EXPECT_NEAR(figures.mae, (3 * colourError + alphaError) / 4, 1e-15);
    EXPECT_NEAR(figures.rmse, std::sqrt((3 * colourError * colourError + alphaError * alphaError) / 4), 1e-15);
    EXPECT_NEAR(figures.pae, alphaError, 1e-15);
    EXPECT_EQ(figures.maxDelta[3], 127);
    EXPECT_EQ(figures.differingPixels, 8u);
}

// Random pairs of every shape against the model: sizes, strides, offsets
// (none left, huge), alpha on either side, every metric, exposure and
// tolerances; long rows cross the wide kernel's chunks.
TEST(CompareRows, RandomPairsMatchTheModel) {
    std::mt19937 random(20261209);
    auto pick = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    for (int32_t round = 0; round < 160; ++round) {
        const bool longRow = round % 20 == 0;
        Picture a(longRow ? pick(600, 1300) : pick(1, 40), pick(1, 12), pick(0, 1) == 1, pick(0, 2));
        Picture b(longRow ? pick(600, 1300) : pick(1, 40), pick(1, 12), pick(0, 1) == 1, pick(0, 2));
        for (Picture* p : {&a, &b}) {
            for (int32_t y = 0; y < p->compared.pixels.height; ++y) {
                for (int32_t x = 0; x < p->compared.pixels.width; ++x) {
                    // Mostly near a shared base, so that small tolerances and exposures matter.
                    p->At(x, y) = pick(0, 3) == 0 ? random() : (0x80808080u + (random() & 0x07070707u));
                }
            }
        }
        PairOffset offset{pick(-15, 15), pick(-6, 6)};
        if (round % 16 == 1) offset = {std::numeric_limits<int32_t>::min(), 0};
        if (round % 16 == 2) offset = {0, std::numeric_limits<int32_t>::max()};
        const CompareSettings settings{static_cast<DifferenceMetric>(pick(0, DIFFERENCE_METRIC_COUNT - 1)),
                                       pick(EXPOSURE_MIN, EXPOSURE_MAX), pick(0, 3) == 0 ? pick(0, 255) : pick(0, 4),
                                       Alignment::TopLeft};
        for (DifferenceKernels kernels : BOTH_KERNELS) {
            SCOPED_TRACE(testing::Message() << "round " << round << " metric " << static_cast<int>(settings.metric)
                                            << " exposure " << settings.exposure << " offset " << offset.dx << ","
                                            << offset.dy);
            ExpectPassMatchesModel(kernels, a, b, offset, settings);
        }
    }
}

// Row ranges split anywhere, painted in any order on any thread and merged
// in any order, give one pass's target and totals.
TEST(CompareRows, SplitRowRangesMergeToOnePass) {
    std::mt19937 random(5);
    Picture a(300, 90, true), b(280, 100);
    for (Picture* p : {&a, &b})
        for (int32_t y = 0; y < p->compared.pixels.height; ++y)
            for (int32_t x = 0; x < p->compared.pixels.width; ++x) p->At(x, y) = random();
    const CompareSettings settings{DifferenceMetric::Signed, 2, 9, Alignment::Centre};
    const PairOffset offset = OffsetOf(settings.alignment, 300, 90, 280, 100, 4, -3);
    DifferenceTable table;
    table.Build(settings.metric, settings.exposure);
    Picture whole(300, 90);
    DifferenceTotals one;
    RenderDifferenceRows(a.compared, b.compared, offset, settings, table, 1, whole.compared.pixels, 0, 90, one);

    std::vector<int32_t> cuts = {0, 90};
    for (int32_t k = 0; k < 6; ++k) cuts.push_back(std::uniform_int_distribution<int32_t>(0, 90)(random));
    std::sort(cuts.begin(), cuts.end());
    std::vector<DifferenceTotals> parts(cuts.size() - 1);
    Picture split(300, 90);
    std::vector<std::thread> threads;
    for (size_t k = parts.size(); k-- > 0;) {
        threads.emplace_back([&, k] {
            RenderDifferenceRows(a.compared, b.compared, offset, settings, table, 1, split.compared.pixels, cuts[k],
                                 cuts[k + 1], parts[k]);
        });
    }
    for (std::thread& thread : threads) thread.join();
    std::shuffle(parts.begin(), parts.end(), random);
    DifferenceTotals merged;
    for (const DifferenceTotals& part : parts) MergeTotals(merged, part);

    EXPECT_EQ(split.bytes, whole.bytes);
    EXPECT_EQ(merged.pixels, one.pixels);
    EXPECT_EQ(merged.differing, one.differing);
    for (int32_t c = 0; c < 4; ++c) {
        EXPECT_EQ(merged.minDelta[c], one.minDelta[c]);
        EXPECT_EQ(merged.maxDelta[c], one.maxDelta[c]);
        EXPECT_EQ(merged.sumDelta[c], one.sumDelta[c]);
    }
    EXPECT_EQ(merged.sumAbsWeighted, one.sumAbsWeighted);
    EXPECT_EQ(merged.sumSquaredWeighted, one.sumSquaredWeighted);
    EXPECT_EQ(merged.maxAbsWeighted, one.maxAbsWeighted);
}

// A target too large for the caches is written past them by the wide kernels.
TEST(CompareRows, LargeTargetsMatchThePlainLoop) {
    std::mt19937 random(11);
    Picture a(2100, 2050, true), b(2000, 2100);
    for (Picture* p : {&a, &b})
        for (uint8_t& byte : p->bytes) byte = static_cast<uint8_t>(0x80 + (random() & 15));
    const CompareSettings settings{DifferenceMetric::ToleranceMask, 0, 6, Alignment::TopLeft};
    DifferenceTable table;
    Picture plain(2100, 2050), wide(2100, 2050);
    DifferenceTotals plainTotals, wideTotals;
    RenderDifferenceRowsUsing(DifferenceKernels::Portable, a.compared, b.compared, {3, -1}, settings, table, 1,
                              plain.compared.pixels, 0, 2050, plainTotals);
    RenderDifferenceRowsUsing(DifferenceKernels::Best, a.compared, b.compared, {3, -1}, settings, table, 1,
                              wide.compared.pixels, 0, 2050, wideTotals);
    EXPECT_TRUE(plain.bytes == wide.bytes);
    EXPECT_EQ(plainTotals.differing, wideTotals.differing);
    EXPECT_EQ(plainTotals.sumSquaredWeighted, wideTotals.sumSquaredWeighted);
}

// The reference placed under this picture: its pixels where it has one,
// the background elsewhere, nothing outside the target.
TEST(CompareRows, PlacedReferenceKeepsItsPixels) {
    Picture reference(6, 5), target(9, 4);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 6; ++x) reference.At(x, y) = static_cast<uint32_t>(y * 16 + x);
    for (const PairOffset offset : {PairOffset{-2, 1}, PairOffset{3, -2}, PairOffset{40, 0},
                                    PairOffset{std::numeric_limits<int32_t>::min(), 0}}) {
        PlaceReferenceRows(reference.compared.pixels, 9, 4, offset, BACKGROUND, target.compared.pixels, -5, 99);
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 9; ++x) {
                const int64_t rx = int64_t{x} + offset.dx, ry = int64_t{y} + offset.dy;
                const bool inside = rx >= 0 && ry >= 0 && rx < 6 && ry < 5;
                EXPECT_EQ(target.At(x, y), inside ? static_cast<uint32_t>(ry * 16 + rx) : BACKGROUND) << x << "," << y;
            }
        }
    }
}

// Recorded from ImageMagick 6.9.11-60 (Debian's imagemagick) on this pair,
// written as binary PPMs (P6, 64 48 255, rows top-down, R G B) of Pixel(0)
// and Pixel(1):
//   /usr/bin/compare -precision 10 -metric MAE p0.ppm p1.ppm null:  -> 511.7969835 (0.007809521378)
//   /usr/bin/compare -precision 10 -metric RMSE p0.ppm p1.ppm null: -> 1308.918551 (0.01997281683)
//   /usr/bin/compare -precision 10 -metric PSNR p0.ppm p1.ppm null: -> 33.99121362
//   /usr/bin/compare -precision 10 -metric PAE p0.ppm p1.ppm null:  -> 58339 (0.8901960784)
//   /usr/bin/compare -precision 10 -metric AE p0.ppm p1.ppm null:   -> 2839
uint32_t GeneratedPixel(int32_t which, int32_t x, int32_t y) {
    int32_t r = (x * 4 + y * 3) % 256, g = (x * y) % 256, b = ((x ^ y) * 5) % 256;
    if (which == 1) {
        r = std::clamp(r + (x * 7 + y * 3) % 11 - 5, 0, 255);
        if ((x + y) % 5 == 0) g ^= 16;
        if (x == 40 && y == 30) b = 255 - b;
    }
    return Rgb(static_cast<uint32_t>(r), static_cast<uint32_t>(g), static_cast<uint32_t>(b));
}

void ExpectFourDigits(double actual, double recorded) {
    EXPECT_LE(std::fabs(actual - recorded), 0.5e-4 * std::fabs(recorded))
        << std::setprecision(10) << actual << " against " << recorded;
}

TEST(CompareStatistics, AgreesWithImageMagickCompare) {
    Picture a(64, 48), b(64, 48);
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            a.At(x, y) = GeneratedPixel(0, x, y);
            b.At(x, y) = GeneratedPixel(1, x, y);
        }
    }
    for (DifferenceKernels kernels : BOTH_KERNELS) {
        Picture target(64, 48);
        DifferenceTable table;
        DifferenceTotals totals;
        RenderDifferenceRowsUsing(kernels, a.compared, b.compared, {0, 0}, {}, table, 0, target.compared.pixels, 0,
                                  48, totals);
        const CompareFigures figures = FiguresOf(totals, false);
        ExpectFourDigits(figures.mae, 0.007809521378);
        ExpectFourDigits(figures.rmse, 0.01997281683);
        ExpectFourDigits(figures.psnr, 33.99121362);
        ExpectFourDigits(figures.pae, 0.8901960784);
        EXPECT_EQ(figures.differingPixels, 2839u);
    }
}

}  // namespace
