// The key table: one command per key, a name for every key, and the names
// the menus and lists show.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "core/keys/commands.h"
#include "core/keys/keys.h"

namespace {

const KeyWords WORDS = {"Wheel", "Hold "};

TEST(KeyTable, EveryKeyRunsOneCommandAndHasAName) {
    std::set<std::pair<uint16_t, uint8_t>> seen;
    for (const KeyBinding& binding : KeyTable()) {
        EXPECT_TRUE(seen.insert({binding.key, binding.modifiers}).second)
            << KeyName(binding, WORDS) << " is bound twice";
        EXPECT_FALSE(KeyName(binding, WORDS).empty()) << "key code " << binding.key << " has no name";
    }
}

TEST(KeyTable, NamesPutModifiersFirstInOneOrder) {
    EXPECT_EQ(KeyName({IDM_COPY_PATH, 'C', KEYMOD_CTRL | KEYMOD_SHIFT}, WORDS), "Ctrl+Shift+C");
    EXPECT_EQ(KeyName({IDG_WHEEL_ZOOM_PRESET, KEY_WHEEL, KEYMOD_ALT | KEYMOD_SHIFT}, {"滚轮", "按住 "}),
              "Alt+Shift+滚轮");
    EXPECT_EQ(KeyName({IDM_SHOW_REFERENCE, 'X', KEYMOD_NONE, true}, {"滚轮", "按住 "}), "按住 X");
    EXPECT_EQ(KeyName({IDM_ZOOM_IN, KEY_NUMPAD_ADD, KEYMOD_CTRL}, WORDS), "Ctrl+Num +");
    EXPECT_EQ(KeyName({IDM_KEYS, KEY_F12, KEYMOD_NONE}, WORDS), "F12");
    EXPECT_EQ(KeyName({IDM_EXPOSURE_UP, KEY_BRACKET_CLOSE, KEYMOD_CTRL | KEYMOD_SHIFT}, WORDS), "Ctrl+Shift+]");
    EXPECT_EQ(KeyName({IDM_OPEN, 0x07, KEYMOD_CTRL}, WORDS), "");
}

TEST(KeyTable, MenusShowTheFirstKeyAndNeverTheWheel) {
    EXPECT_EQ(MenuKeyText(IDM_ZOOM_IN, WORDS), "+");
    EXPECT_EQ(MenuKeyText(IDM_ACTUAL_SIZE, WORDS), "Ctrl+0");
    EXPECT_EQ(MenuKeyText(IDM_SHOW_REFERENCE, WORDS), "Hold X");
    EXPECT_EQ(MenuKeyText(IDM_EXIT, WORDS), "");
    EXPECT_EQ(MenuKeyText(IDG_WHEEL_SCROLL, WORDS), "");
}

TEST(KeyTable, ListsGroupEachCommandsKeysInTableOrder) {
    int zoomLines = 0;
    for (const CommandKeys& command : KeysByCommand()) {
        if (command.command != IDM_ZOOM_IN) continue;
        ++zoomLines;
        EXPECT_EQ(JoinedKeyNames(command, WORDS), "+, Ctrl++, Num +, Ctrl+Num +");
    }
    EXPECT_EQ(zoomLines, 1);
}

}  // namespace
