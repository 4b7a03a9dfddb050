// The scroll-bar arithmetic: splitting notification words, the position a
// request asks for, and the clamping the platform applies.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "core/geometry/scrolling.h"

namespace {

WordHalves Split(uint32_t value) {
    WordHalves halves{};
    SplitWord(value, halves);
    return halves;
}

TEST(SplitWord, BothHalvesAreSignExtended) {
    EXPECT_EQ(Split(0x0001FFFFu).low, -1);
    EXPECT_EQ(Split(0x0001FFFFu).high, 1);
    EXPECT_EQ(Split(0xFFFF8000u).low, -32768);
    EXPECT_EQ(Split(0xFFFF8000u).high, -1);
    EXPECT_EQ(Split(0x7FFF7FFFu).low, 32767);
    EXPECT_EQ(Split(0x7FFF7FFFu).high, 32767);
    EXPECT_EQ(Split(0x80000000u).low, 0);
    EXPECT_EQ(Split(0x80000000u).high, -32768);
    // Wheel words: a delta of -120 in the high half, key flags in the low one.
    EXPECT_EQ(Split(0xFF880008u).high, -120);
    EXPECT_EQ(Split(0xFF880008u).low, 8);
    EXPECT_EQ(Split(0x00F00000u).high, 240);
    // A thumb request carries a 16-bit position above the code.
    EXPECT_EQ(Split(0xFFFF0005u).low, SCROLL_THUMB_TRACK);
}

PlainScrollInfo Bar(int32_t nPos, int32_t nTrackPos) {
    PlainScrollInfo bar{};
    bar.nMin = 0;
    bar.nMax = 99999;
    bar.nPage = 300;
    bar.nPos = nPos;
    bar.nTrackPos = nTrackPos;
    return bar;
}

TEST(ScrollRequestPosition, EveryRequestCode) {
    const PlainScrollInfo bar = Bar(1000, 70000);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_LINE_BACK, bar, 300), 1000 - LINE_STEP);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_LINE_FORWARD, bar, 300), 1000 + LINE_STEP);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_PAGE_BACK, bar, 300), 1000 - 296);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_PAGE_FORWARD, bar, 300), 1000 + 296);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_THUMB_POSITION, bar, 300), 70000);  // past 16 bits
    EXPECT_EQ(ScrollRequestPosition(SCROLL_THUMB_TRACK, bar, 300), 70000);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_TO_START, bar, 300), 0);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_TO_END, bar, 300), 99999);
    for (int32_t unknown : {8, 9, -1, 32767, -32768}) {
        EXPECT_EQ(ScrollRequestPosition(unknown, bar, 300), 1000) << unknown;
    }
}

TEST(ScrollRequestPosition, NotClampedAndTinyPagesGoNowhereOrBack) {
    EXPECT_EQ(ScrollRequestPosition(SCROLL_LINE_BACK, Bar(0, 0), 300), -16);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_PAGE_FORWARD, Bar(99990, 0), 300), 100286);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_PAGE_FORWARD, Bar(50, 0), 4), 50);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_PAGE_FORWARD, Bar(50, 0), 1), 47);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_PAGE_BACK, Bar(50, 0), 0), 54);
}

TEST(ScrollRequestPosition, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(ScrollRequestPosition(SCROLL_LINE_FORWARD, Bar(INT_MAX - 3, 0), 300), INT_MAX);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_LINE_BACK, Bar(INT_MIN + 3, 0), 300), INT_MIN);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_PAGE_FORWARD, Bar(-10, 0), INT_MIN), INT_MIN);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_PAGE_BACK, Bar(10, 0), INT_MIN), INT_MAX);
    EXPECT_EQ(ScrollRequestPosition(SCROLL_PAGE_FORWARD, Bar(INT_MAX, 0), INT_MAX), INT_MAX);
}

int32_t Clamped(int32_t nMin, int32_t nMax, uint32_t nPage, int32_t nPos) {
    PlainScrollInfo bar{};
    bar.nMin = nMin;
    bar.nMax = nMax;
    bar.nPage = nPage;
    bar.nPos = nPos;
    return ClampScrollPosition(bar);
}

TEST(ClampScrollPosition, IntoMinToMaxLessPageLessOne) {
    // A bar over a scaled extent of 1000 with a client of 300: 0 .. 700.
    EXPECT_EQ(Clamped(0, 999, 300, -16), 0);
    EXPECT_EQ(Clamped(0, 999, 300, 500), 500);
    EXPECT_EQ(Clamped(0, 999, 300, 700), 700);
    EXPECT_EQ(Clamped(0, 999, 300, 701), 700);
    EXPECT_EQ(Clamped(0, 999, 300, INT_MAX), 700);
    EXPECT_EQ(Clamped(0, 999, 300, INT_MIN), 0);
    // No page: up to nMax; a page of one: the same.
    EXPECT_EQ(Clamped(0, 999, 0, 5000), 999);
    EXPECT_EQ(Clamped(0, 999, 1, 5000), 999);
    // A page larger than the range, or an empty range: nMin.
    EXPECT_EQ(Clamped(0, 999, 5000, 300), 0);
    EXPECT_EQ(Clamped(0, 999, 0xFFFFFFFFu, 300), 0);
    EXPECT_EQ(Clamped(10, 5, 1, 300), 10);
    EXPECT_EQ(Clamped(INT_MIN, INT_MAX, 0, 17), 17);
}

TEST(NeedsScrollBar, OnlyWhenStrictlyLarger) {
    EXPECT_FALSE(NeedsScrollBar(300, 300));
    EXPECT_TRUE(NeedsScrollBar(301, 300));
    EXPECT_FALSE(NeedsScrollBar(299, 300));
    EXPECT_TRUE(NeedsScrollBar(1, 0));
    EXPECT_TRUE(NeedsScrollBar(0x80000000u, 5));  // unsigned: a huge picture is not negative
}

}  // namespace
