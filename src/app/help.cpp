#include "app/help.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/menus.h"
#include "app/resource.h"
#include "app/texts.h"
#include "core/keys/keys.h"
#include "win32/texts.h"

#if __has_include("decoder_versions.h")
#include "decoder_versions.h"
#endif

namespace {

constexpr wchar_t KEY_LIST_CLASS[] = L"KivKeyList";
constexpr wchar_t EDIT_CLASS[] = L"EDIT";
constexpr DWORD KEY_LIST_STYLE = WS_OVERLAPPEDWINDOW;
constexpr DWORD KEY_LIST_EX_STYLE = WS_EX_TOOLWINDOW;
constexpr DWORD LIST_STYLE = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                             ES_AUTOVSCROLL | ES_AUTOHSCROLL;
constexpr UINT LIST_ID = 1;
constexpr wchar_t LINE_END[] = L"\r\n";
constexpr wchar_t COLUMN_SEPARATOR[] = L"\t";
// Room around the text and between the two columns, in pixels at 96 DPI.
constexpr int MARGIN = 16;
constexpr int COLUMN_GAP = 24;
constexpr int DEFAULT_DPI = USER_DEFAULT_SCREEN_DPI;
// Tab stops are in dialog units, whose width in pixels the control decides;
// it is measured with a stop this far out.
constexpr INT PROBE_TAB_STOP = 400;
constexpr wchar_t PROBE_TEXT[] = L"\tx";
constexpr WPARAM PROBE_CHARACTER = 1;

HWND keyList = nullptr;

// The list's lines: for each command, its keys, a tab and what it does.
struct KeyLines {
    std::wstring text;
    std::vector<std::wstring> keys;
    std::vector<std::wstring> descriptions;
};

KeyLines BuildKeyLines() {
    KeyLines lines;
    const KeyWords words = CurrentKeyWords();
    for (const CommandKeys& command : KeysByCommand()) {
        lines.keys.push_back(WidenUtf8(JoinedKeyNames(command, words)));
        lines.descriptions.push_back(Text(static_cast<UINT>(command.command)));
        lines.text += lines.keys.back() + COLUMN_SEPARATOR + lines.descriptions.back() + LINE_END;
    }
    return lines;
}

HFONT ListFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }();
    return font;
}

int WidestText(HDC dc, const std::vector<std::wstring>& texts) {
    int widest = 0;
    for (const std::wstring& text : texts) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        if (size.cx > widest) widest = size.cx;
    }
    return widest;
}

// The tab stop, in the control's own units, that lies past width pixels from
// the text's left edge.
INT TabStopPast(HWND edit, int width) {
    INT probe = PROBE_TAB_STOP;
    SendMessageW(edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&probe));
    SetWindowTextW(edit, PROBE_TEXT);
    const LRESULT start = SendMessageW(edit, EM_POSFROMCHAR, 0, 0);
    const LRESULT after = SendMessageW(edit, EM_POSFROMCHAR, PROBE_CHARACTER, 0);
    const int pixels = static_cast<short>(LOWORD(after)) - static_cast<short>(LOWORD(start));
    if (pixels <= 0) return PROBE_TAB_STOP;
    // Rounded up, so the stop is never short of the widest keys.
    return static_cast<INT>((static_cast<int64_t>(width) * PROBE_TAB_STOP + pixels - 1) / pixels);
}

// Fills the list, sets the tab stop after the widest keys and sizes the
// window to show every line, within the screen's work area.
void FillKeyList(HWND window) {
    const HWND edit = GetDlgItem(window, LIST_ID);
    const KeyLines lines = BuildKeyLines();
    SetWindowTextW(window, Text(IDS_KEYS_TITLE));

    const HDC dc = GetDC(edit);
    const HGDIOBJ oldFont = SelectObject(dc, ListFont());
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    const int gap = MulDiv(COLUMN_GAP, dpi, DEFAULT_DPI);
    const int margin = MulDiv(MARGIN, dpi, DEFAULT_DPI);
    const int keysWidth = WidestText(dc, lines.keys) + gap;
    const int textWidth = keysWidth + WidestText(dc, lines.descriptions);
    SelectObject(dc, oldFont);
    ReleaseDC(edit, dc);

    INT tabStop = TabStopPast(edit, keysWidth);
    SendMessageW(edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    SetWindowTextW(edit, lines.text.c_str());

    RECT frame = {0, 0, textWidth + 2 * margin + GetSystemMetrics(SM_CXVSCROLL),
                  static_cast<LONG>(metrics.tmHeight * (lines.keys.size() + 1)) + 2 * margin};
    AdjustWindowRectEx(&frame, KEY_LIST_STYLE, FALSE, KEY_LIST_EX_STYLE);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = std::min<int>(frame.right - frame.left, work.right - work.left);
    const int height = std::min<int>(frame.bottom - frame.top, work.bottom - work.top);
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT OnKeyListCreate(HWND window) {
    const HWND edit = CreateWindowExW(0, EDIT_CLASS, L"", LIST_STYLE, 0, 0, 0, 0, window,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(LIST_ID)),
                                      GetModuleHandleW(nullptr), nullptr);
    if (edit == nullptr) return -1;
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(ListFont()), FALSE);
    FillKeyList(window);
    return 0;
}

LRESULT OnKeyListSize(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    MoveWindow(GetDlgItem(window, LIST_ID), 0, 0, client.right, client.bottom, TRUE);
    return 0;
}

LRESULT CALLBACK KeyListWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnKeyListCreate(window);
        case WM_SIZE: return OnKeyListSize(window);
        case WM_SETFOCUS: SetFocus(GetDlgItem(window, LIST_ID)); return 0;
        case WM_DESTROY: keyList = nullptr; return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The version resource's file version, "1.2.3".
std::wstring FileVersion() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0) return {};
    std::vector<BYTE> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!GetFileVersionInfoW(path, 0, size, info.data()) ||
        !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixed == nullptr ||
        fixedSize < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    return std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(fixed->dwFileVersionLS));
}

// What is linked into kiv.exe, with its licence.
struct Library {
    const wchar_t* name;
    std::wstring version;
    const wchar_t* licence;
};

#define KIV_WIDEN_TEXT(text) L##text
#define KIV_WIDE(text) KIV_WIDEN_TEXT(text)

// The decoder libraries' versions come from the header generated with them,
// there once kiv links them.
std::vector<Library> LibrariesInside() {
    return {
#if __has_include("decoder_versions.h")
        {L"libjpeg-turbo", KIV_WIDE(KIV_LIBJPEG_TURBO_VERSION), L"IJG, BSD-3-Clause, Zlib"},
        {L"libpng", KIV_WIDE(KIV_LIBPNG_VERSION), L"libpng-2.0"},
        {L"libwebp", KIV_WIDE(KIV_LIBWEBP_VERSION), L"BSD-3-Clause"},
        {L"zlib", KIV_WIDE(KIV_ZLIB_VERSION), L"Zlib"},
#endif
        {L"MinGW-w64 runtime", KIV_WIDE(__MINGW64_VERSION_STR), L"ZPL-2.1"},
        {L"GCC runtime (libstdc++, libgcc)", KIV_WIDE(__VERSION__), L"GPL-3.0 with the GCC Runtime Library Exception"},
    };
}

}  // namespace

bool RegisterKeyListClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = KeyListWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KIV));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = KEY_LIST_CLASS;
    return RegisterClassExW(&windowClass) != 0;
}

void ShowKeyList(HWND frame) {
    if (keyList == nullptr) {
        keyList = CreateWindowExW(KEY_LIST_EX_STYLE, KEY_LIST_CLASS, Text(IDS_KEYS_TITLE), KEY_LIST_STYLE,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        if (keyList == nullptr) return;
    }
    ShowWindow(keyList, SW_SHOWNORMAL);
    SetForegroundWindow(keyList);
}

void RewriteKeyList() {
    if (keyList != nullptr) FillKeyList(keyList);
}

bool IsKeyListMessage(const MSG& message) {
    return keyList != nullptr && message.hwnd != nullptr && GetAncestor(message.hwnd, GA_ROOT) == keyList;
}

bool CloseKeyListOnEscape(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE || !IsKeyListMessage(message)) return false;
    DestroyWindow(keyList);
    return true;
}

void ShowAbout(HWND frame) {
    std::wstring libraries;
    for (const Library& library : LibrariesInside()) {
        libraries += FormatText(IDS_ABOUT_LIBRARY, {library.name, library.version, library.licence});
    }
    const wchar_t* build = sizeof(void*) == sizeof(uint64_t) ? L"x64" : L"x86";
    const std::wstring text = FormatText(IDS_ABOUT_TEXT, {FileVersion(), build, libraries, Text(IDS_ABOUT_SYSTEM)});
    MSGBOXPARAMSW box = {};
    box.cbSize = sizeof box;
    box.hwndOwner = frame;
    box.hInstance = GetModuleHandleW(nullptr);
    box.lpszText = text.c_str();
    box.lpszCaption = Text(IDS_ABOUT_TITLE);
    box.dwStyle = MB_OK | MB_USERICON;
    box.lpszIcon = MAKEINTRESOURCEW(IDI_KIV);
    MessageBoxIndirectW(&box);
}
