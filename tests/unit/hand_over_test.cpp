// The block a later start hands to the running frame: what is sent comes
// back, and a block that is not exactly a folder and a command line, each
// with its zero, within the limits, is refused whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/session/hand_over.h"

namespace {

std::vector<uint8_t> Bytes(const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : text) bytes.insert(bytes.end(), {static_cast<uint8_t>(unit & 0xFF), static_cast<uint8_t>(unit >> 8)});
    return bytes;
}

TEST(HandOver, WhatIsSentComesBackAndNothingElse) {
    const HandOver longest = {L"C:\\" + std::wstring(HAND_OVER_FOLDER_MAX - 3, L'\u7167'),
                              std::wstring(HAND_OVER_COMMAND_LINE_MAX, L'c')};
    const std::vector<uint8_t> block = HandOverBlock(longest);
    EXPECT_EQ(block.size(), HAND_OVER_MAX_BYTES);
    HandOver read;
    ASSERT_TRUE(ReadHandOver(block.data(), block.size(), read));
    EXPECT_EQ(read.folder, longest.folder);
    EXPECT_EQ(read.commandLine, longest.commandLine);
    EXPECT_TRUE(HandOverBlock({longest.folder, longest.commandLine + L"c"}).empty());
    EXPECT_TRUE(HandOverBlock({L"C:\\", std::wstring(L"a\0b", 3)}).empty());

    const std::u16string refused[] = {
        u"", u"C:\\x",                            // no zero at all
        std::u16string(u"C:\\x\0kiv", 8),           // the command line without its zero
        std::u16string(u"C:\\x\0kiv\0z", 10),       // something after the second zero
        std::u16string(u"C:\\x\0\0", 6),            // an empty command line
        std::u16string(u"x\\y\0kiv\0", 8),          // a folder that is not full
        std::u16string(u"C:\\\ty\0kiv\0", 10),      // a control character in the folder
    };
    for (const std::u16string& text : refused) {
        const std::vector<uint8_t> bytes = Bytes(text);
        EXPECT_FALSE(ReadHandOver(bytes.data(), bytes.size(), read)) << bytes.size();
    }
    std::vector<uint8_t> odd = Bytes(std::u16string(u"C:\\x\0kiv\0", 9));
    odd.push_back(0);
    EXPECT_FALSE(ReadHandOver(odd.data(), odd.size(), read));
    std::vector<uint8_t> tooBig = Bytes(std::u16string(u"C:\\x\0", 5));
    tooBig.resize(HAND_OVER_MAX_BYTES, 'c');
    tooBig.insert(tooBig.end(), {0, 0});
    EXPECT_FALSE(ReadHandOver(tooBig.data(), tooBig.size(), read));
}

}  // namespace
