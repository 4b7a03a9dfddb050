// Decimal text and item-by-item text building at their edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/text/text.h"

namespace {

constexpr char UNTOUCHED = '#';

std::string Decimal(int32_t value) {
    char buffer[16];
    std::memset(buffer, UNTOUCHED, sizeof buffer);
    IntToDecimal(value, buffer);
    // Nothing written past the terminator, and at most 12 bytes in all.
    const size_t length = std::strlen(buffer);
    EXPECT_LE(length, 11u);
    for (size_t i = length + 1; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], UNTOUCHED) << value;
    return buffer;
}

TEST(IntToDecimal, Edges) {
    EXPECT_EQ(Decimal(0), "0");
    EXPECT_EQ(Decimal(-1), "-1");
    EXPECT_EQ(Decimal(10), "10");
    EXPECT_EQ(Decimal(7), "7");
    EXPECT_EQ(Decimal(-45), "-45");
    EXPECT_EQ(Decimal(1000000000), "1000000000");
    EXPECT_EQ(Decimal(INT_MAX), "2147483647");
    EXPECT_EQ(Decimal(INT_MIN), "-2147483648");
}

TEST(IntToDecimal, AgreesWithTheStandardLibrary) {
    std::mt19937 random(3);
    for (int i = 0; i < 200000; ++i) {
        // Every digit count: scale a random word down by a random shift.
        const int32_t value = static_cast<int32_t>(random()) >> (random() % 32);
        ASSERT_EQ(Decimal(value), std::to_string(value));
    }
    for (int64_t power = 1; power <= 1000000000; power *= 10) {
        for (int64_t value : {power - 1, power, power + 1, -power + 1, -power, -power - 1}) {
            ASSERT_EQ(Decimal(static_cast<int32_t>(value)), std::to_string(value));
        }
    }
}

// 123 ":" 45 and the terminator under a limit, into a larger buffer; the
// bytes the build writes, the count and whether it refused.
struct Built {
    std::string bytes;  // up to the first untouched byte
    uint32_t count;
    bool refused;
};

Built BuildTimeText(uint32_t limit) {
    char buffer[32];
    std::memset(buffer, UNTOUCHED, sizeof buffer);
    BoundedText text(buffer, limit);
    text.AppendNumber(123);
    text.AppendChar(':');
    text.AppendNumber(45);
    text.AppendTerminator();
    return {std::string(buffer, std::find(buffer, buffer + sizeof buffer, UNTOUCHED)), text.Count(), text.Refused()};
}

TEST(BoundedText, DropsWholeItemsAtTheLimit) {
    const Built none = BuildTimeText(0);
    EXPECT_EQ(none.bytes, "");  // not even the terminator
    EXPECT_TRUE(none.refused);

    const Built five = BuildTimeText(5);
    EXPECT_EQ(five.bytes, "123:");  // 45 would make six bytes: it and the terminator are dropped
    EXPECT_TRUE(five.refused);

    const Built six = BuildTimeText(6);
    EXPECT_EQ(six.bytes, "123:45");  // the terminator would be the seventh byte
    EXPECT_TRUE(six.refused);

    const Built seven = BuildTimeText(7);
    EXPECT_EQ(seven.bytes, std::string("123:45\0", 7));
    EXPECT_EQ(seven.count, 7u);
    EXPECT_FALSE(seven.refused);
}

TEST(BoundedText, NeverWritesPartOfANumber) {
    char buffer[16];
    std::memset(buffer, UNTOUCHED, sizeof buffer);
    BoundedText text(buffer, 6);
    text.AppendNumber(-12);     // 3 bytes
    text.AppendNumber(-34567);  // 6 more: refused whole though 3 bytes are free
    text.AppendChar('x');       // and everything after it
    text.AppendNumber(1);
    text.AppendTerminator();
    EXPECT_TRUE(text.Refused());
    EXPECT_EQ(std::string(buffer, sizeof buffer), "-12" + std::string(sizeof buffer - 3, UNTOUCHED));

    // A number that exactly fills the limit is kept.
    std::memset(buffer, UNTOUCHED, sizeof buffer);
    BoundedText exact(buffer, 11);
    exact.AppendNumber(INT_MIN);
    EXPECT_FALSE(exact.Refused());
    EXPECT_EQ(std::string(buffer, 12), "-2147483648#");
}

TEST(BoundedText, UnboundedLimitTakesALongText) {
    std::vector<char> buffer(4000, UNTOUCHED);
    BoundedText text(buffer.data(), 4294967295u);
    std::string expected;
    for (int32_t i = 0; i < 300; ++i) {
        text.AppendNumber(i * 7919);
        text.AppendChar(',');
        expected += std::to_string(i * 7919) + ",";
    }
    text.AppendTerminator();
    EXPECT_FALSE(text.Refused());
    EXPECT_EQ(text.Count(), expected.size() + 1);
    EXPECT_STREQ(buffer.data(), expected.c_str());
}

std::string ZoomText(int32_t zoom) {
    char buffer[STATUS_TEXT_BUFFER];
    std::memset(buffer, UNTOUCHED, sizeof buffer);
    BuildZoomText(zoom, buffer);
    // The whole buffer is cleared, so the text stays terminated whatever happens.
    for (size_t i = std::strlen(buffer); i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], '\0') << zoom;
    return buffer;
}

TEST(BuildZoomText, HundredthsOfAPercent) {
    EXPECT_EQ(ZoomText(10000), "100%");
    EXPECT_EQ(ZoomText(100), "1%");
    EXPECT_EQ(ZoomText(5), "0.05%");
    EXPECT_EQ(ZoomText(1), "0.01%");
    EXPECT_EQ(ZoomText(625), "6.25%");
    EXPECT_EQ(ZoomText(1250), "12.50%");
    EXPECT_EQ(ZoomText(9999), "99.99%");
    EXPECT_EQ(ZoomText(1005), "10.05%");
    EXPECT_EQ(ZoomText(309028), "3090.28%");
    EXPECT_EQ(ZoomText(320000), "3200%");
}

TEST(BuildPointText, CoordinatesJoinedByAColon) {
    char buffer[STATUS_TEXT_BUFFER];
    BuildPointText(0, 0, buffer);
    EXPECT_STREQ(buffer, "0:0");
    BuildPointText(199989, 19997, buffer);
    EXPECT_STREQ(buffer, "199989:19997");
    BuildPointText(INT_MIN, INT_MAX, buffer);
    EXPECT_STREQ(buffer, "-2147483648:2147483647");
}

TEST(BuildColourText, UpperCaseHexWithLeadingZerosThenDecimals) {
    char buffer[STATUS_TEXT_BUFFER];
    BuildColourText(0x801E90FFu, true, buffer);
    EXPECT_STREQ(buffer, "#1E90FF  30,144,255  a=128");
    BuildColourText(0x0000000Au, true, buffer);  // blue is the lowest byte
    EXPECT_STREQ(buffer, "#00000A  0,0,10  a=0");
    BuildColourText(0xFFA00BFFu, false, buffer);
    EXPECT_STREQ(buffer, "#A00BFF  160,11,255");
}

TEST(BuildDeepColourText, FourHexDigitsPerChannelAndTheTagLast) {
    char buffer[STATUS_TEXT_BUFFER];
    BuildDeepColourText(0xFFFF, 0x8000, 0x0001, 0x1000, false, " (16)", buffer);
    EXPECT_STREQ(buffer, "#FFFF80000001  65535,32768,1 (16)");
    BuildDeepColourText(0, 0x00A0, 0xBEEF, 0, true, "", buffer);
    EXPECT_STREQ(buffer, "#000000A0BEEF  0,160,48879  a=0");
}

TEST(BuildPictureText, SizeAndOneBasedPlace) {
    char buffer[STATUS_TEXT_BUFFER];
    BuildPictureText(6000, 4000, 2, 17, buffer);
    EXPECT_STREQ(buffer, "6000 x 4000   3/17");
    BuildPictureText(1, 0, INT_MAX - 1, INT_MAX, buffer);
    EXPECT_STREQ(buffer, "1 x 0   2147483647/2147483647");
    for (const auto& place : {std::pair{-1, 17}, std::pair{0, 0}, std::pair{17, 17}}) {  // no place outside the list
        BuildPictureText(UINT32_MAX, 2147483648u, place.first, place.second, buffer);
        EXPECT_STREQ(buffer, "4294967295 x 2147483648");  // in full, not negative
    }
}

TEST(BuildPictureText, AnAnimationAddsTheFrameShownOneBased) {
    char buffer[STATUS_TEXT_BUFFER];
    BuildPictureText(400, 300, 2, 17, FrameReadout{"F", 3, 12}, buffer);
    EXPECT_STREQ(buffer, "400 x 300   3/17   F 4/12");
    BuildPictureText(400, 300, -1, 0, FrameReadout{"F", UINT32_MAX - 1, UINT32_MAX}, buffer);
    EXPECT_STREQ(buffer, "400 x 300   F 4294967295/4294967295");
    BuildPictureText(400, 300, 0, 1, FrameReadout{"F", 12, 12}, buffer);  // past the end: no frame part
    EXPECT_STREQ(buffer, "400 x 300   1/1");
}

}  // namespace
