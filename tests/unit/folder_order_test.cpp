// Natural order of file names, the picture list of a folder and stepping through it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/files/folder_order.h"

namespace {

using Names = std::vector<std::wstring>;

TEST(NaturalCompare, OrdersAListStrictly) {
    // Each name before every later one; leading zeros decide only when
    // nothing else does; '_' sorts before letters, as lower case puts it.
    const Names ordered = {L"", L"0", L"00", L"1", L"01", L"2", L"9", L"10", L"99999999999999999999",
                           L"100000000000000000000", L"_x", L"a", L"a1b", L"a01b", L"a1c", L"B", L"img2",
                           L"IMG10", L"img10.png", L"img10a", L"\u00e9", L"\u7167\u7247"};
    for (size_t i = 0; i < ordered.size(); ++i) {
        EXPECT_EQ(NaturalCompare(ordered[i], ordered[i]), 0);
        for (size_t j = i + 1; j < ordered.size(); ++j) {
            EXPECT_LT(NaturalCompare(ordered[i], ordered[j]), 0) << i << " " << j;
            EXPECT_GT(NaturalCompare(ordered[j], ordered[i]), 0) << i << " " << j;
        }
    }
    EXPECT_EQ(NaturalCompare(L"Photo 7.JPG", L"photo 7.jpg"), 0);
    EXPECT_NE(NaturalCompare(L"\u00c9", L"\u00e9"), 0);  // only ASCII letters fold
}

TEST(FolderOrder, PicturesOnlyInOrder) {
    EXPECT_TRUE(HasPictureExtension(L"a.JPEG"));
    EXPECT_TRUE(HasPictureExtension(L"x.y.Tiff"));
    EXPECT_TRUE(HasPictureExtension(L".png"));
    for (const wchar_t* other : {L"a.png.txt", L"png", L"a.", L"a.pn", L"a.pngg", L"a.jp g", L"a"}) {
        EXPECT_FALSE(HasPictureExtension(other)) << other;
    }
    const std::vector<FolderEntry> entries = {
        {L"img10.png"}, {L"sub.png", true}, {L"notes.txt"}, {L"img2.png"}, {L"IMG2.png"}, {L"a.png.txt"},
        {L"\u7167\u7247 \u00f1 \u2713.png"}, {L"B.JPG"}, {L"a.gif"}, {L".png"}};
    const Names natural = {L".png", L"a.gif", L"B.JPG", L"IMG2.png", L"img2.png", L"img10.png",
                           L"\u7167\u7247 \u00f1 \u2713.png"};
    EXPECT_EQ(OrderPictures(entries, NaturalCompare), natural);
    EXPECT_EQ(OrderPictures(entries, nullptr), natural);
    // The caller's compare decides; here one that sees every name as equal.
    const NameCompare none = [](const std::wstring&, const std::wstring&) { return 0; };
    const Names plain = {L".png", L"B.JPG", L"IMG2.png", L"a.gif", L"img10.png", L"img2.png",
                         L"\u7167\u7247 \u00f1 \u2713.png"};
    EXPECT_EQ(OrderPictures(entries, none), plain);
    EXPECT_TRUE(OrderPictures({}, nullptr).empty());
}

// The system's codecs add theirs to the built-in list, however they spell them.
TEST(FolderOrder, ExtensionsOfTheCodecs) {
    PictureExtensions extensions = BuiltInPictureExtensions();
    EXPECT_TRUE(HasPictureExtension(L"a.WebP", extensions));
    EXPECT_FALSE(HasPictureExtension(L"a.dds", extensions));
    const size_t builtIn = extensions.size();
    AddPictureExtensions(L".DDS,.tga;*.JXR .wdp,,.png;*;.;.a.b;x?", extensions);
    const Names added(extensions.begin() + builtIn, extensions.end());
    EXPECT_EQ(added, (Names{L"dds", L"tga", L"jxr", L"wdp"}));
    AddPictureExtensions(L"", extensions);
    EXPECT_EQ(extensions.size(), builtIn + 4);
    EXPECT_TRUE(HasPictureExtension(L"x.Dds", extensions));
    EXPECT_EQ(ExtensionPatterns({L"jpg", L"tga"}), L"*.jpg;*.tga");
    const std::vector<FolderEntry> entries = {{L"b.tga"}, {L"a.dds"}, {L"c.txt"}};
    EXPECT_EQ(OrderPictures(entries, nullptr, extensions), (Names{L"a.dds", L"b.tga"}));
    EXPECT_TRUE(OrderPictures(entries, nullptr).empty());
}

TEST(FolderOrder, FindAndStep) {
    const Names ordered = {L"A.png", L"a.png", L"img2.png", L"img10.png"};
    EXPECT_EQ(FindPicture(ordered, L"a.png"), 1);
    EXPECT_EQ(FindPicture(ordered, L"IMG10.PNG"), 3);
    EXPECT_EQ(FindPicture(ordered, L"img3.png"), -1);

    EXPECT_EQ(NeighbourPicture(ordered, L"img2.png", 1, NaturalCompare), 3);
    EXPECT_EQ(NeighbourPicture(ordered, L"img2.png", -1, NaturalCompare), 1);
    EXPECT_EQ(NeighbourPicture(ordered, L"img10.png", 1, NaturalCompare), 0);  // wraps
    EXPECT_EQ(NeighbourPicture(ordered, L"A.png", -1, NaturalCompare), 3);
    EXPECT_EQ(NeighbourPicture(ordered, L"IMG2.PNG", 1, NaturalCompare), 3);   // renamed in case only
    // Gone from the folder: the neighbours of the place it had.
    EXPECT_EQ(NeighbourPicture(ordered, L"img3.png", 1, NaturalCompare), 3);
    EXPECT_EQ(NeighbourPicture(ordered, L"img3.png", -1, NaturalCompare), 2);
    EXPECT_EQ(NeighbourPicture(ordered, L"zz.png", 1, NaturalCompare), 0);
    EXPECT_EQ(NeighbourPicture(ordered, L"zz.png", -1, NaturalCompare), 3);
    EXPECT_EQ(NeighbourPicture(ordered, L"0.png", -1, nullptr), 3);
    EXPECT_EQ(NeighbourPicture(ordered, L"0.png", 1, nullptr), 0);

    EXPECT_EQ(NeighbourPicture({}, L"a.png", 1, NaturalCompare), -1);
    EXPECT_EQ(NeighbourPicture({L"a.png"}, L"a.png", 1, NaturalCompare), 0);
    EXPECT_EQ(NeighbourPicture({L"a.png"}, L"a.png", -1, NaturalCompare), 0);
}

}  // namespace
