// What kiv keeps from one run to the next, and how it is read back from the
// text of its settings file. The file comes from outside: every value is
// range-checked, and one that is missing or malformed gives its default,
// never an error.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/compare/difference.h"
#include "core/text/language.h"


// The frame's place and size when it is neither minimised nor maximised, in
// the coordinates of the system's window placement.
struct FramePlacement {
    bool known = false;  // false: the system's default place and size
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool maximized = false;
};

// A frame smaller than this is taken for a damaged file, as is one larger
// than any screen could be.
constexpr int32_t FRAME_MIN_SIZE = 100;
constexpr int32_t FRAME_MAX_SIZE = 32767;
constexpr int32_t FRAME_COORDINATE_LIMIT = 32767;

struct KeptSettings {
    FramePlacement frame;
    bool autoReload = false;
    bool linkedViews = false;
    CompareSettings compare;
    std::wstring openFolder;  // where the Open dialog was last used, or ""
    bool oneFrame = true;     // a start hands its files to the running frame
    Language language = Language::FromSystem;
    std::vector<std::wstring> recentFiles;  // newest first
};

// One value of the file: section, key and its text.
struct SettingEntry {
    std::wstring section;
    std::wstring key;
    std::wstring value;
};

// Reads every setting through lookup, which gives the text stored under
// section and key, or "" where there is none.
using SettingLookup = std::function<std::wstring(const wchar_t* section, const wchar_t* key)>;
KeptSettings ReadSettings(const SettingLookup& lookup);

// Every key with its value, in the file's order, for writing it whole.
std::vector<SettingEntry> SettingEntries(const KeptSettings& settings);

// The value rules. A flag is "1" or "0"; an integer is decimal with an
// optional minus, within [min, max]; anything else gives fallback.
bool FlagFromText(std::wstring_view text, bool fallback);
int32_t IntegerFromText(std::wstring_view text, int32_t min, int32_t max, int32_t fallback);
// A path worth keeping: full (IsFullPath), within the system's longest path,
// no control characters.
bool IsKeepablePath(const std::wstring& path);
