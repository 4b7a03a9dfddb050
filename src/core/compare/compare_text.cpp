#include "core/compare/compare_text.h"

#include <cmath>
#include <cstdio>

#include "core/text/text.h"

namespace {

constexpr uint32_t RED_SHIFT = 16;
constexpr uint32_t GREEN_SHIFT = 8;
constexpr uint32_t ALPHA_SHIFT = 24;
constexpr uint32_t BYTE_MASK = 0xFFu;
constexpr size_t DIGITS_PER_GROUP = 3;
constexpr uint64_t HUNDREDTHS_OF_PERCENT = 10000;
constexpr int CHANNELS_WITHOUT_ALPHA = 3;
constexpr int CHANNELS_WITH_ALPHA = 4;
constexpr int ALPHA_CHANNEL = 3;
constexpr size_t NUMBER_BUFFER = 64;
constexpr wchar_t LINE_END[] = L"\r\n";

constexpr const wchar_t* CHANNEL_NAMES[CHANNELS_WITH_ALPHA] = {L"R", L"G", L"B", L"A"};

int32_t Channel(uint32_t colour, int channel) {
    constexpr uint32_t SHIFTS[CHANNELS_WITH_ALPHA] = {RED_SHIFT, GREEN_SHIFT, 0, ALPHA_SHIFT};
    return static_cast<int32_t>((colour >> SHIFTS[channel]) & BYTE_MASK);
}

// Numbers are ASCII; this takes them into a wide text.
std::wstring Widened(const char* text) {
    std::wstring wide;
    while (*text != '\0') wide += static_cast<wchar_t>(*text++);
    return wide;
}

std::wstring Signed(int64_t value) { return (value < 0 ? L"-" : L"+") + std::to_wstring(value < 0 ? -value : value); }

std::wstring SignedHex(int32_t value) {
    char text[NUMBER_BUFFER];
    std::snprintf(text, sizeof text, "%c%02X", value < 0 ? '-' : '+', static_cast<unsigned>(value < 0 ? -value : value));
    return Widened(text);
}

std::wstring Hex(int32_t value) {
    char text[NUMBER_BUFFER];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
    return Widened(text);
}

// Six significant digits: the figures agree with other tools to four.
std::wstring Figure(double value) {
    char text[NUMBER_BUFFER];
    std::snprintf(text, sizeof text, "%.6g", value);
    return Widened(text);
}

std::wstring SignedFixed(double value) {
    char text[NUMBER_BUFFER];
    std::snprintf(text, sizeof text, "%+.4f", value);
    return Widened(text);
}

std::wstring ExposureFactor(int32_t exposure) {
    const int32_t magnitude = exposure < 0 ? -exposure : exposure;
    const std::wstring power = std::to_wstring(1u << magnitude);
    return exposure < 0 ? L"×1/" + power : L"×" + power;
}

std::wstring Size(uint32_t width, uint32_t height) { return std::to_wstring(width) + L" x " + std::to_wstring(height); }

std::wstring Point(int64_t x, int64_t y) { return L"(" + std::to_wstring(x) + L"," + std::to_wstring(y) + L")"; }

// One colour's channels, each through `item`, joined by commas.
template <typename Item>
std::wstring Channels(int channels, Item item) {
    std::wstring text;
    for (int channel = 0; channel < channels; ++channel) {
        if (channel > 0) text += L",";
        text += item(channel);
    }
    return text;
}

void AddCursorLines(std::wstring& text, const CompareReport& report, int channels, const CompareWords& words) {
    const std::wstring point = Point(report.cursorX, report.cursorY);
    if (!report.cursorInOverlap) {
        text += FillPattern(words.cursorOutsideLine, {point, words.noReferencePixel}) + LINE_END;
        return;
    }
    text += FillPattern(words.cursorLine, {point}) + L"\t" + (channels == CHANNELS_WITH_ALPHA ? L"R,G,B,A" : L"R,G,B") +
            L"\t" + words.hexadecimal + LINE_END;
    const auto value = [&](uint32_t colour) {
        return Channels(channels, [&](int c) { return std::to_wstring(Channel(colour, c)); }) + L"\t" +
               Channels(channels, [&](int c) { return Hex(Channel(colour, c)); });
    };
    text += L"  a\t" + value(report.a) + LINE_END;
    text += L"  b\t" + value(report.b) + LINE_END;
    const auto delta = [&](int c) { return Channel(report.a, c) - Channel(report.b, c); };
    text += L"  a-b\t" + Channels(channels, [&](int c) { return Signed(delta(c)); }) + L"\t" +
            Channels(channels, [&](int c) { return SignedHex(delta(c)); }) + LINE_END;
}

void AddFigureLines(std::wstring& text, const CompareReport& report, int channels, const CompareWords& words) {
    const CompareFigures& figures = report.figures;
    text += FillPattern(words.wholeOverlapLine, {GroupedNumber(figures.overlapPixels)}) + LINE_END;
    text += words.statisticsHeader + LINE_END;
    for (int channel = 0; channel < channels; ++channel) {
        text += std::wstring(L"  ") + CHANNEL_NAMES[channel] + L"\t" + Signed(figures.minDelta[channel]) + L"\t" +
                Signed(figures.maxDelta[channel]) + L"\t" + SignedFixed(figures.meanDelta[channel]) + LINE_END;
    }
    text += L"MAE\t" + Figure(figures.mae) + LINE_END;
    text += L"RMSE\t" + Figure(figures.rmse) + LINE_END;
    text += L"PSNR\t" + (std::isinf(figures.psnr) ? std::wstring(L"∞") : Figure(figures.psnr)) + L" dB" + LINE_END;
    text += L"PAE\t" + Figure(figures.pae) + LINE_END;
    text += FillPattern(words.differingLine, {std::to_wstring(report.tolerance),
                                              DifferingText(figures.differingPixels, figures.overlapPixels, words)}) +
            LINE_END;
}

}  // namespace

const std::wstring& MetricName(DifferenceMetric metric, const CompareWords& words) {
    const int32_t index = static_cast<int32_t>(metric);
    return words.metricNames[index >= 0 && index < DIFFERENCE_METRIC_COUNT ? index : 0];
}

std::wstring CompareModeText(const CompareMode& mode, const CompareSettings& settings, const CompareWords& words) {
    constexpr wchar_t ITEM_SEPARATOR[] = L"  ";
    std::wstring text;
    if (mode.difference) {
        std::wstring metric = MetricName(settings.metric, words);
        if (settings.metric != DifferenceMetric::ToleranceMask) metric += L" " + ExposureFactor(settings.exposure);
        text += ITEM_SEPARATOR + FillPattern(words.differenceMode, {metric});
        text += ITEM_SEPARATOR + FillPattern(words.toleranceMode, {std::to_wstring(settings.tolerance)});
    }
    if (mode.offsetX != 0 || mode.offsetY != 0) {
        text += ITEM_SEPARATOR + FillPattern(words.offsetMode, {Signed(mode.offsetX) + L"," + Signed(mode.offsetY)});
    }
    if (mode.autoFlicker) text += ITEM_SEPARATOR + words.autoFlickerMode;
    if (mode.wipe) text += ITEM_SEPARATOR + words.wipeMode;
    return text;
}

std::wstring DeltaText(uint32_t a, uint32_t b, bool withAlpha) {
    std::wstring text = L"Δ ";
    for (int channel = 0; channel < CHANNELS_WITHOUT_ALPHA; ++channel) {
        if (channel > 0) text += L",";
        text += Signed(Channel(a, channel) - Channel(b, channel));
    }
    if (withAlpha) text += L",a" + Signed(Channel(a, ALPHA_CHANNEL) - Channel(b, ALPHA_CHANNEL));
    return text;
}

std::wstring GroupedNumber(uint64_t value) {
    const std::wstring digits = std::to_wstring(value);
    std::wstring text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % DIGITS_PER_GROUP == 0) text += L',';
        text += digits[i];
    }
    return text;
}

std::wstring DifferingText(uint64_t differing, uint64_t overlap, const CompareWords& words) {
    if (overlap == 0) return words.noOverlap;
    if (differing == 0) return words.identical;
    // Hundredths of a percent, rounded half up, in integers; a share that
    // rounds to none or to all shows the nearest that is not.
    uint64_t hundredths = (differing * HUNDREDTHS_OF_PERCENT * 2 + overlap) / (overlap * 2);
    if (hundredths == 0) hundredths = 1;
    if (hundredths == HUNDREDTHS_OF_PERCENT && differing < overlap) hundredths = HUNDREDTHS_OF_PERCENT - 1;
    char share[NUMBER_BUFFER];
    std::snprintf(share, sizeof share, "%llu.%02llu%%", static_cast<unsigned long long>(hundredths / 100),
                  static_cast<unsigned long long>(hundredths % 100));
    return FillPattern(words.differing, {GroupedNumber(differing), Widened(share)});
}

std::wstring CompareReportText(const CompareReport& report, const CompareWords& words) {
    const int channels = report.withAlpha ? CHANNELS_WITH_ALPHA : CHANNELS_WITHOUT_ALPHA;
    std::wstring text;
    text += FillPattern(words.pictureLine, {report.name, Size(report.width, report.height)}) + LINE_END;
    text += FillPattern(words.referenceLine, {report.referenceName, Size(report.referenceWidth, report.referenceHeight)}) +
            LINE_END;
    text += FillPattern(words.alignmentLine, {report.alignment == Alignment::Centre ? words.centre : words.topLeft,
                                              Signed(report.offsetX) + L"," + Signed(report.offsetY)}) +
            LINE_END;
    const OverlapRect& overlap = report.overlap;
    const bool overlaps = overlap.left < overlap.right && overlap.top < overlap.bottom;
    if (overlaps) {
        text += FillPattern(words.overlapLine,
                            {Size(static_cast<uint32_t>(overlap.right - overlap.left),
                                  static_cast<uint32_t>(overlap.bottom - overlap.top)),
                             Point(overlap.left, overlap.top),
                             Point(static_cast<int64_t>(overlap.left) + report.pairOffset.dx,
                                   static_cast<int64_t>(overlap.top) + report.pairOffset.dy)}) +
                LINE_END;
    } else {
        text += FillPattern(words.noOverlapLine, {words.noOverlap}) + LINE_END;
    }
    text += LINE_END;
    AddCursorLines(text, report, channels, words);
    text += LINE_END;
    if (!overlaps) return text;
    if (!report.figuresKnown) {
        text += words.noMemoryForFigures + LINE_END;
        return text;
    }
    AddFigureLines(text, report, channels, words);
    return text;
}
