#include "verdicts.h"

#include <gtest/gtest.h>

namespace userbench {

TEST(UserBenchSummary, BestMedianWorstOfUnsortedRepeats) {
    const Summary odd = Summarise({5, 1, 3});
    EXPECT_EQ(odd.count, 3u);
    EXPECT_EQ(odd.best, 1);
    EXPECT_EQ(odd.median, 3);
    EXPECT_EQ(odd.worst, 5);
    EXPECT_EQ(Summarise({4, 1, 2, 8}).median, 3);
    EXPECT_EQ(Summarise({}).count, 0u);
}

TEST(UserBenchRepaint, ShownOnlyWhenEveryRowHasMostlyChanged) {
    const std::vector<uint32_t> before = {1, 1, 1, 1, 2, 2, 2, 2};
    EXPECT_TRUE(EveryRowChanged(before, {9, 9, 1, 1, 9, 9, 2, 2}, 2));   // half of each row
    EXPECT_FALSE(EveryRowChanged(before, {9, 9, 9, 9, 9, 2, 2, 2}, 2));  // the second row not yet
    EXPECT_FALSE(EveryRowChanged(before, {}, 2));                         // the window's width changed
}

TEST(UserBenchVerdict, MedianAgainstTheLimitAndBestAgainstTheLimitOnBests) {
    const Summary measured = Summarise({10, 20, 60});
    EXPECT_EQ(Verdict(measured, {"", 40, 20, false}), "met (0.50; best 0.50)");
    EXPECT_EQ(Verdict(measured, {"", 10, 10, false}), "MISSED (2.00; best 1.00)");
    EXPECT_EQ(Verdict(measured, {"", 50, 50, true}), "MISSED (1.20)");  // throughout: the worst counts
    EXPECT_EQ(Verdict(Summary{}, {"", 50, 50, false}), "not measured");
}

}  // namespace userbench
