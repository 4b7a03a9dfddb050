// The texts of comparing at their edges: the share's rounding and grouping,
// the mode after the zoom, the difference under the cursor.
#include <gtest/gtest.h>

#include "core/compare/compare_text.h"

namespace {

TEST(CompareText, DifferingShareRoundsHalfUpAndGroupsThousands) {
    EXPECT_EQ(DifferingText(0, 0), L"无重叠");
    EXPECT_EQ(DifferingText(0, 1), L"相同");
    EXPECT_EQ(DifferingText(1234, 241000), L"差异 1,234 (0.51%)");
    EXPECT_EQ(DifferingText(1, 20000), L"差异 1 (0.01%)");   // 0.005 % exactly: up
    EXPECT_EQ(DifferingText(1, 20001), L"差异 1 (0.00%)");   // just under
    EXPECT_EQ(DifferingText(999, 1000), L"差异 999 (99.90%)");
    EXPECT_EQ(DifferingText(24000000, 24000000), L"差异 24,000,000 (100.00%)");
    EXPECT_EQ(DifferingText(4294836225ull, 4294836225ull), L"差异 4,294,836,225 (100.00%)");
    EXPECT_EQ(GroupedNumber(100), L"100");
    EXPECT_EQ(GroupedNumber(1000), L"1,000");
}

TEST(CompareText, ModeShowsOnlyThePartsThatApply) {
    CompareSettings settings;
    CompareMode mode;
    EXPECT_EQ(CompareModeText(mode, settings), L"");
    mode.difference = true;
    mode.offsetX = 3;
    mode.offsetY = -1;
    settings.exposure = 2;
    EXPECT_EQ(CompareModeText(mode, settings), L"  差异 绝对差 ×4  容差 0  偏移 +3,-1");
    settings.exposure = -8;
    settings.metric = DifferenceMetric::RelativeSquared;
    EXPECT_EQ(CompareModeText(mode, settings), L"  差异 相对平方差 ×1/256  容差 0  偏移 +3,-1");
    settings.metric = DifferenceMetric::ToleranceMask;
    settings.tolerance = 255;
    mode.offsetX = mode.offsetY = 0;
    mode.wipe = true;
    EXPECT_EQ(CompareModeText(mode, settings), L"  差异 容差掩码  容差 255  分割对比");
}

TEST(CompareText, DeltaIsSignedPerChannel) {
    EXPECT_EQ(DeltaText(0xFF0A1020, 0xFF0D1014, false), L"Δ -3,+0,+12");
    EXPECT_EQ(DeltaText(0x80FF0000, 0x7B00FF00, true), L"Δ +255,-255,+0,a+5");
}

}  // namespace
