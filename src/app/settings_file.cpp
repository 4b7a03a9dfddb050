#include "app/settings_file.h"

#include <windows.h>

#include "core/files/paths.h"
#include "win32/system_paths.h"
#include "win32/win32_owners.h"

namespace {

constexpr wchar_t SETTINGS_FILE_NAME[] = L"kiv.ini";
constexpr wchar_t SETTINGS_FOLDER_NAME[] = L"kiv";
constexpr wchar_t TEMPORARY_SUFFIX[] = L".tmp";
// Tries of the move over the old file while another process holds it open.
constexpr int MOVE_ATTEMPTS = 20;
constexpr DWORD MOVE_RETRY_MS = 25;
// Room for the longest path and one unit more, to tell a value cut short.
constexpr DWORD VALUE_BUFFER_CHARS = 32769;
// A file that starts with this mark is written by the profile functions in
// UTF-16, so that paths in any script survive; without it they would be
// written in the ANSI code page.
constexpr wchar_t UNICODE_MARK = 0xFEFF;

bool StartUnicodeFile(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), &UNICODE_MARK, sizeof UNICODE_MARK, &written, nullptr) && written == sizeof UNICODE_MARK;
}

}  // namespace

std::wstring SettingsFilePath() {
    const std::wstring beside = JoinPath(FolderOf(ModuleFilePath()), SETTINGS_FILE_NAME);
    if (IsExistingFile(beside)) return beside;
    const std::wstring appData = ApplicationDataFolder();
    if (appData.empty()) return std::wstring();
    return JoinPath(JoinPath(appData, SETTINGS_FOLDER_NAME), SETTINGS_FILE_NAME);
}

KeptSettings LoadSettings(const std::wstring& path) {
    if (path.empty()) return KeptSettings();
    std::wstring buffer(VALUE_BUFFER_CHARS, L'\0');
    return ReadSettings([&](const wchar_t* section, const wchar_t* key) {
        const DWORD length =
            GetPrivateProfileStringW(section, key, L"", buffer.data(), VALUE_BUFFER_CHARS, path.c_str());
        // A value that filled the buffer was cut: no value of ours is that long.
        if (length >= VALUE_BUFFER_CHARS - 1) return std::wstring();
        return std::wstring(buffer.data(), length);
    });
}

namespace {

// Puts the new file in the old one's place. Another process reading the old
// one at that moment (another kiv frame, a virus scanner, an indexer) makes
// the move fail for a moment: it is tried again a few times before the save
// is given up.
bool MoveOver(const std::wstring& temporary, const std::wstring& path) {
    for (int attempt = 0; attempt < MOVE_ATTEMPTS; ++attempt) {
        if (MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION) {
            return false;
        }
        Sleep(MOVE_RETRY_MS);
    }
    return false;
}

}  // namespace

bool SaveSettings(const std::wstring& path, const KeptSettings& settings) {
    if (path.empty()) return false;
    // The folder in the application data is made on first use.
    CreateDirectoryW(FolderOf(path).c_str(), nullptr);
    const std::wstring temporary = path + TEMPORARY_SUFFIX;
    DeleteFileW(temporary.c_str());  // left over from a save that was cut short
    bool written = StartUnicodeFile(temporary);
    for (const SettingEntry& entry : SettingEntries(settings)) {
        if (!written) break;
        written = WritePrivateProfileStringW(entry.section.c_str(), entry.key.c_str(), entry.value.c_str(),
                                             temporary.c_str()) != FALSE;
    }
    // Lets go of the file: nothing of it stays cached for the next save.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, temporary.c_str());
    if (written && MoveOver(temporary, path)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}
