#include "core/settings/recent_files.h"

#include <algorithm>

#include "core/files/paths.h"

namespace {
constexpr size_t LABEL_DIGITS = 10;  // &1 to &9, then &0
}

void AddRecentFile(std::vector<std::wstring>& list, const std::wstring& path, SameFileTest same) {
    RemoveRecentFile(list, path, same);
    list.insert(list.begin(), path);
    if (list.size() > RECENT_FILES_MAX) list.resize(RECENT_FILES_MAX);
}

void RemoveRecentFile(std::vector<std::wstring>& list, const std::wstring& path, SameFileTest same) {
    list.erase(std::remove_if(list.begin(), list.end(), [&](const std::wstring& entry) { return same(entry, path); }),
               list.end());
}

std::wstring RecentFileLabel(size_t index, const std::wstring& path) {
    std::wstring label = L"&";
    label += static_cast<wchar_t>(L'0' + (index + 1) % LABEL_DIGITS);
    label += L' ';
    for (wchar_t unit : ShortenPath(path, RECENT_LABEL_PATH_CHARS)) {
        if (unit == L'&') label += L'&';
        label += unit;
    }
    return label;
}
