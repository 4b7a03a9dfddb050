// The block a second start hands to the running frame: what is sent comes
// back, and a block that is not exactly a folder and a command line, each
// with its zero, is refused whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/session/hand_over.h"

namespace {

std::vector<uint8_t> Units(const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

TEST(HandOver, WhatIsSentComesBack) {
    const HandOver sent = {L"C:\\\u7167\u7247", L"\"C:\\kiv\\kiv.exe\" a.png \"b c.png\""};
    const std::vector<uint8_t> block = HandOverBlock(sent);
    ASSERT_FALSE(block.empty());
    HandOver read;
    ASSERT_TRUE(ReadHandOver(block.data(), block.size(), read));
    EXPECT_EQ(read.folder, sent.folder);
    EXPECT_EQ(read.commandLine, sent.commandLine);

    const HandOver longest = {L"C:\\" + std::wstring(HAND_OVER_FOLDER_MAX - 3, L'f'),
                              std::wstring(HAND_OVER_COMMAND_LINE_MAX, L'c')};
    const std::vector<uint8_t> big = HandOverBlock(longest);
    EXPECT_EQ(big.size(), HAND_OVER_MAX_BYTES);
    EXPECT_TRUE(ReadHandOver(big.data(), big.size(), read));
    EXPECT_TRUE(HandOverBlock({longest.folder + L"f", longest.commandLine}).empty());
    EXPECT_TRUE(HandOverBlock({longest.folder, longest.commandLine + L"c"}).empty());
    EXPECT_TRUE(HandOverBlock({L"C:\\", std::wstring(L"a\0b", 3)}).empty());
}

TEST(HandOver, OtherBlocksRefused) {
    const std::u16string refused[] = {
        u"",
        u"C:\\x",                       // no zero at all
        std::u16string(u"C:\\x\0kiv", 8),        // the command line without its zero
        std::u16string(u"C:\\x\0kiv\0", 9) + u"more",  // something after the second zero
        std::u16string(u"C:\\x\0kiv\0\0", 10),     // a third zero
        std::u16string(u"C:\\x\0\0", 6),          // an empty command line
        std::u16string(u"\0kiv\0", 5),            // an empty folder
        std::u16string(u"x\\y\0kiv\0", 8),        // a folder that is not full
        std::u16string(u"C:\\\ty\0kiv\0", 10),    // a control character in the folder
    };
    HandOver read;
    for (const std::u16string& text : refused) {
        const std::vector<uint8_t> bytes = Units(text);
        EXPECT_FALSE(ReadHandOver(bytes.data(), bytes.size(), read)) << bytes.size();
    }
    std::vector<uint8_t> odd = Units(std::u16string(u"C:\\x\0kiv\0", 9));
    odd.push_back(0);
    EXPECT_FALSE(ReadHandOver(odd.data(), odd.size(), read));
    EXPECT_FALSE(ReadHandOver(nullptr, 4, read));
    // Past the size limit by one unit, although well formed.
    std::vector<uint8_t> tooBig = Units(u"C:\\x");
    tooBig.insert(tooBig.end(), {0, 0});
    tooBig.resize(HAND_OVER_MAX_BYTES, 'c');
    tooBig.insert(tooBig.end(), {0, 0});
    EXPECT_FALSE(ReadHandOver(tooBig.data(), tooBig.size(), read));
}

}  // namespace
