#include "core/files/file_types.h"

#include <algorithm>

namespace {

constexpr wchar_t PATTERN_SEPARATOR = L';';
constexpr std::wstring_view ANY_NAME = L"*.";

wchar_t LowerAscii(wchar_t unit) { return unit >= L'A' && unit <= L'Z' ? unit - L'A' + L'a' : unit; }

// "*.ext" -> ".ext"; "" for anything else.
std::wstring ExtensionOfPattern(std::wstring_view pattern) {
    while (!pattern.empty() && pattern.front() == L' ') pattern.remove_prefix(1);
    while (!pattern.empty() && pattern.back() == L' ') pattern.remove_suffix(1);
    if (pattern.substr(0, ANY_NAME.size()) != ANY_NAME) return std::wstring();
    const std::wstring_view extension = pattern.substr(ANY_NAME.size() - 1);
    if (extension.size() < 2 || extension.find_first_of(L"*?.", 1) != std::wstring_view::npos) return std::wstring();
    std::wstring lower;
    for (wchar_t unit : extension) lower += LowerAscii(unit);
    return lower;
}

}  // namespace

std::vector<std::wstring> ExtensionsOfFilter(std::wstring_view filter) {
    std::vector<std::wstring> extensions;
    bool patterns = false;  // the strings alternate: caption, patterns
    while (!filter.empty()) {
        const size_t end = std::min(filter.find(L'\0'), filter.size());
        const std::wstring_view part = filter.substr(0, end);
        filter.remove_prefix(std::min(end + 1, filter.size()));
        if (part.empty()) break;  // the second zero ends the list
        if (patterns) {
            for (std::wstring_view rest = part; !rest.empty();) {
                const size_t next = std::min(rest.find(PATTERN_SEPARATOR), rest.size());
                const std::wstring extension = ExtensionOfPattern(rest.substr(0, next));
                rest.remove_prefix(std::min(next + 1, rest.size()));
                if (!extension.empty() && std::find(extensions.begin(), extensions.end(), extension) == extensions.end()) {
                    extensions.push_back(extension);
                }
            }
        }
        patterns = !patterns;
    }
    return extensions;
}
