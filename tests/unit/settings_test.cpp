// The settings file read back: what was written comes back, and whatever a
// damaged or hand-edited file holds gives the defaults, value by value.
#include <gtest/gtest.h>

#include <algorithm>
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
    for (const SettingEntry& entry : SettingEntries(settings)) {
        EXPECT_TRUE(ini.emplace(std::make_pair(entry.section, entry.key), entry.value).second) << entry.key;
    }
    return ini;
}

bool SameText(const std::wstring& a, const std::wstring& b) { return a == b; }

void ExpectDefaults(const KeptSettings& read, const KeptSettings& defaults, const std::wstring& context) {
    EXPECT_FALSE(read.frame.known) << context;
    EXPECT_EQ(read.oneFrame, defaults.oneFrame) << context;
    EXPECT_EQ(read.autoReload, defaults.autoReload) << context;
    EXPECT_EQ(read.linkedViews, defaults.linkedViews) << context;
    EXPECT_EQ(read.language, defaults.language) << context;
    EXPECT_EQ(read.openFolder, defaults.openFolder) << context;
    EXPECT_EQ(read.compare.metric, defaults.compare.metric) << context;
    EXPECT_EQ(read.compare.exposure, defaults.compare.exposure) << context;
    EXPECT_EQ(read.compare.tolerance, defaults.compare.tolerance) << context;
    EXPECT_EQ(read.compare.alignment, defaults.compare.alignment) << context;
    EXPECT_TRUE(read.recentFiles.empty()) << context;
}

TEST(Settings, WrittenComesBack) {
    KeptSettings kept;
    kept.frame = {true, -8, -8, 1928, 1048, true};
    kept.autoReload = true;
    kept.linkedViews = true;
    kept.compare = {DifferenceMetric::ToleranceMask, EXPOSURE_MIN, TOLERANCE_MAX, Alignment::Centre};
    kept.openFolder = L"\\\\server\\share\\\u7167\u7247";
    kept.oneFrame = false;
    kept.language = Language::English;
    for (int k = 0; k < 10; ++k) kept.recentFiles.push_back(L"C:\\p\\" + std::to_wstring(k) + L" & \u7167.png");

    const KeptSettings read = ReadFrom(Written(kept));
    EXPECT_TRUE(read.frame.known);
    EXPECT_EQ(read.frame.left, -8);
    EXPECT_EQ(read.frame.top, -8);
    EXPECT_EQ(read.frame.right, 1928);
    EXPECT_EQ(read.frame.bottom, 1048);
    EXPECT_TRUE(read.frame.maximized);
    EXPECT_TRUE(read.autoReload);
    EXPECT_TRUE(read.linkedViews);
    EXPECT_EQ(read.compare.metric, DifferenceMetric::ToleranceMask);
    EXPECT_EQ(read.compare.exposure, EXPOSURE_MIN);
    EXPECT_EQ(read.compare.tolerance, TOLERANCE_MAX);
    EXPECT_EQ(read.compare.alignment, Alignment::Centre);
    EXPECT_EQ(read.openFolder, kept.openFolder);
    EXPECT_FALSE(read.oneFrame);
    EXPECT_EQ(read.language, Language::English);
    EXPECT_EQ(read.recentFiles, kept.recentFiles);

    // Every metric by its own name.
    for (int32_t metric = 0; metric < DIFFERENCE_METRIC_COUNT; ++metric) {
        kept.compare.metric = static_cast<DifferenceMetric>(metric);
        EXPECT_EQ(ReadFrom(Written(kept)).compare.metric, kept.compare.metric) << metric;
    }
}

TEST(Settings, DamagedValuesGiveDefaults) {
    const KeptSettings defaults;
    ExpectDefaults(ReadFrom({}), defaults, L"empty file");
    const std::wstring bad[] = {L"", L" ", L"yes", L"300", L"-", L"1 ", L"0x10", L"\u0661", L"99999999999999999999",
                                L"relative\\path", L"C:\\with\ttab", L"C:", L"\\\\"};
    for (const std::wstring& value : bad) {
        Ini ini;
        for (const SettingEntry& entry : SettingEntries(KeptSettings{})) ini[{entry.section, entry.key}] = value;
        for (const wchar_t* key : {L"Left", L"Top", L"Right", L"Bottom", L"Maximized"}) ini[{L"Frame", key}] = value;
        ini[{L"Options", L"OpenFolder"}] = value;
        for (int k = 1; k <= 10; ++k) ini[{L"Recent", L"File" + std::to_wstring(k)}] = value;
        ExpectDefaults(ReadFrom(ini), defaults, L"every value \"" + value + L"\"");
    }
    // Out of range by one, and a frame that could not be shown.
    Ini ini = {{{L"Compare", L"Exposure"}, std::to_wstring(EXPOSURE_MAX + 1)},
               {{L"Compare", L"Tolerance"}, L"-1"},
               {{L"Frame", L"Left"}, L"0"},
               {{L"Frame", L"Top"}, L"0"},
               {{L"Frame", L"Right"}, std::to_wstring(FRAME_MIN_SIZE - 1)},
               {{L"Frame", L"Bottom"}, L"600"}};
    ExpectDefaults(ReadFrom(ini), defaults, L"out of range");
    ini[{L"Frame", L"Right"}] = std::to_wstring(FRAME_MIN_SIZE);
    ini[{L"Frame", L"Left"}] = L"-0";
    EXPECT_TRUE(ReadFrom(ini).frame.known);
    ini[{L"Frame", L"Bottom"}] = std::to_wstring(FRAME_COORDINATE_LIMIT + 1);
    EXPECT_FALSE(ReadFrom(ini).frame.known);
}

TEST(Settings, IntegerText) {
    EXPECT_EQ(IntegerFromText(L"-2147483648", INT32_MIN, INT32_MAX, 7), INT32_MIN);
    EXPECT_EQ(IntegerFromText(L"2147483647", INT32_MIN, INT32_MAX, 7), INT32_MAX);
    EXPECT_EQ(IntegerFromText(L"2147483648", INT32_MIN, INT32_MAX, 7), 7);
    EXPECT_EQ(IntegerFromText(L"00000000000042", 0, 100, 7), 42);
    EXPECT_EQ(IntegerFromText(L"--1", -5, 5, 7), 7);
    EXPECT_EQ(IntegerFromText(L"+1", -5, 5, 7), 7);
}

TEST(RecentFiles, NewestFirstEachOnceAtMostTen) {
    std::vector<std::wstring> list;
    for (int k = 0; k < 12; ++k) AddRecentFile(list, L"C:\\p\\" + std::to_wstring(k) + L".png", SamePath);
    ASSERT_EQ(list.size(), RECENT_FILES_MAX);
    EXPECT_EQ(list.front(), L"C:\\p\\11.png");
    EXPECT_EQ(list.back(), L"C:\\p\\2.png");
    // The same file under another spelling moves to the front, once.
    AddRecentFile(list, L"c:/P/5.PNG", SamePath);
    EXPECT_EQ(list.size(), RECENT_FILES_MAX);
    EXPECT_EQ(list.front(), L"c:/P/5.PNG");
    EXPECT_EQ(std::count(list.begin(), list.end(), L"C:\\p\\5.png"), 0);
    // The caller's test decides what is the same file.
    AddRecentFile(list, L"C:\\P\\6.png", SameText);
    EXPECT_EQ(list.size(), RECENT_FILES_MAX);
    RemoveRecentFile(list, L"c:\\p\\6.png", SamePath);
    RemoveRecentFile(list, L"C:\\p\\not there.png", SamePath);
    EXPECT_EQ(list.size(), RECENT_FILES_MAX - 2);
    EXPECT_EQ(list.front(), L"c:/P/5.PNG");

    // Duplicates and bad entries in the file are dropped on reading.
    const Ini ini = {{{L"Recent", L"File1"}, L"C:\\a.png"},
                     {{L"Recent", L"File2"}, L"c:\\A.PNG"},
                     {{L"Recent", L"File3"}, L"b.png"},
                     {{L"Recent", L"File4"}, L"C:\\b.png"},
                     {{L"Recent", L"File11"}, L"C:\\eleventh.png"}};
    EXPECT_EQ(ReadFrom(ini).recentFiles, (std::vector<std::wstring>{L"C:\\a.png", L"C:\\b.png"}));
}

TEST(RecentFiles, MenuLabels) {
    EXPECT_EQ(RecentFileLabel(0, L"C:\\a.png"), L"&1 C:\\a.png");
    EXPECT_EQ(RecentFileLabel(8, L"C:\\a.png"), L"&9 C:\\a.png");
    EXPECT_EQ(RecentFileLabel(9, L"C:\\R&D\\a&&b.png"), L"&0 C:\\R&&D\\a&&&&b.png");
    const std::wstring deep = L"C:\\" + std::wstring(40, L'x') + L"\\" + std::wstring(30, L'y') + L"\\photo.png";
    const std::wstring label = RecentFileLabel(2, deep);
    EXPECT_EQ(label, L"&3 C:\\...\\" + std::wstring(30, L'y') + L"\\photo.png");
    EXPECT_LE(label.size() - 3, RECENT_LABEL_PATH_CHARS);
}

TEST(Paths, Shortened) {
    EXPECT_EQ(ShortenPath(L"C:\\a\\b\\c.png", 12), L"C:\\a\\b\\c.png");
    EXPECT_EQ(ShortenPath(L"C:\\aa\\bb\\cc\\d.png", 16), L"C:\\...\\cc\\d.png");
    EXPECT_EQ(ShortenPath(L"C:\\aa\\bb\\cc\\d.png", 13), L"C:\\...\\d.png");
    EXPECT_EQ(ShortenPath(L"\\\\srv\\share\\aa\\bb\\d.png", 22), L"\\\\srv\\share\\...\\d.png");
    EXPECT_EQ(ShortenPath(L"C:\\aa\\long-name.png", 10), L"...ame.png");
    EXPECT_EQ(ShortenPath(L"long-name.png", 2), L"ng");
    // A surrogate pair at the cut goes whole.
    const std::wstring name = L"C:\\d\\\xD83D\xDE00z.png";
    EXPECT_EQ(ShortenPath(name, 9), L"...z.png");
    for (size_t limit = 0; limit < 40; ++limit) {
        const std::wstring path = L"C:\\folder one\\folder two\\\u7167\u7247\\picture.png";
        EXPECT_LE(ShortenPath(path, limit).size(), limit);
    }
}

TEST(Paths, ResolvedAgainstAFolder) {
    const std::wstring folder = L"D:\\work\\pics";
    EXPECT_EQ(ResolvePath(folder, L"a.png"), L"D:\\work\\pics\\a.png");
    EXPECT_EQ(ResolvePath(folder, L"..\\a.png"), L"D:\\work\\pics\\..\\a.png");
    EXPECT_EQ(ResolvePath(folder, L"\\a.png"), L"D:\\a.png");
    EXPECT_EQ(ResolvePath(folder, L"d:a.png"), L"D:\\work\\pics\\a.png");
    EXPECT_EQ(ResolvePath(folder, L"E:a.png"), L"E:\\a.png");
    EXPECT_EQ(ResolvePath(folder, L"C:\\x\\a.png"), L"C:\\x\\a.png");
    EXPECT_EQ(ResolvePath(folder, L"\\\\srv\\share\\a.png"), L"\\\\srv\\share\\a.png");
    EXPECT_EQ(ResolvePath(L"\\\\srv\\share\\sub", L"\\a.png"), L"\\\\srv\\share\\a.png");
    EXPECT_EQ(ResolvePath(L"D:\\", L"a.png"), L"D:\\a.png");
}

TEST(FileTypes, ExtensionsOfTheOpenFilter) {
    const wchar_t filter[] =
        L"Pictures (*.bmp;*.PNG)\0*.bmp; *.PNG;*.dib;*.bmp;*.*;*.j?g;name.gif;*.\0"
        L"WebP\0*.webp\0"
        L"All files (*.*)\0*.*\0";
    EXPECT_EQ(ExtensionsOfFilter(std::wstring_view(filter, std::size(filter) - 1)),
              (std::vector<std::wstring>{L".bmp", L".png", L".dib", L".webp"}));
    // A list cut short (no closing zeros) still gives what it holds.
    EXPECT_EQ(ExtensionsOfFilter(std::wstring_view(L"x\0*.tif", 7)), (std::vector<std::wstring>{L".tif"}));
}

}  // namespace
