// The one table of keys: which key with which modifiers runs which command.
// The accelerators are built from it at run time, the menus get their key
// texts from it, the list of keys (F1) and the READMEs' key lists are
// generated from it. Adding a key is one line in KEY_TABLE.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Key codes: the platform's virtual-key codes, named here so the table stays
// platform-free. Letters and digits are their upper-case ASCII codes.
enum KeyCode : uint16_t {
    KEY_BACK = 0x08,
    KEY_SPACE = 0x20,
    KEY_PAGE_UP = 0x21,
    KEY_PAGE_DOWN = 0x22,
    KEY_END = 0x23,
    KEY_HOME = 0x24,
    KEY_LEFT = 0x25,
    KEY_UP = 0x26,
    KEY_RIGHT = 0x27,
    KEY_DOWN = 0x28,
    KEY_NUMPAD_0 = 0x60,
    KEY_NUMPAD_ADD = 0x6B,
    KEY_NUMPAD_SUBTRACT = 0x6D,
    KEY_F1 = 0x70,
    KEY_F5 = 0x74,
    KEY_F12 = 0x7B,
    KEY_PLUS = 0xBB,  // "=+" of the main keyboard
    KEY_COMMA = 0xBC,
    KEY_MINUS = 0xBD,  // "-_" of the main keyboard
    KEY_PERIOD = 0xBE,
    KEY_BRACKET_OPEN = 0xDB,   // "[{"
    KEY_BRACKET_CLOSE = 0xDD,  // "]}"
    // Not a key: the mouse wheel, turned with the modifiers held. Listed, never
    // an accelerator.
    KEY_WHEEL = 0x100,
};

// Modifier bits.
constexpr uint8_t KEYMOD_NONE = 0;
constexpr uint8_t KEYMOD_CTRL = 1;
constexpr uint8_t KEYMOD_SHIFT = 2;
constexpr uint8_t KEYMOD_ALT = 4;

struct KeyBinding {
    int command;  // a command id (IDM_*), or a gesture's description (IDG_*)
    uint16_t key;
    uint8_t modifiers;
    // A key that acts while it is held, which the document window sees go
    // down and up itself: listed, never an accelerator.
    bool held = false;
};

// The words of key names that depend on the language (UTF-8).
struct KeyWords {
    std::string wheel;  // the mouse wheel: "Wheel"
    std::string hold;   // before a held key: "Hold "
};

// Every binding, in the order the lists show them; a command's first binding
// is the one its menu item shows.
std::span<const KeyBinding> KeyTable();

// Whether the binding is a key press the accelerators carry (not the wheel,
// not a held key).
bool IsAcceleratorKey(const KeyBinding& binding);

// The key as its caption reads, modifiers first: "Ctrl+Shift+C", "Num +",
// "Space", "Alt+Wheel", "Hold X". Empty for a code the table does not use.
std::string KeyName(const KeyBinding& binding, const KeyWords& words);

// The key text of a command's menu item: its first key (never the wheel),
// or empty.
std::string MenuKeyText(int command, const KeyWords& words);

// A command with every binding of it, in table order, for the lists of keys.
struct CommandKeys {
    int command;
    std::vector<KeyBinding> bindings;
};
std::vector<CommandKeys> KeysByCommand();

// The names of a command's bindings joined with ", ".
std::string JoinedKeyNames(const CommandKeys& keys, const KeyWords& words);
