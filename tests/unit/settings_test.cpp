// The settings file read back: what was written comes back, whatever a damaged
// or hand-edited file holds gives the defaults value by value, and the texts
// the recent-files menu and the Open with registration are made from.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "core/files/file_types.h"
#include "core/files/paths.h"
#include "core/settings/recent_files.h"
#include "core/settings/settings.h"

namespace {

using Ini = std::map<std::pair<std::wstring, std::wstring>, std::wstring>;

KeptSettings ReadFrom(const Ini& ini) {
    return ReadSettings([&](const wchar_t* section, const wchar_t* key) {
        const auto found = ini.find({section, key});
        return found == ini.end() ? std::wstring() : found->second;
    });
}

Ini Written(const KeptSettings& settings) {
    Ini ini;
    for (const SettingEntry& entry : SettingEntries(settings)) ini[{entry.section, entry.key}] = entry.value;
    return ini;
}

// Compared through what is written: every field, with the file's own names.
void ExpectSame(const KeptSettings& read, const KeptSettings& expected, const std::wstring& context) {
    EXPECT_EQ(Written(read), Written(expected)) << context;
}

TEST(Settings, WrittenComesBack) {
    KeptSettings kept;
    kept.frame = {true, -8, -8, 1928, 1048, true};
    kept.autoReload = kept.linkedViews = true;
    kept.compare = {DifferenceMetric::ToleranceMask, EXPOSURE_MIN, TOLERANCE_MAX, Alignment::Centre};
    kept.openFolder = L"\\\\server\\share\\\u7167\u7247";
    kept.oneFrame = false;
    kept.language = Language::English;
    for (int k = 0; k < 10; ++k) kept.recentFiles.push_back(L"C:\\p\\" + std::to_wstring(k) + L" & \u7167.png");
    ExpectSame(ReadFrom(Written(kept)), kept, L"everything set");
    for (int32_t metric = 0; metric < DIFFERENCE_METRIC_COUNT; ++metric) {
        kept.compare.metric = static_cast<DifferenceMetric>(metric);
        EXPECT_EQ(ReadFrom(Written(kept)).compare.metric, kept.compare.metric) << metric;
    }
    // Repeats and entries past the tenth are dropped; the rest keep their order.
    const Ini recent = {{{L"Recent", L"File1"}, L"C:\\a.png"}, {{L"Recent", L"File2"}, L"c:/A.PNG"},
                        {{L"Recent", L"File3"}, L"C:\\b.png"}, {{L"Recent", L"File11"}, L"C:\\c.png"}};
    EXPECT_EQ(ReadFrom(recent).recentFiles, (std::vector<std::wstring>{L"C:\\a.png", L"C:\\b.png"}));
}

TEST(Settings, DamagedValuesGiveDefaults) {
    const KeptSettings defaults;
    ExpectSame(ReadFrom({}), defaults, L"no file");
    const std::wstring bad[] = {L" ", L"yes", L"300", L"-", L"1 ", L"0x10", L"\u0661", L"+1", L"--1",
                                L"99999999999999999999", L"relative\\path", L"C:\\with\ttab", L"C:", L"\\\\"};
    KeptSettings every;
    every.frame = {true, 0, 0, 800, 600, true};
    for (const std::wstring& value : bad) {
        Ini ini = Written(every);
        for (auto& entry : ini) entry.second = value;
        ini[{L"Options", L"OpenFolder"}] = ini[{L"Recent", L"File1"}] = value;
        ExpectSame(ReadFrom(ini), defaults, L"every value \"" + value + L"\"");
    }
    // One past each end of a range, and frames that cannot be shown.
    const Ini outOfRange = {{{L"Compare", L"Exposure"}, std::to_wstring(EXPOSURE_MAX + 1)},
                            {{L"Compare", L"Tolerance"}, L"-1"}};
    ExpectSame(ReadFrom(outOfRange), defaults, L"out of range");
    const auto frameKnown = [](int32_t left, int32_t right, int32_t bottom) {
        return ReadFrom({{{L"Frame", L"Left"}, std::to_wstring(left)},
                         {{L"Frame", L"Top"}, L"-0"},
                         {{L"Frame", L"Right"}, std::to_wstring(right)},
                         {{L"Frame", L"Bottom"}, std::to_wstring(bottom)}})
            .frame.known;
    };
    EXPECT_TRUE(frameKnown(0, FRAME_MIN_SIZE, 600));
    EXPECT_FALSE(frameKnown(0, FRAME_MIN_SIZE - 1, 600));
    EXPECT_FALSE(frameKnown(0, 800, FRAME_COORDINATE_LIMIT + 1));
    EXPECT_TRUE(frameKnown(-FRAME_COORDINATE_LIMIT, 0, FRAME_COORDINATE_LIMIT));
    EXPECT_EQ(IntegerFromText(L"-2147483648", INT32_MIN, INT32_MAX, 7), INT32_MIN);
    EXPECT_EQ(IntegerFromText(L"2147483648", INT32_MIN, INT32_MAX, 7), 7);
    EXPECT_EQ(IntegerFromText(L"00000000000042", 0, 100, 7), 42);
}

TEST(RecentFiles, MenuLabelsAndShortenedPaths) {
    EXPECT_EQ(RecentFileLabel(0, L"C:\\a.png"), L"&1 C:\\a.png");
    EXPECT_EQ(RecentFileLabel(9, L"C:\\R&D\\a&&b.png"), L"&0 C:\\R&&D\\a&&&&b.png");
    const std::wstring deep = L"C:\\" + std::wstring(40, L'x') + L"\\" + std::wstring(30, L'y') + L"\\photo.png";
    EXPECT_EQ(RecentFileLabel(2, deep), L"&3 C:\\...\\" + std::wstring(30, L'y') + L"\\photo.png");

    EXPECT_EQ(ShortenPath(L"C:\\aa\\bb\\cc\\d.png", 16), L"C:\\...\\cc\\d.png");
    EXPECT_EQ(ShortenPath(L"C:\\aa\\bb\\cc\\d.png", 13), L"C:\\...\\d.png");
    EXPECT_EQ(ShortenPath(L"\\\\srv\\share\\aa\\bb\\d.png", 22), L"\\\\srv\\share\\...\\d.png");
    EXPECT_EQ(ShortenPath(L"C:\\aa\\long-name.png", 10), L"...ame.png");
    EXPECT_EQ(ShortenPath(L"C:\\d\\\xD83D\xDE00z.png", 9), L"...z.png");  // a surrogate pair goes whole
    const std::wstring path = L"C:\\folder one\\folder two\\\u7167\u7247\\picture.png";
    for (size_t limit = 0; limit <= path.size(); ++limit) EXPECT_LE(ShortenPath(path, limit).size(), limit);
}

TEST(Paths, ResolvedAgainstAnotherFolder) {
    const std::wstring folder = L"D:\\work\\pics";
    const std::wstring resolved[][2] = {
        {L"a.png", L"D:\\work\\pics\\a.png"},     {L"..\\a.png", L"D:\\work\\pics\\..\\a.png"},
        {L"\\a.png", L"D:\\a.png"},               {L"d:a.png", L"D:\\work\\pics\\a.png"},
        {L"E:a.png", L"E:\\a.png"},               {L"C:\\x\\a.png", L"C:\\x\\a.png"},
        {L"\\\\srv\\s\\a.png", L"\\\\srv\\s\\a.png"},
    };
    for (const auto& pair : resolved) EXPECT_EQ(ResolvePath(folder, pair[0]), pair[1]) << pair[0];
    EXPECT_EQ(ResolvePath(L"\\\\srv\\share\\sub", L"\\a.png"), L"\\\\srv\\share\\a.png");
}

TEST(FileTypes, ExtensionsOfTheOpenFilter) {
    const wchar_t filter[] =
        L"Pictures (*.bmp;*.PNG)\0*.bmp; *.PNG;*.dib;*.bmp;*.*;*.j?g;name.gif;*.\0"
        L"WebP\0*.webp\0"
        L"All files (*.*)\0*.*\0";
    EXPECT_EQ(ExtensionsOfFilter(std::wstring_view(filter, std::size(filter) - 1)),
              (std::vector<std::wstring>{L".bmp", L".png", L".dib", L".webp"}));
}

}  // namespace
