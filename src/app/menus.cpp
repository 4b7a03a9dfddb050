#include "app/menus.h"

#include <vector>

#include "app/resource.h"

namespace {

constexpr wchar_t KEY_TEXT_SEPARATOR[] = L"\t";
constexpr UINT CAPTION_CHARS = 256;

// Appends each item's key after a tab, in the submenus too.
void AppendKeyTexts(HMENU menu, const KeyWords& words) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t caption[CAPTION_CHARS] = {};
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        item.dwTypeData = caption;
        item.cch = CAPTION_CHARS;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item)) continue;
        if (item.hSubMenu != nullptr) {
            AppendKeyTexts(item.hSubMenu, words);
            continue;
        }
        if (item.fType & MFT_SEPARATOR) continue;
        const std::string key = MenuKeyText(static_cast<int>(item.wID), words);
        if (key.empty()) continue;
        std::wstring text = std::wstring(caption) + KEY_TEXT_SEPARATOR + WidenUtf8(key);
        MENUITEMINFOW changed = {};
        changed.cbSize = sizeof changed;
        changed.fMask = MIIM_STRING;
        changed.dwTypeData = text.data();
        SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &changed);
    }
}

BYTE AcceleratorFlags(uint8_t modifiers) {
    BYTE flags = FVIRTKEY;
    if (modifiers & KEYMOD_CTRL) flags |= FCONTROL;
    if (modifiers & KEYMOD_SHIFT) flags |= FSHIFT;
    if (modifiers & KEYMOD_ALT) flags |= FALT;
    return flags;
}

}  // namespace

HMENU BuildMenuBar(Language language) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found =
        FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_MENU), MAKEINTRESOURCEW(IDR_MENU_BAR), LanguageId(language));
    const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* menuTemplate = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (menuTemplate == nullptr) return nullptr;
    const HMENU menuBar = LoadMenuIndirectW(menuTemplate);
    if (menuBar == nullptr) return nullptr;
    AppendKeyTexts(menuBar, CurrentKeyWords());
    // The language it is built in is the one in use.
    CheckMenuRadioItem(menuBar, IDM_LANGUAGE_CHINESE, IDM_LANGUAGE_ENGLISH,
                       language == Language::Chinese ? IDM_LANGUAGE_CHINESE : IDM_LANGUAGE_ENGLISH, MF_BYCOMMAND);
    return menuBar;
}

HACCEL BuildAccelerators() {
    std::vector<ACCEL> keys;
    for (const KeyBinding& binding : KeyTable()) {
        if (!IsAcceleratorKey(binding)) continue;
        keys.push_back({AcceleratorFlags(binding.modifiers), binding.key, static_cast<WORD>(binding.command)});
    }
    return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

KeyWords CurrentKeyWords() { return {NarrowUtf8(Text(IDS_KEY_WHEEL)), NarrowUtf8(Text(IDS_KEY_HOLD))}; }
