#include "app/open_with.h"

#include <windows.h>

#include <shlobj.h>

#include "win32/system_paths.h"
#include "win32/win32_owners.h"

namespace {

constexpr wchar_t APPLICATION_KEY[] = L"Software\\Classes\\Applications\\kiv.exe";
constexpr wchar_t COMMAND_SUBKEY[] = L"shell\\open\\command";
constexpr wchar_t TYPES_SUBKEY[] = L"SupportedTypes";
constexpr wchar_t FRIENDLY_NAME_VALUE[] = L"FriendlyAppName";
constexpr wchar_t FRIENDLY_NAME[] = L"kiv";

bool SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

bool CreateKey(const std::wstring& path, RegistryKey& key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                           nullptr, key.Receive(), nullptr) == ERROR_SUCCESS;
}

bool DeleteApplicationKey() {
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, APPLICATION_KEY);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// Explorer reads the lists again.
void TellShell() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

}  // namespace

bool AddToOpenWith(const std::vector<std::wstring>& extensions) {
    const std::wstring exe = ModuleFilePath();
    if (exe.empty()) return false;
    // Types of an earlier registration that kiv no longer opens go with it.
    DeleteApplicationKey();
    const std::wstring application = APPLICATION_KEY;
    RegistryKey applicationKey;
    RegistryKey commandKey;
    RegistryKey typesKey;
    bool written = CreateKey(application, applicationKey) &&
                   SetText(applicationKey.Get(), FRIENDLY_NAME_VALUE, FRIENDLY_NAME) &&
                   CreateKey(application + L"\\" + COMMAND_SUBKEY, commandKey) &&
                   SetText(commandKey.Get(), nullptr, L"\"" + exe + L"\" \"%1\"") &&
                   CreateKey(application + L"\\" + TYPES_SUBKEY, typesKey);
    for (const std::wstring& extension : extensions) {
        written = written && SetText(typesKey.Get(), extension.c_str(), L"");
    }
    if (!written) DeleteApplicationKey();  // nothing half-written stays
    TellShell();
    return written;
}

bool RemoveFromOpenWith() {
    const bool removed = DeleteApplicationKey();
    TellShell();
    return removed;
}
