#include "core/files/paths.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

constexpr wchar_t BACKSLASH = L'\\';
constexpr wchar_t SLASH = L'/';
constexpr wchar_t DRIVE_COLON = L':';

constexpr std::wstring_view EXTENDED_PREFIX = L"\\\\?\\";
constexpr std::wstring_view EXTENDED_UNC_PREFIX = L"\\\\?\\UNC\\";
constexpr std::wstring_view UNC_START = L"\\\\";
constexpr size_t DEVICE_PREFIX_LENGTH = 4;  // "\\\\?\\", "\\\\.\\", "\\??\\"
constexpr size_t UNC_LENGTH = 3;            // "UNC" after the prefix
constexpr size_t DRIVE_ROOT_LENGTH = 3;     // "C:\\"

bool IsSeparator(wchar_t unit) {
    return unit == BACKSLASH || unit == SLASH;
}

bool IsAsciiLetter(wchar_t unit) {
    return (unit >= L'a' && unit <= L'z') || (unit >= L'A' && unit <= L'Z');
}

uint32_t FoldAscii(wchar_t unit) {
    const uint32_t value = static_cast<uint32_t>(unit);
    return value >= 'A' && value <= 'Z' ? value - 'A' + 'a' : value;
}

// "C:\\" or "C:/" at offset.
bool HasDriveRootAt(const std::wstring& path, size_t offset) {
    return path.size() >= offset + DRIVE_ROOT_LENGTH && IsAsciiLetter(path[offset]) &&
           path[offset + 1] == DRIVE_COLON && IsSeparator(path[offset + 2]);
}

// "\\\\?\\", "\\\\.\\" or "\\??\\", with either separator.
bool HasDevicePrefix(const std::wstring& path) {
    if (path.size() < DEVICE_PREFIX_LENGTH || !IsSeparator(path[0]) || !IsSeparator(path[3])) return false;
    const bool win32Device = IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.');
    const bool ntObject = path[1] == L'?' && path[2] == L'?';
    return win32Device || ntObject;
}

// "UNC\\" (any case) after an extended prefix.
bool HasUncAfterPrefix(const std::wstring& path) {
    if (path.size() < DEVICE_PREFIX_LENGTH + UNC_LENGTH + 1) return false;
    const wchar_t* unc = L"unc";
    for (size_t k = 0; k < UNC_LENGTH; ++k) {
        if (FoldAscii(path[DEVICE_PREFIX_LENGTH + k]) != static_cast<uint32_t>(unc[k])) return false;
    }
    return IsSeparator(path[DEVICE_PREFIX_LENGTH + UNC_LENGTH]);
}

// Two separators and then a server name.
bool IsUncPath(const std::wstring& path) {
    return path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]) &&
           !HasDevicePrefix(path);
}

// The end of the component that starts at offset.
size_t ComponentEnd(const std::wstring& path, size_t offset) {
    while (offset < path.size() && !IsSeparator(path[offset])) ++offset;
    return offset;
}

// How much of path is its root, which FolderOf never shortens: a drive root
// with its separator, a lone leading separator, or a UNC "\\\\server\\share"
// (plain or prefixed) without the separator after it.
size_t RootLength(const std::wstring& path) {
    if (HasDriveRootAt(path, 0)) return DRIVE_ROOT_LENGTH;
    if (HasDevicePrefix(path)) {
        if (HasDriveRootAt(path, DEVICE_PREFIX_LENGTH)) return DEVICE_PREFIX_LENGTH + DRIVE_ROOT_LENGTH;
        if (HasUncAfterPrefix(path)) {
            const size_t server = ComponentEnd(path, DEVICE_PREFIX_LENGTH + UNC_LENGTH + 1);
            return server < path.size() ? ComponentEnd(path, server + 1) : server;
        }
        return DEVICE_PREFIX_LENGTH;
    }
    if (IsUncPath(path)) {
        const size_t server = ComponentEnd(path, UNC_START.size());
        return server < path.size() ? ComponentEnd(path, server + 1) : server;
    }
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

size_t LastSeparator(const std::wstring& path) {
    return path.find_last_of(L"\\/");
}

std::wstring WithBackslashes(std::wstring path) {
    for (wchar_t& unit : path) {
        if (unit == SLASH) unit = BACKSLASH;
    }
    return path;
}

}  // namespace

std::wstring FileNameOf(const std::wstring& path) {
    const size_t separator = LastSeparator(path);
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t separator = LastSeparator(path);
    if (separator == std::wstring::npos) return std::wstring();
    const size_t root = RootLength(path);
    size_t keep = separator + 1;
    while (keep > root && IsSeparator(path[keep - 1])) --keep;
    return path.substr(0, keep);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    size_t nameStart = 0;
    while (nameStart < name.size() && IsSeparator(name[nameStart])) ++nameStart;
    std::wstring joined = folder;
    if (!joined.empty() && !IsSeparator(joined.back())) joined += BACKSLASH;
    joined.append(name, nameStart, std::wstring::npos);
    return joined;
}

std::wstring ExtendedLengthPath(const std::wstring& fullPath) {
    if (HasDevicePrefix(fullPath)) return fullPath;
    if (HasDriveRootAt(fullPath, 0)) return std::wstring(EXTENDED_PREFIX) + WithBackslashes(fullPath);
    if (IsUncPath(fullPath)) return std::wstring(EXTENDED_UNC_PREFIX) + WithBackslashes(fullPath.substr(UNC_START.size()));
    return fullPath;
}

std::wstring WithoutExtendedPrefix(const std::wstring& path) {
    const bool extended = path.compare(0, EXTENDED_PREFIX.size(), EXTENDED_PREFIX) == 0;
    if (!extended) return path;
    if (HasDriveRootAt(path, DEVICE_PREFIX_LENGTH) ||
        (path.size() == DEVICE_PREFIX_LENGTH + 2 && IsAsciiLetter(path[DEVICE_PREFIX_LENGTH]) &&
         path[DEVICE_PREFIX_LENGTH + 1] == DRIVE_COLON)) {
        return path.substr(DEVICE_PREFIX_LENGTH);
    }
    if (HasUncAfterPrefix(path)) return std::wstring(UNC_START) + path.substr(EXTENDED_UNC_PREFIX.size());
    return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    const std::wstring left = WithoutExtendedPrefix(a);
    const std::wstring right = WithoutExtendedPrefix(b);
    if (left.size() != right.size()) return false;
    for (size_t k = 0; k < left.size(); ++k) {
        const bool bothSeparators = IsSeparator(left[k]) && IsSeparator(right[k]);
        if (!bothSeparators && FoldAscii(left[k]) != FoldAscii(right[k])) return false;
    }
    return true;
}

bool IsFullPath(const std::wstring& path) {
    return HasDriveRootAt(path, 0) || IsUncPath(path) || HasDevicePrefix(path);
}

std::wstring ResolvePath(const std::wstring& folder, const std::wstring& path) {
    if (IsFullPath(path) || path.empty()) return path;
    if (IsSeparator(path[0])) {
        // The root of the folder's drive or share; a lone separator is not one.
        const size_t root = RootLength(folder);
        size_t keep = root;
        while (keep > 0 && IsSeparator(folder[keep - 1])) --keep;
        return JoinPath(folder.substr(0, keep), path);
    }
    const bool driveRelative = path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == DRIVE_COLON;
    if (driveRelative) {
        const std::wstring rest = path.substr(2);
        const bool sameDrive = HasDriveRootAt(folder, 0) && FoldAscii(folder[0]) == FoldAscii(path[0]);
        if (sameDrive) return JoinPath(folder, rest);
        return JoinPath(path.substr(0, 2) + BACKSLASH, rest);
    }
    return JoinPath(folder, path);
}

namespace {

constexpr std::wstring_view ELLIPSIS = L"...";

bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The last count code units of text, one fewer where that would start in the
// middle of a surrogate pair.
std::wstring TailOf(const std::wstring& text, size_t count) {
    if (count >= text.size()) return text;
    size_t start = text.size() - count;
    if (IsLowSurrogate(text[start])) ++start;
    return text.substr(start);
}

}  // namespace

std::wstring ShortenPath(const std::wstring& path, size_t maxChars) {
    if (path.size() <= maxChars) return path;
    const size_t nameStart = LastSeparator(path) == std::wstring::npos ? 0 : LastSeparator(path) + 1;
    size_t root = RootLength(path);
    if (root < path.size() && IsSeparator(path[root])) ++root;  // the root keeps its separator
    if (root > nameStart) root = nameStart;
    // Drop whole folders after the root, nearest the root first.
    const std::wstring head = path.substr(0, root) + std::wstring(ELLIPSIS);
    for (size_t cut = root; cut < nameStart; ++cut) {
        if (!IsSeparator(path[cut])) continue;
        const std::wstring shortened = head + path.substr(cut);
        if (shortened.size() <= maxChars) return shortened;
    }
    if (maxChars <= ELLIPSIS.size()) return TailOf(path, maxChars);
    return std::wstring(ELLIPSIS) + TailOf(path, maxChars - ELLIPSIS.size());
}
