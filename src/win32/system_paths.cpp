#include "win32/system_paths.h"

#include <windows.h>

#include <shlobj.h>

namespace {
constexpr DWORD FIRST_MODULE_PATH_CHARS = MAX_PATH;
constexpr DWORD LONGEST_PATH_CHARS = 32768;
}  // namespace

std::wstring ModuleFilePath() {
    // The call cuts the name to the buffer without saying how long it is.
    for (DWORD size = FIRST_MODULE_PATH_CHARS; size <= LONGEST_PATH_CHARS; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return std::wstring();
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return std::wstring();
}

std::wstring ApplicationDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return std::wstring();
    return folder;
}

std::wstring CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return std::wstring();
    std::wstring folder(needed, L'\0');
    const DWORD written = GetCurrentDirectoryW(needed, folder.data());
    if (written == 0 || written >= needed) return std::wstring();
    folder.resize(written);
    return folder;
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
