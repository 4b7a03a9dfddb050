// The texts of comparing: the mode after the zoom (status part 0), the
// difference under the cursor (part 4), the differing pixels (part 3) and the
// report of the 比较信息 window. Wide, for the W-functions; their words come
// in a CompareWords of the language in use.
#pragma once

#include <cstdint>
#include <string>

#include "core/compare/difference.h"

// The words and line patterns of comparing in one language, %1, %2, ...
// filled in (the Chinese in the comments); the program takes them from its
// string tables.
struct CompareWords {
    std::wstring metricNames[DIFFERENCE_METRIC_COUNT];  // 绝对差, 平方差, ...: the 度量 menu's
    std::wstring differenceMode;                        // "差异 %1": the metric and its exposure
    std::wstring toleranceMode;                         // "容差 %1"
    std::wstring offsetMode;                            // "偏移 %1"
    std::wstring autoFlickerMode;                       // "自动闪烁"
    std::wstring wipeMode;                              // "分割对比"
    std::wstring noReferencePixel;                      // "无参考像素"
    std::wstring identical;                             // "相同"
    std::wstring noOverlap;                             // "无重叠"
    std::wstring differing;                             // "差异 %1 (%2)": count, share
    std::wstring pictureLine;                           // "本图 a\t%1\t%2": name, size
    std::wstring referenceLine;                         // "参考 b\t%1\t%2"
    std::wstring alignmentLine;                         // "对齐\t%1，偏移 %2"
    std::wstring centre;                                // "居中"
    std::wstring topLeft;                               // "左上"
    std::wstring overlapLine;                           // "重叠\t%1，a %2 = b %3": size, corners
    std::wstring noOverlapLine;                         // "重叠\t%1": no overlap
    std::wstring cursorLine;                            // "光标 %1": the point
    std::wstring cursorOutsideLine;                     // "光标 %1：%2": the point, no reference pixel
    std::wstring hexadecimal;                           // "十六进制"
    std::wstring wholeOverlapLine;                      // "整个重叠区域 %1 像素"
    std::wstring statisticsHeader;                      // "  a-b\t最小\t最大\t平均"
    std::wstring differingLine;                         // "差异像素（容差 %1）\t%2": tolerance, differing
    std::wstring noMemoryForFigures;                    // "内存不足，无法计算整个重叠区域的数字。"
};

// The metric's name, as the 度量 menu says it.
const std::wstring& MetricName(DifferenceMetric metric, const CompareWords& words);

// What part 0 shows of a window besides its zoom.
struct CompareMode {
    bool difference = false;  // its difference view shows
    bool autoFlicker = false;
    bool wipe = false;
    int32_t offsetX = 0;  // the window's own offset against the reference
    int32_t offsetY = 0;
};

// The items after the zoom, each led by two spaces:
// "  差异 绝对差 ×4  容差 0  偏移 +3,-1". The metric, exposure (where the
// metric uses it) and tolerance show in a difference view, the offset when
// it is not zero; empty when nothing applies.
std::wstring CompareModeText(const CompareMode& mode, const CompareSettings& settings, const CompareWords& words);

// "Δ -3,+0,+12", and with withAlpha ",a+5" after it: a - b per channel of two
// colours as decoded (0xAARRGGBB), in 8-bit units.
std::wstring DeltaText(uint32_t a, uint32_t b, bool withAlpha);

// "差异 1,234 (0.51%)": the share rounded to hundredths of a percent, half
// up, but never 0.00 % while a pixel differs nor 100.00 % while one agrees;
// "相同" when no pixel differs, "无重叠" when the pictures do not overlap.
std::wstring DifferingText(uint64_t differing, uint64_t overlap, const CompareWords& words);

// "1,234,567".
std::wstring GroupedNumber(uint64_t value);

// Everything the 比较信息 window reports of a pair.
struct CompareReport {
    std::wstring name;           // this picture's file name
    std::wstring referenceName;  // the reference's
    uint32_t width = 0, height = 0;
    uint32_t referenceWidth = 0, referenceHeight = 0;
    Alignment alignment = Alignment::TopLeft;
    int32_t offsetX = 0, offsetY = 0;  // the window's own offset
    OverlapRect overlap{0, 0, 0, 0};   // in this picture's pixels
    PairOffset pairOffset{};
    // The picture pixel under the cursor, its colour and the reference's
    // there (0xAARRGGBB as decoded); cursorInOverlap says whether b exists.
    int32_t cursorX = 0, cursorY = 0;
    bool cursorInOverlap = false;
    uint32_t a = 0, b = 0;
    bool withAlpha = false;
    bool figuresKnown = false;  // false when they could not be computed
    CompareFigures figures{};
    int32_t tolerance = 0;
};

// The report, lines ended by "\r\n" as a multi-line edit field takes them.
std::wstring CompareReportText(const CompareReport& report, const CompareWords& words);
