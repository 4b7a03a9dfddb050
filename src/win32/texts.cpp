#include "win32/texts.h"

#include <map>

#include "core/text/text.h"

namespace {

// A string table resource holds 16 strings, each its length and its
// characters, without terminators.
constexpr UINT STRINGS_PER_BLOCK = 16;

Language currentLanguage = Language::Chinese;

// The texts already looked up, per language; map nodes never move, so the
// pointers handed out stay valid.
std::map<Language, std::map<UINT, std::wstring>> cache;

// Whether the string table of language holds id, and its text.
bool LoadFromTable(UINT id, Language language, std::wstring& text) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_STRING),
                                        MAKEINTRESOURCEW(id / STRINGS_PER_BLOCK + 1), LanguageId(language));
    if (found == nullptr) return false;
    const HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const auto* block = static_cast<const wchar_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (block == nullptr) return false;
    // Walked with the resource's size in hand, so a damaged table cannot
    // lead the reads outside it.
    const size_t count = size / sizeof(wchar_t);
    size_t at = 0;
    for (UINT index = 0; index < id % STRINGS_PER_BLOCK; ++index) {
        if (at >= count) return false;
        at += 1 + block[at];
    }
    if (at >= count || block[at] == 0 || at + 1 + block[at] > count) return false;
    text.assign(block + at + 1, block[at]);
    return true;
}

}  // namespace

Language UserInterfaceLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE ? Language::Chinese : Language::English;
}

Language CurrentLanguage() { return currentLanguage; }

void SetLanguage(Language language) {
    currentLanguage = language == Language::FromSystem ? UserInterfaceLanguage() : language;
}

LANGID LanguageId(Language language) {
    return language == Language::English ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                                         : MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
}

const wchar_t* Text(UINT id) {
    std::map<UINT, std::wstring>& texts = cache[currentLanguage];
    const auto known = texts.find(id);
    if (known != texts.end()) return known->second.c_str();
    std::wstring text;
    if (!LoadFromTable(id, currentLanguage, text)) LoadFromTable(id, Language::Chinese, text);
    return texts.emplace(id, text).first->second.c_str();
}

std::wstring FormatText(UINT id, std::initializer_list<std::wstring> arguments) {
    return FillPattern(Text(id), arguments);
}

std::wstring WidenUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string NarrowUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}
