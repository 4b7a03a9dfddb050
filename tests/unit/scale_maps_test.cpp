// The scale tables against their closed form, their capacities and the
// zoom limits that follow from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/geometry/scale_maps.h"
#include "core/geometry/view_state.h"
#include "view_fixture.h"

namespace {

constexpr uint32_t SENTINEL = 0xDEADBEEFu;
// Most cases build into tables of one fixed size, whose corners are well known.
constexpr uint32_t MAJOR_MAP_ENTRIES = FIXED_TABLES.major;
constexpr uint32_t MINOR_MAP_ENTRIES = FIXED_TABLES.minor;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// Builds into exact-capacity tables pre-filled with a sentinel and checks
// every entry against the closed form and that nothing past the written
// range changed.
void ExpectTablesMatchClosedForm(uint32_t a, uint32_t b) {
    SCOPED_TRACE(testing::Message() << "lengths " << a << ", " << b);
    ASSERT_TRUE(ScaleMapsFit(a, b, FIXED_TABLES));
    const int64_t small = std::min(a, b);
    const int64_t large = std::max(a, b);
    std::vector<uint32_t> major(MAJOR_MAP_ENTRIES, SENTINEL);
    std::vector<uint32_t> minor(MINOR_MAP_ENTRIES, SENTINEL);
    BuildScaleMaps(a, b, FIXED_TABLES, major.data(), minor.data());

    for (int64_t j = 0; j < large; ++j) {
        const int64_t expected = FloorDiv((2 * j + 1) * small, 2 * large);
        if (major[j] != expected) {
            FAIL() << "majorMap[" << j << "] = " << major[j] << ", expected " << expected;
        }
    }
    for (int64_t k = 0; k <= small; ++k) {
        const int64_t expected = CeilDiv(2 * large * k - small, 2 * small);
        if (minor[k] != expected) {
            FAIL() << "minorMap[" << k << "] = " << minor[k] << ", expected " << expected;
        }
    }
    EXPECT_EQ(minor[small], large);
    if (large < MAJOR_MAP_ENTRIES) {
        EXPECT_EQ(major[large], SENTINEL) << "majorMap written past large";
    }
    if (small + 1 < MINOR_MAP_ENTRIES) {
        EXPECT_EQ(minor[small + 1], SENTINEL) << "minorMap written past small";
    }
}

TEST(ScaleMaps, RandomLengthPairsMatchClosedForm) {
    std::mt19937 random(20240601);
    for (int i = 0; i < 150; ++i) {
        // Log-uniform lengths, so short and long tables are both well covered.
        const uint32_t large = static_cast<uint32_t>(
            std::exp(std::uniform_real_distribution<double>(0.0, std::log(MAJOR_MAP_ENTRIES))(random)));
        const uint32_t smallLimit = std::min<uint32_t>(large, MINOR_MAP_ENTRIES - 1);
        const uint32_t small = std::uniform_int_distribution<uint32_t>(1, smallLimit)(random);
        if (i % 2 == 0) {
            ExpectTablesMatchClosedForm(small, large);
        } else {
            ExpectTablesMatchClosedForm(large, small);
        }
    }
}

TEST(ScaleMaps, EveryPresetOverSeveralMapLengths) {
    const uint32_t mapLengths[] = {2, 3, 10, 101, 1001, 4097, 6250, 12345, 19999};
    for (uint32_t mapLength : mapLengths) {
        for (int32_t zoom : ZOOM_PRESETS) {
            const uint32_t scaled = ScaledLength(mapLength, zoom);
            if (zoom <= HighestFittingZoom(mapLength, FIXED_TABLES)) {
                ExpectTablesMatchClosedForm(mapLength, scaled);
            } else {
                EXPECT_FALSE(ScaleMapsFit(mapLength, scaled, FIXED_TABLES)) << mapLength << " at " << zoom;
            }
        }
    }
}

TEST(ScaleMaps, SwappedLengthsGiveTheSameTables) {
    const uint32_t pairs[][2] = {{5, 11}, {1001, 910}, {19999, 200000}, {7, 7}, {1, 3}};
    for (const auto& pair : pairs) {
        std::vector<uint32_t> major1(MAJOR_MAP_ENTRIES), minor1(MINOR_MAP_ENTRIES);
        std::vector<uint32_t> major2(MAJOR_MAP_ENTRIES), minor2(MINOR_MAP_ENTRIES);
        BuildScaleMaps(pair[0], pair[1], FIXED_TABLES, major1.data(), minor1.data());
        BuildScaleMaps(pair[1], pair[0], FIXED_TABLES, major2.data(), minor2.data());
        EXPECT_EQ(major1, major2);
        EXPECT_EQ(minor1, minor2);
    }
}

TEST(ScaleMaps, ShorterLengthOfOneAndEqualLengths) {
    ExpectTablesMatchClosedForm(1, 1);
    ExpectTablesMatchClosedForm(1, 2);
    ExpectTablesMatchClosedForm(1, MAJOR_MAP_ENTRIES);
    ExpectTablesMatchClosedForm(MINOR_MAP_ENTRIES - 1, MINOR_MAP_ENTRIES - 1);
    ExpectTablesMatchClosedForm(1001, 1001);  // identity at 100 %
}

TEST(ScaleMaps, LongerRunFallsOnTheMiddleCell) {
    std::vector<uint32_t> major(MAJOR_MAP_ENTRIES), minor(MINOR_MAP_ENTRIES);
    BuildScaleMaps(5, 11, FIXED_TABLES, major.data(), minor.data());
    EXPECT_EQ(std::vector<uint32_t>(major.begin(), major.begin() + 11),
              (std::vector<uint32_t>{0, 0, 1, 1, 2, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(std::vector<uint32_t>(minor.begin(), minor.begin() + 6),
              (std::vector<uint32_t>{0, 2, 4, 7, 9, 11}));
}

TEST(ScaleMaps, CapacityCornersFillTheTablesExactly) {
    // Longer side 6249 at the zoom cap, and longer side 19998 at its highest
    // fitting zoom: both reach exactly MAJOR_MAP_ENTRIES.
    EXPECT_EQ(ScaledLength(6250, ZOOM_MAX), MAJOR_MAP_ENTRIES);
    ExpectTablesMatchClosedForm(6250, ScaledLength(6250, ZOOM_MAX));
    EXPECT_EQ(ScaledLength(19999, 100005), MAJOR_MAP_ENTRIES);
    ExpectTablesMatchClosedForm(19999, ScaledLength(19999, 100005));
    // And the corner written by the walk is the very last entry.
    std::vector<uint32_t> major(MAJOR_MAP_ENTRIES, SENTINEL), minor(MINOR_MAP_ENTRIES, SENTINEL);
    BuildScaleMaps(19999, MAJOR_MAP_ENTRIES, FIXED_TABLES, major.data(), minor.data());
    EXPECT_EQ(major[MAJOR_MAP_ENTRIES - 1], 19998u);
    EXPECT_EQ(minor[19999], MAJOR_MAP_ENTRIES);
}

TEST(ScaleMaps, LengthsOutsideTheTablesWriteNothing) {
    // A caller that skipped ScaleMapsFit must not get a hang or an overrun.
    std::vector<uint32_t> major(MAJOR_MAP_ENTRIES, SENTINEL), minor(MINOR_MAP_ENTRIES, SENTINEL);
    const uint32_t misfits[][2] = {{0, 5}, {5, 0}, {0, 0}, {MAJOR_MAP_ENTRIES + 1, 10},
                                   {MINOR_MAP_ENTRIES, MINOR_MAP_ENTRIES}, {10, 0xFFFFFFFFu}};
    for (const auto& misfit : misfits) {
        EXPECT_FALSE(ScaleMapsFit(misfit[0], misfit[1], FIXED_TABLES));
        BuildScaleMaps(misfit[0], misfit[1], FIXED_TABLES, major.data(), minor.data());
    }
    EXPECT_EQ(major, std::vector<uint32_t>(MAJOR_MAP_ENTRIES, SENTINEL));
    EXPECT_EQ(minor, std::vector<uint32_t>(MINOR_MAP_ENTRIES, SENTINEL));
}

TEST(ScaledLength, RoundsUpInSixtyFourBits) {
    EXPECT_EQ(ScaledLength(1001, 9090), 910u);
    EXPECT_EQ(ScaledLength(1001, ZOOM_UNIT), 1001u);
    EXPECT_EQ(ScaledLength(10, 3100), 4u);
    EXPECT_EQ(ScaledLength(1001, 1), 1u);
    EXPECT_EQ(ScaledLength(19999, ZOOM_MAX), 639968u);  // 6399680000 passes 32 bits
    EXPECT_EQ(ScaledLength(0, ZOOM_MAX), 0u);
    EXPECT_EQ(ScaledLength(10000, 1), 1u);
    EXPECT_EQ(ScaledLength(10001, 1), 2u);
}

TEST(ScaleMapsFit, CapacityEdges) {
    EXPECT_TRUE(ScaleMapsFit(MINOR_MAP_ENTRIES - 1, MAJOR_MAP_ENTRIES, FIXED_TABLES));
    EXPECT_TRUE(ScaleMapsFit(MAJOR_MAP_ENTRIES, MINOR_MAP_ENTRIES - 1, FIXED_TABLES));
    EXPECT_FALSE(ScaleMapsFit(MINOR_MAP_ENTRIES, MINOR_MAP_ENTRIES, FIXED_TABLES));
    EXPECT_FALSE(ScaleMapsFit(1, MAJOR_MAP_ENTRIES + 1, FIXED_TABLES));
    EXPECT_FALSE(ScaleMapsFit(0, 1, FIXED_TABLES));
    EXPECT_TRUE(ScaleMapsFit(1, 1, FIXED_TABLES));
}

TEST(HighestFittingZoom, Corners) {
    EXPECT_EQ(HighestFittingZoom(6250, FIXED_TABLES), ZOOM_MAX);
    EXPECT_EQ(HighestFittingZoom(6251, FIXED_TABLES), 319948);
    EXPECT_EQ(HighestFittingZoom(19999, FIXED_TABLES), 100005);
    EXPECT_EQ(HighestFittingZoom(20000, FIXED_TABLES), 0);
    EXPECT_EQ(HighestFittingZoom(7001, FIXED_TABLES), 2000000000 / 7001);
    EXPECT_EQ(HighestFittingZoom(2, FIXED_TABLES), ZOOM_MAX);
    EXPECT_EQ(HighestFittingZoom(0, FIXED_TABLES), 0);
}

TEST(HighestFittingZoom, IsTheExactLimitForEveryMapLength) {
    for (uint32_t mapLength = 1; mapLength <= MINOR_MAP_ENTRIES; ++mapLength) {
        const int32_t highest = HighestFittingZoom(mapLength, FIXED_TABLES);
        if (mapLength >= MINOR_MAP_ENTRIES) {
            ASSERT_EQ(highest, 0);
            continue;
        }
        ASSERT_GE(highest, ZOOM_UNIT) << mapLength;
        ASSERT_TRUE(ScaleMapsFit(mapLength, ScaledLength(mapLength, highest), FIXED_TABLES)) << mapLength;
        ASSERT_TRUE(ScaleMapsFit(mapLength, ScaledLength(mapLength, 1), FIXED_TABLES)) << mapLength;
        if (highest < ZOOM_MAX) {
            ASSERT_FALSE(ScaleMapsFit(mapLength, ScaledLength(mapLength, highest + 1), FIXED_TABLES)) << mapLength;
        }
    }
}

}  // namespace

namespace {

// Tables sized for a picture hold it at every zoom, up to the longest side.
TEST(CapacityForPicture, HoldsEveryZoomUpToTheCap) {
    for (uint32_t mapLength : {2u, 3u, 6250u, 20000u, MAX_PICTURE_SIDE + 1}) {
        const ScaleMapCapacity capacity = CapacityForPicture(mapLength);
        EXPECT_EQ(HighestFittingZoom(mapLength, capacity), ZOOM_MAX) << mapLength;
        EXPECT_TRUE(ScaleMapsFit(mapLength, ScaledLength(mapLength, 1), capacity));
        EXPECT_FALSE(ScaleMapsFit(mapLength + 1, mapLength + 1, capacity));
    }
    EXPECT_EQ(CapacityForPicture(MAX_PICTURE_SIDE + 1).major, 2097152u);
    // Lengths whose walk would pass 32-bit sums are refused whatever the tables.
    EXPECT_FALSE(ScaleMapsFit(1, 0x40000000u, {0xFFFFFFFFu, 2}));
}

}  // namespace
