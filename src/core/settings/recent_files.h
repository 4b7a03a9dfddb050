// The list of recent files: the last pictures the user opened, newest first,
// each file once, and the menu labels that show them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

constexpr size_t RECENT_FILES_MAX = 10;
// How much of a path a menu label shows.
constexpr size_t RECENT_LABEL_PATH_CHARS = 60;

// Whether two full paths name the same file; the caller knows how its file
// system compares names.
using SameFileTest = bool (*)(const std::wstring& a, const std::wstring& b);

// Puts path first; an entry for the same file goes, and the oldest beyond
// RECENT_FILES_MAX drop off.
void AddRecentFile(std::vector<std::wstring>& list, const std::wstring& path, SameFileTest same);
void RemoveRecentFile(std::vector<std::wstring>& list, const std::wstring& path, SameFileTest same);

// The menu label of entry index (0 for the newest): "&1 " ... "&9 ", "&0 "
// for the tenth, then the path shortened to RECENT_LABEL_PATH_CHARS with its
// ampersands doubled, so that none is taken for an access key.
std::wstring RecentFileLabel(size_t index, const std::wstring& path);
