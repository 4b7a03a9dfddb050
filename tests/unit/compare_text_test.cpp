// The share of differing pixels at its rounding edges, which the end-to-end
// pairs never reach, and the largest counts.
#include <gtest/gtest.h>

#include "core/compare/compare_text.h"

namespace {

// The words the Chinese string table gives.
CompareWords ChineseWords() {
    CompareWords words;
    words.identical = L"相同";
    words.noOverlap = L"无重叠";
    words.differing = L"差异 %1 (%2)";
    return words;
}

TEST(CompareText, DifferingShareRoundsHalfUpAndGroupsThousands) {
    EXPECT_EQ(DifferingText(0, 0, ChineseWords()), L"无重叠");
    EXPECT_EQ(DifferingText(1, 20000, ChineseWords()), L"差异 1 (0.01%)");  // 0.005 % exactly: up
    EXPECT_EQ(DifferingText(1, 20001, ChineseWords()), L"差异 1 (0.01%)");  // under: never 0.00 % while one differs
    EXPECT_EQ(DifferingText(19998, 20000, ChineseWords()), L"差异 19,998 (99.99%)");
    EXPECT_EQ(DifferingText(19999, 20000, ChineseWords()), L"差异 19,999 (99.99%)");  // 99.995: never 100.00 % while one agrees
    EXPECT_EQ(DifferingText(4294836225ull, 4294836225ull, ChineseWords()), L"差异 4,294,836,225 (100.00%)");
}

}  // namespace
