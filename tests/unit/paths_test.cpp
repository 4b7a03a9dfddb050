// Path text: splitting, joining, the extended-length prefix and comparison,
// on names outside ASCII and paths past every old limit.
#include <gtest/gtest.h>

#include <string>

#include "core/files/paths.h"

namespace {

const std::wstring PHOTO = L"\u7167\u7247 \u00f1 \u2713.png";

TEST(Paths, FolderAndName) {
    struct Split {
        std::wstring path, folder, name;
    };
    const Split splits[] = {
        {L"C:\\pics\\" + PHOTO, L"C:\\pics", PHOTO},
        {L"C:\\" + PHOTO, L"C:\\", PHOTO},
        {L"C:/a/b.png", L"C:/a", L"b.png"},
        {L"C:\\pics\\\\b.png", L"C:\\pics", L"b.png"},
        {L"C:\\pics\\", L"C:\\pics", L""},
        {L"\\\\?\\C:\\b.png", L"\\\\?\\C:\\", L"b.png"},
        {L"\\\\?\\C:\\d\\b.png", L"\\\\?\\C:\\d", L"b.png"},
        {L"\\\\server\\share\\b.png", L"\\\\server\\share", L"b.png"},
        {L"\\\\?\\UNC\\server\\share\\b.png", L"\\\\?\\UNC\\server\\share", L"b.png"},
        {L"\\b.png", L"\\", L"b.png"},
        {L"b.png", L"", L"b.png"},
        {L"", L"", L""},
    };
    for (const Split& split : splits) {
        EXPECT_EQ(FolderOf(split.path), split.folder) << split.path;
        EXPECT_EQ(FileNameOf(split.path), split.name) << split.path;
    }
    EXPECT_EQ(JoinPath(L"C:\\pics", PHOTO), L"C:\\pics\\" + PHOTO);
    EXPECT_EQ(JoinPath(L"C:\\", L"b.png"), L"C:\\b.png");
    EXPECT_EQ(JoinPath(L"C:/pics/", L"\\b.png"), L"C:/pics/b.png");
    EXPECT_EQ(JoinPath(L"", L"b.png"), L"b.png");
}

TEST(Paths, ExtendedPrefix) {
    const std::wstring pairs[][2] = {
        {L"C:\\x\\" + PHOTO, L"\\\\?\\C:\\x\\" + PHOTO},
        {L"c:/x/y.png", L"\\\\?\\c:\\x\\y.png"},
        {L"\\\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\x"},
        {L"//server/share/x", L"\\\\?\\UNC\\server\\share\\x"},
    };
    for (const auto& pair : pairs) {
        EXPECT_EQ(ExtendedLengthPath(pair[0]), pair[1]);
        EXPECT_EQ(ExtendedLengthPath(pair[1]), pair[1]);  // once only
        EXPECT_TRUE(SamePath(WithoutExtendedPrefix(pair[1]), pair[0]));
    }
    for (const wchar_t* unchanged : {L"x\\y.png", L"C:y.png", L"\\y.png", L"\\\\.\\C:\\y", L"\\??\\C:\\y", L""}) {
        EXPECT_EQ(ExtendedLengthPath(unchanged), unchanged);
        EXPECT_EQ(WithoutExtendedPrefix(unchanged), unchanged);
    }
    EXPECT_EQ(WithoutExtendedPrefix(L"\\\\?\\unc\\server\\x"), L"\\\\server\\x");
    EXPECT_EQ(WithoutExtendedPrefix(L"\\\\?\\Volume{1}\\x"), L"\\\\?\\Volume{1}\\x");  // no drive to show

    EXPECT_TRUE(SamePath(L"\\\\?\\C:\\Pics\\A.PNG", L"c:/pics/a.png"));
    EXPECT_FALSE(SamePath(L"C:\\pics\\a.png", L"C:\\pics\\a.png2"));
    EXPECT_FALSE(SamePath(L"C:\\\u00c9.png", L"C:\\\u00e9.png"));
}

TEST(Paths, BeyondEveryOldLimit) {
    for (size_t depth : {size_t{30}, size_t{4000}}) {  // past 260 and past 32767 code units
        std::wstring folder = L"D:";
        for (size_t level = 0; level < depth; ++level) folder += L"\\" + PHOTO.substr(0, 7);
        const std::wstring path = JoinPath(folder, PHOTO);
        ASSERT_GT(path.size(), depth * 8);
        EXPECT_EQ(FolderOf(path), folder);
        EXPECT_EQ(FileNameOf(path), PHOTO);
        const std::wstring extended = ExtendedLengthPath(path);
        EXPECT_EQ(extended, L"\\\\?\\" + path);
        EXPECT_EQ(WithoutExtendedPrefix(extended), path);
        EXPECT_EQ(FolderOf(extended), L"\\\\?\\" + folder);
        EXPECT_TRUE(SamePath(extended, L"d:" + path.substr(2)));
    }
}

}  // namespace
