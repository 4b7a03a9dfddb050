#include "core/keys/keys.h"

#include "core/keys/commands.h"

namespace {

// The order of the lists of keys: opening and stepping, the view,
// animations, comparing, windows, scrolling, the wheel, help.
constexpr KeyBinding KEY_TABLE[] = {
    {IDM_OPEN, 'O', KEYMOD_CTRL},
    {IDM_NEXT, KEY_SPACE, KEYMOD_NONE},
    {IDM_PREVIOUS, KEY_BACK, KEYMOD_NONE},
    {IDM_COPY_PICTURE, 'C', KEYMOD_CTRL},
    {IDM_COPY_PATH, 'C', KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_RELOAD, KEY_F5, KEYMOD_NONE},
    // + and - zoom one step with or without Ctrl, and to the next preset
    // with Shift.
    {IDM_ZOOM_IN, KEY_PLUS, KEYMOD_NONE},
    {IDM_ZOOM_IN, KEY_PLUS, KEYMOD_CTRL},
    {IDM_ZOOM_IN, KEY_NUMPAD_ADD, KEYMOD_NONE},
    {IDM_ZOOM_IN, KEY_NUMPAD_ADD, KEYMOD_CTRL},
    {IDM_ZOOM_OUT, KEY_MINUS, KEYMOD_NONE},
    {IDM_ZOOM_OUT, KEY_MINUS, KEYMOD_CTRL},
    {IDM_ZOOM_OUT, KEY_NUMPAD_SUBTRACT, KEYMOD_NONE},
    {IDM_ZOOM_OUT, KEY_NUMPAD_SUBTRACT, KEYMOD_CTRL},
    {IDM_ZOOM_IN_PRESET, KEY_PLUS, KEYMOD_SHIFT},
    {IDM_ZOOM_IN_PRESET, KEY_PLUS, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_ZOOM_IN_PRESET, KEY_NUMPAD_ADD, KEYMOD_SHIFT},
    {IDM_ZOOM_IN_PRESET, KEY_NUMPAD_ADD, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_ZOOM_OUT_PRESET, KEY_MINUS, KEYMOD_SHIFT},
    {IDM_ZOOM_OUT_PRESET, KEY_MINUS, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_ZOOM_OUT_PRESET, KEY_NUMPAD_SUBTRACT, KEYMOD_SHIFT},
    {IDM_ZOOM_OUT_PRESET, KEY_NUMPAD_SUBTRACT, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_ACTUAL_SIZE, '0', KEYMOD_CTRL},
    {IDM_ACTUAL_SIZE, KEY_NUMPAD_0, KEYMOD_CTRL},
    {IDM_FIT, 'F', KEYMOD_NONE},
    {IDM_ROTATE_CLOCKWISE, 'R', KEYMOD_NONE},
    {IDM_ROTATE_ANTICLOCKWISE, 'L', KEYMOD_NONE},
    {IDM_FLIP, 'H', KEYMOD_NONE},
    {IDM_PAUSE_ANIMATION, 'P', KEYMOD_NONE},
    {IDM_PREVIOUS_FRAME, KEY_COMMA, KEYMOD_NONE},
    {IDM_NEXT_FRAME, KEY_PERIOD, KEYMOD_NONE},
    {IDM_SET_REFERENCE, 'R', KEYMOD_CTRL},
    {IDM_DIFFERENCE_VIEW, 'D', KEYMOD_NONE},
    {IDM_METRIC_NEXT, 'M', KEYMOD_NONE},
    {IDM_METRIC_PREVIOUS, 'M', KEYMOD_SHIFT},
    {IDM_EXPOSURE_UP, KEY_BRACKET_CLOSE, KEYMOD_NONE},
    {IDM_EXPOSURE_DOWN, KEY_BRACKET_OPEN, KEYMOD_NONE},
    {IDM_TOLERANCE_UP, KEY_BRACKET_CLOSE, KEYMOD_CTRL},
    {IDM_TOLERANCE_DOWN, KEY_BRACKET_OPEN, KEYMOD_CTRL},
    {IDM_TOLERANCE_UP_16, KEY_BRACKET_CLOSE, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_TOLERANCE_DOWN_16, KEY_BRACKET_OPEN, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_OFFSET_LEFT, KEY_LEFT, KEYMOD_CTRL},
    {IDM_OFFSET_RIGHT, KEY_RIGHT, KEYMOD_CTRL},
    {IDM_OFFSET_UP, KEY_UP, KEYMOD_CTRL},
    {IDM_OFFSET_DOWN, KEY_DOWN, KEYMOD_CTRL},
    {IDM_OFFSET_LEFT_10, KEY_LEFT, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_OFFSET_RIGHT_10, KEY_RIGHT, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_OFFSET_UP_10, KEY_UP, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_OFFSET_DOWN_10, KEY_DOWN, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDM_OFFSET_RESET, KEY_HOME, KEYMOD_CTRL},
    {IDM_SHOW_REFERENCE, 'X', KEYMOD_NONE, true},
    {IDM_AUTO_FLICKER, 'B', KEYMOD_NONE},
    {IDM_WIPE, 'W', KEYMOD_NONE},
    {IDM_COMPARE_INFO, 'I', KEYMOD_CTRL},
    {IDM_LINK_VIEWS, 'L', KEYMOD_CTRL},
    {IDM_SCROLL_LEFT, KEY_LEFT, KEYMOD_NONE},
    {IDM_SCROLL_RIGHT, KEY_RIGHT, KEYMOD_NONE},
    {IDM_SCROLL_UP, KEY_UP, KEYMOD_NONE},
    {IDM_SCROLL_DOWN, KEY_DOWN, KEYMOD_NONE},
    {IDM_PAGE_UP, KEY_PAGE_UP, KEYMOD_NONE},
    {IDM_PAGE_DOWN, KEY_PAGE_DOWN, KEYMOD_NONE},
    {IDM_HOME, KEY_HOME, KEYMOD_NONE},
    {IDM_END, KEY_END, KEYMOD_NONE},
    {IDG_WHEEL_SCROLL, KEY_WHEEL, KEYMOD_NONE},
    {IDG_WHEEL_PAGE, KEY_WHEEL, KEYMOD_SHIFT},
    {IDG_WHEEL_SCROLL_SIDEWAYS, KEY_WHEEL, KEYMOD_CTRL},
    {IDG_WHEEL_PAGE_SIDEWAYS, KEY_WHEEL, KEYMOD_CTRL | KEYMOD_SHIFT},
    {IDG_WHEEL_ZOOM, KEY_WHEEL, KEYMOD_ALT},
    {IDG_WHEEL_ZOOM_PRESET, KEY_WHEEL, KEYMOD_ALT | KEYMOD_SHIFT},
    {IDM_KEYS, KEY_F1, KEYMOD_NONE},
};

struct NamedKey {
    uint16_t key;
    const char* name;
};

constexpr NamedKey KEY_NAMES[] = {
    {KEY_BACK, "Backspace"},     {KEY_SPACE, "Space"},       {KEY_PAGE_UP, "PgUp"},
    {KEY_PAGE_DOWN, "PgDn"},     {KEY_END, "End"},           {KEY_HOME, "Home"},
    {KEY_LEFT, "Left"},          {KEY_UP, "Up"},             {KEY_RIGHT, "Right"},
    {KEY_DOWN, "Down"},          {KEY_NUMPAD_0, "Num 0"},    {KEY_NUMPAD_ADD, "Num +"},
    {KEY_NUMPAD_SUBTRACT, "Num -"}, {KEY_PLUS, "+"},         {KEY_COMMA, ","},
    {KEY_MINUS, "-"},            {KEY_PERIOD, "."},          {KEY_BRACKET_OPEN, "["},
    {KEY_BRACKET_CLOSE, "]"},
};

// In the order captions name them.
struct NamedModifier {
    uint8_t bit;
    const char* name;
};
constexpr NamedModifier MODIFIER_NAMES[] = {{KEYMOD_CTRL, "Ctrl"}, {KEYMOD_ALT, "Alt"}, {KEYMOD_SHIFT, "Shift"}};

constexpr char KEY_SEPARATOR[] = "+";
constexpr char LIST_SEPARATOR[] = ", ";
constexpr int FUNCTION_KEY_COUNT = KEY_F12 - KEY_F1 + 1;
constexpr char FUNCTION_KEY_PREFIX[] = "F";

std::string BaseName(uint16_t key, const KeyWords& words) {
    if (key == KEY_WHEEL) return words.wheel;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= KEY_F1 && key < KEY_F1 + FUNCTION_KEY_COUNT) {
        std::string name = FUNCTION_KEY_PREFIX;
        name.append(std::to_string(key - KEY_F1 + 1));
        return name;
    }
    for (const NamedKey& named : KEY_NAMES) {
        if (named.key == key) return named.name;
    }
    return {};
}

}  // namespace

std::span<const KeyBinding> KeyTable() { return KEY_TABLE; }

bool IsAcceleratorKey(const KeyBinding& binding) { return binding.key < KEY_WHEEL && !binding.held; }

std::string KeyName(const KeyBinding& binding, const KeyWords& words) {
    const std::string base = BaseName(binding.key, words);
    if (base.empty()) return base;
    std::string name = binding.held ? words.hold : std::string();
    for (const NamedModifier& modifier : MODIFIER_NAMES) {
        if (binding.modifiers & modifier.bit) name.append(modifier.name).append(KEY_SEPARATOR);
    }
    name.append(base);
    return name;
}

std::string MenuKeyText(int command, const KeyWords& words) {
    for (const KeyBinding& binding : KEY_TABLE) {
        if (binding.command == command && binding.key != KEY_WHEEL) return KeyName(binding, words);
    }
    return {};
}

std::vector<CommandKeys> KeysByCommand() {
    std::vector<CommandKeys> commands;
    for (const KeyBinding& binding : KEY_TABLE) {
        CommandKeys* found = nullptr;
        for (CommandKeys& listed : commands) {
            if (listed.command == binding.command) found = &listed;
        }
        if (found == nullptr) {
            commands.push_back({binding.command, {}});
            found = &commands.back();
        }
        found->bindings.push_back(binding);
    }
    return commands;
}

std::string JoinedKeyNames(const CommandKeys& keys, const KeyWords& words) {
    std::string joined;
    for (const KeyBinding& binding : keys.bindings) {
        if (!joined.empty()) joined += LIST_SEPARATOR;
        joined += KeyName(binding, words);
    }
    return joined;
}
