// The share of differing pixels at its rounding edges, which the end-to-end
// pairs never reach, and the largest counts.
#include <gtest/gtest.h>

#include "core/compare/compare_text.h"

namespace {

TEST(CompareText, DifferingShareRoundsHalfUpAndGroupsThousands) {
    EXPECT_EQ(DifferingText(0, 0), L"无重叠");
    EXPECT_EQ(DifferingText(1, 20000), L"差异 1 (0.01%)");  // 0.005 % exactly: up
    EXPECT_EQ(DifferingText(1, 20001), L"差异 1 (0.01%)");  // under: never 0.00 % while one differs
    EXPECT_EQ(DifferingText(19998, 20000), L"差异 19,998 (99.99%)");
    EXPECT_EQ(DifferingText(19999, 20000), L"差异 19,999 (99.99%)");  // 99.995: never 100.00 % while one agrees
    EXPECT_EQ(DifferingText(4294836225ull, 4294836225ull), L"差异 4,294,836,225 (100.00%)");
}

}  // namespace
