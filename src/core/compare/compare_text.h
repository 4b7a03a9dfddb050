// The texts of comparing: the mode after the zoom (status part 0), the
// difference under the cursor (part 4), the differing pixels (part 3) and the
// report of the 比较信息 window. Wide, for the W-functions.
#pragma once

#include <cstdint>
#include <string>

#include "core/compare/difference.h"

inline constexpr wchar_t TEXT_NO_REFERENCE_PIXEL[] = L"无参考像素";
inline constexpr wchar_t TEXT_IDENTICAL[] = L"相同";
inline constexpr wchar_t TEXT_NO_OVERLAP[] = L"无重叠";

// 绝对差, 平方差, ...: the names of the 度量 menu.
const wchar_t* MetricName(DifferenceMetric metric);

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
std::wstring CompareModeText(const CompareMode& mode, const CompareSettings& settings);

// "Δ -3,+0,+12", and with withAlpha ",a+5" after it: a - b per channel of two
// colours as decoded (0xAARRGGBB), in 8-bit units.
std::wstring DeltaText(uint32_t a, uint32_t b, bool withAlpha);

// "差异 1,234 (0.51%)": the share rounded to hundredths of a percent, half
// up, but never 0.00 % while a pixel differs nor 100.00 % while one agrees;
// "相同" when no pixel differs, "无重叠" when the pictures do not overlap.
std::wstring DifferingText(uint64_t differing, uint64_t overlap);

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
std::wstring CompareReportText(const CompareReport& report);
