#include "core/settings/settings.h"

#include <iterator>
#include <limits>

#include "core/files/paths.h"
#include "core/settings/recent_files.h"

namespace {

constexpr wchar_t SECTION_FRAME[] = L"Frame";
constexpr wchar_t SECTION_OPTIONS[] = L"Options";
constexpr wchar_t SECTION_COMPARE[] = L"Compare";
constexpr wchar_t SECTION_RECENT[] = L"Recent";
constexpr wchar_t RECENT_KEY_PREFIX[] = L"File";

// The longest path the system takes (with the extended-length prefix).
constexpr size_t LONGEST_PATH = 32767;
constexpr wchar_t FIRST_PRINTABLE = L' ';
constexpr size_t INT32_DIGITS = 10;

constexpr wchar_t TEXT_TRUE[] = L"1";
constexpr wchar_t TEXT_FALSE[] = L"0";

// The names an enumeration is written with, in the order of its values.
constexpr const wchar_t* LANGUAGE_NAMES[] = {L"system", L"zh", L"en"};
constexpr const wchar_t* METRIC_NAMES[] = {L"absolute", L"squared", L"relative-absolute",
                                           L"relative-squared", L"signed", L"tolerance-mask"};
static_assert(std::size(METRIC_NAMES) == DIFFERENCE_METRIC_COUNT);
constexpr const wchar_t* ALIGNMENT_NAMES[] = {L"top-left", L"centre"};

wchar_t FoldAscii(wchar_t unit) { return unit >= L'A' && unit <= L'Z' ? unit - L'A' + L'a' : unit; }

bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k) {
        if (FoldAscii(a[k]) != FoldAscii(b[k])) return false;
    }
    return true;
}

// The index of text among names, or fallback.
template <size_t Count>
int32_t NamedFromText(std::wstring_view text, const wchar_t* const (&names)[Count], int32_t fallback) {
    for (size_t k = 0; k < Count; ++k) {
        if (SameName(text, names[k])) return static_cast<int32_t>(k);
    }
    return fallback;
}

template <size_t Count>
std::wstring NameOf(int32_t value, const wchar_t* const (&names)[Count]) {
    return value >= 0 && static_cast<size_t>(value) < Count ? names[value] : names[0];
}

std::wstring FlagText(bool flag) { return flag ? TEXT_TRUE : TEXT_FALSE; }

std::wstring RecentKey(size_t index) { return RECENT_KEY_PREFIX + std::to_wstring(index + 1); }

// The recent-file rules, by the only comparison text can make.
bool SameFileByText(const std::wstring& a, const std::wstring& b) { return SamePath(a, b); }

FramePlacement FrameFrom(const SettingLookup& lookup) {
    constexpr int32_t NOT_SET = std::numeric_limits<int32_t>::min();
    const int32_t left = IntegerFromText(lookup(SECTION_FRAME, L"Left"), -FRAME_COORDINATE_LIMIT,
                                         FRAME_COORDINATE_LIMIT, NOT_SET);
    const int32_t top = IntegerFromText(lookup(SECTION_FRAME, L"Top"), -FRAME_COORDINATE_LIMIT,
                                        FRAME_COORDINATE_LIMIT, NOT_SET);
    const int32_t right = IntegerFromText(lookup(SECTION_FRAME, L"Right"), -FRAME_COORDINATE_LIMIT,
                                          FRAME_COORDINATE_LIMIT, NOT_SET);
    const int32_t bottom = IntegerFromText(lookup(SECTION_FRAME, L"Bottom"), -FRAME_COORDINATE_LIMIT,
                                           FRAME_COORDINATE_LIMIT, NOT_SET);
    FramePlacement frame;
    if (left == NOT_SET || top == NOT_SET || right == NOT_SET || bottom == NOT_SET) return frame;
    // In range, each coordinate fits in 16 bits, so the differences cannot overflow.
    const int32_t width = right - left;
    const int32_t height = bottom - top;
    if (width < FRAME_MIN_SIZE || width > FRAME_MAX_SIZE || height < FRAME_MIN_SIZE || height > FRAME_MAX_SIZE) {
        return frame;
    }
    frame.known = true;
    frame.left = left;
    frame.top = top;
    frame.right = right;
    frame.bottom = bottom;
    frame.maximized = FlagFromText(lookup(SECTION_FRAME, L"Maximized"), false);
    return frame;
}

}  // namespace

bool FlagFromText(std::wstring_view text, bool fallback) {
    if (text == TEXT_TRUE) return true;
    if (text == TEXT_FALSE) return false;
    return fallback;
}

int32_t IntegerFromText(std::wstring_view text, int32_t min, int32_t max, int32_t fallback) {
    bool negative = false;
    if (!text.empty() && text.front() == L'-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty()) return fallback;
    while (text.size() > 1 && text.front() == L'0') text.remove_prefix(1);
    // Ten digits hold every 32-bit value and cannot overflow 64 bits.
    if (text.size() > INT32_DIGITS) return fallback;
    int64_t magnitude = 0;
    for (wchar_t unit : text) {
        if (unit < L'0' || unit > L'9') return fallback;
        magnitude = magnitude * 10 + (unit - L'0');
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < min || value > max) return fallback;
    return static_cast<int32_t>(value);
}

bool IsKeepablePath(const std::wstring& path) {
    if (path.empty() || path.size() > LONGEST_PATH || !IsFullPath(path)) return false;
    for (wchar_t unit : path) {
        if (unit < FIRST_PRINTABLE) return false;
    }
    return true;
}

KeptSettings ReadSettings(const SettingLookup& lookup) {
    KeptSettings settings;
    const KeptSettings defaults;
    settings.frame = FrameFrom(lookup);
    settings.oneFrame = FlagFromText(lookup(SECTION_OPTIONS, L"OneFrame"), defaults.oneFrame);
    settings.autoReload = FlagFromText(lookup(SECTION_OPTIONS, L"AutoReload"), defaults.autoReload);
    settings.linkedViews = FlagFromText(lookup(SECTION_OPTIONS, L"LinkedViews"), defaults.linkedViews);
    settings.language = static_cast<Language>(
        NamedFromText(lookup(SECTION_OPTIONS, L"Language"), LANGUAGE_NAMES, static_cast<int32_t>(defaults.language)));
    const std::wstring folder = lookup(SECTION_OPTIONS, L"OpenFolder");
    if (IsKeepablePath(folder)) settings.openFolder = folder;

    CompareSettings& compare = settings.compare;
    compare.metric = static_cast<DifferenceMetric>(NamedFromText(
        lookup(SECTION_COMPARE, L"Metric"), METRIC_NAMES, static_cast<int32_t>(defaults.compare.metric)));
    compare.exposure = IntegerFromText(lookup(SECTION_COMPARE, L"Exposure"), EXPOSURE_MIN, EXPOSURE_MAX,
                                       defaults.compare.exposure);
    compare.tolerance = IntegerFromText(lookup(SECTION_COMPARE, L"Tolerance"), 0, TOLERANCE_MAX,
                                        defaults.compare.tolerance);
    compare.alignment = static_cast<Alignment>(NamedFromText(
        lookup(SECTION_COMPARE, L"Alignment"), ALIGNMENT_NAMES, static_cast<int32_t>(defaults.compare.alignment)));

    // Oldest first, so that each added entry ends up in its place and a
    // repeated one keeps its newest place.
    for (size_t k = RECENT_FILES_MAX; k-- > 0;) {
        const std::wstring path = lookup(SECTION_RECENT, RecentKey(k).c_str());
        if (IsKeepablePath(path)) AddRecentFile(settings.recentFiles, path, SameFileByText);
    }
    return settings;
}

std::vector<SettingEntry> SettingEntries(const KeptSettings& settings) {
    std::vector<SettingEntry> entries;
    if (settings.frame.known) {
        entries.push_back({SECTION_FRAME, L"Left", std::to_wstring(settings.frame.left)});
        entries.push_back({SECTION_FRAME, L"Top", std::to_wstring(settings.frame.top)});
        entries.push_back({SECTION_FRAME, L"Right", std::to_wstring(settings.frame.right)});
        entries.push_back({SECTION_FRAME, L"Bottom", std::to_wstring(settings.frame.bottom)});
        entries.push_back({SECTION_FRAME, L"Maximized", FlagText(settings.frame.maximized)});
    }
    entries.push_back({SECTION_OPTIONS, L"OneFrame", FlagText(settings.oneFrame)});
    entries.push_back({SECTION_OPTIONS, L"AutoReload", FlagText(settings.autoReload)});
    entries.push_back({SECTION_OPTIONS, L"LinkedViews", FlagText(settings.linkedViews)});
    entries.push_back({SECTION_OPTIONS, L"Language", NameOf(static_cast<int32_t>(settings.language), LANGUAGE_NAMES)});
    if (!settings.openFolder.empty()) entries.push_back({SECTION_OPTIONS, L"OpenFolder", settings.openFolder});
    const CompareSettings& compare = settings.compare;
    entries.push_back({SECTION_COMPARE, L"Metric", NameOf(static_cast<int32_t>(compare.metric), METRIC_NAMES)});
    entries.push_back({SECTION_COMPARE, L"Exposure", std::to_wstring(compare.exposure)});
    entries.push_back({SECTION_COMPARE, L"Tolerance", std::to_wstring(compare.tolerance)});
    entries.push_back(
        {SECTION_COMPARE, L"Alignment", NameOf(static_cast<int32_t>(compare.alignment), ALIGNMENT_NAMES)});
    for (size_t k = 0; k < settings.recentFiles.size() && k < RECENT_FILES_MAX; ++k) {
        entries.push_back({SECTION_RECENT, RecentKey(k), settings.recentFiles[k]});
    }
    return entries;
}
