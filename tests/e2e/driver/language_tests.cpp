// Chinese and English: the menus, the frame's title, the status texts and the
// list of keys change at once when 选项 → 语言 / Language is chosen, and back;
// the about box; and (suite `english`, run under an English locale) the start
// in the user's interface language.
//
// Another process cannot read the program's menus under Wine, so the menus
// are read as the user reads them: each caption is drawn here in the menu
// font and looked for on the screen.
#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "harness.h"
#include "kiv.h"
#include "menu_bar.h"
#include "screen.h"

namespace e2e {
namespace {

const wchar_t* const KEY_LIST_CLASS = L"KivKeyList";
constexpr POINT KEY_LIST_PLACE = {500, 400};

// A pixel is ink when its brightness is this far from its row's commonest
// brightness (the menu's background).
constexpr int INK_CONTRAST = 96;
constexpr int BRIGHTNESS_LEVELS = 256;
constexpr int WHITE_BRIGHTNESS = 255;
// Edges drawn a shade lighter or darker may flip; more than this share of
// the text's pixels may not.
constexpr double MISMATCH_ALLOWED = 0.02;

struct Captions {
    std::vector<std::wstring> menuBar;
    std::wstring open;  // the first item of the file menu
    std::wstring reasonNotFound;
    const wchar_t* frameTitle;
};

const Captions CHINESE = {
    {L"文件(&F)", L"窗口(&W)", L"查看(&V)", L"比较(&C)", L"选项(&O)", L"帮助(&H)"},
    L"打开(&O)...",
    L"找不到该文件。",
    L"Win32KIV MDI 多文档示例",
};
const Captions ENGLISH = {
    {L"&File", L"&Window", L"&View", L"&Compare", L"&Options", L"&Help"},
    L"&Open...",
    L"The file cannot be found.",
    L"Win32KIV MDI multiple-document sample",
};

// Keys the menu items show after their captions, from the file and view menus.
const std::vector<std::wstring> FILE_MENU_KEYS = {L"Ctrl+O", L"Space", L"Backspace", L"Ctrl+C", L"Ctrl+Shift+C"};
const std::vector<std::wstring> VIEW_MENU_KEYS = {L"Ctrl+0", L"F5"};
// Every key that a menu item shows, which the list of keys must hold too.
const std::vector<std::wstring> MENU_KEYS = {
    L"Ctrl+O",       L"Space",        L"Backspace",  L"Ctrl+C",    L"Ctrl+Shift+C", L"Ctrl+L",      L"+",
    L"-",            L"Ctrl+0",       L"F",          L"R",         L"L",            L"H",           L"F5",
    L"P",            L",",            L".",          L"Ctrl+R",    L"D",            L"M",           L"Shift+M",
    L"]",            L"[",            L"Ctrl+]",     L"Ctrl+[",    L"Ctrl+Shift+]", L"Ctrl+Shift+[", L"Ctrl+Left",
    L"Ctrl+Right",   L"Ctrl+Up",      L"Ctrl+Down",  L"Ctrl+Shift+Left", L"Ctrl+Shift+Right", L"Ctrl+Shift+Up",
    L"Ctrl+Shift+Down", L"Ctrl+Home", L"B",          L"W",         L"Ctrl+I",       L"F1"};

int Brightness(uint32_t rgb) { return static_cast<int>(((rgb >> 16) & 0xff) + ((rgb >> 8) & 0xff) + (rgb & 0xff)) / 3; }

struct InkImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;
    bool At(int x, int y) const { return ink[static_cast<size_t>(y) * width + x] != 0; }
};

// The ink of pixels shown on the screen, against each row's commonest
// brightness; or, for text drawn here, against a known background.
InkImage InkOf(const Capture& shown, int knownBackground = -1) {
    InkImage image{shown.width, shown.height, std::vector<uint8_t>(shown.pixels.size())};
    for (int y = 0; y < shown.height; ++y) {
        int counts[BRIGHTNESS_LEVELS] = {};
        for (int x = 0; x < shown.width; ++x) ++counts[Brightness(shown.At(x, y))];
        const int background = knownBackground >= 0
                                   ? knownBackground
                                   : static_cast<int>(std::max_element(counts, counts + BRIGHTNESS_LEVELS) - counts);
        for (int x = 0; x < shown.width; ++x) {
            image.ink[static_cast<size_t>(y) * shown.width + x] =
                std::abs(Brightness(shown.At(x, y)) - background) > INK_CONTRAST ? 1 : 0;
        }
    }
    return image;
}

// text as a menu draws it (its & underlining the next letter), black on white,
// cut to its ink.
InkImage DrawMenuText(const std::wstring& text) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT bounds = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &bounds, DT_SINGLELINE | DT_CALCRECT);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bounds.right;
    info.bmiHeader.biHeight = -bounds.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), -1, &bounds, DT_SINGLELINE);
    GdiFlush();
    Capture drawn;
    drawn.width = bounds.right;
    drawn.height = bounds.bottom;
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    drawn.pixels.assign(pixels, pixels + static_cast<size_t>(drawn.width) * drawn.height);
    for (uint32_t& pixel : drawn.pixels) pixel &= 0xffffff;
    SelectObject(dc, oldBitmap);
    SelectObject(dc, oldFont);
    DeleteObject(bitmap);
    DeleteObject(font);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    const InkImage full = InkOf(drawn, WHITE_BRIGHTNESS);
    int left = full.width, top = full.height, right = -1, bottom = -1;
    for (int y = 0; y < full.height; ++y) {
        for (int x = 0; x < full.width; ++x) {
            if (!full.At(x, y)) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    InkImage cut;
    if (right < 0) return cut;
    cut.width = right - left + 1;
    cut.height = bottom - top + 1;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) cut.ink.push_back(full.At(x, y) ? 1 : 0);
    }
    return cut;
}

// Whether the text shows anywhere in the shown pixels.
bool Shows(const InkImage& shown, const InkImage& text) {
    if (text.width == 0 || text.width > shown.width || text.height > shown.height) return false;
    const int allowed = static_cast<int>(text.ink.size() * MISMATCH_ALLOWED);
    for (int top = 0; top + text.height <= shown.height; ++top) {
        for (int left = 0; left + text.width <= shown.width; ++left) {
            int mismatches = 0;
            for (int y = 0; y < text.height && mismatches <= allowed; ++y) {
                for (int x = 0; x < text.width; ++x) {
                    if (text.At(x, y) != shown.At(left + x, top + y) && ++mismatches > allowed) break;
                }
            }
            if (mismatches <= allowed) return true;
        }
    }
    return false;
}

// The frame's menu bar as shown: between the top of the window and its client area.
InkImage MenuBarShown(const Kiv& kiv) {
    RECT window = {};
    GetWindowRect(kiv.frame, &window);
    POINT client = {0, 0};
    ClientToScreen(kiv.frame, &client);
    return InkOf(CaptureScreen(window.left, window.top, window.right - window.left, client.y - window.top));
}

InkImage PopupShown(HWND popup) {
    RECT r = {};
    GetWindowRect(popup, &r);
    return InkOf(CaptureScreen(r.left, r.top, r.right - r.left, r.bottom - r.top));
}

std::wstring Missing(const InkImage& shown, const std::vector<std::wstring>& texts) {
    std::wstring missing;
    for (const std::wstring& text : texts) {
        if (!Shows(shown, DrawMenuText(text))) missing += L" \"" + text + L"\"";
    }
    return missing;
}

// Waits until the menu bar shows every caption of the language and none of
// the other's.
void ExpectMenuBar(Kiv& kiv, const Captions& expected, const Captions& other, const char* context) {
    std::wstring missing, stale;
    const bool shown = WaitUntil(
        [&] {
            const InkImage bar = MenuBarShown(kiv);
            missing = Missing(bar, expected.menuBar);
            stale.clear();
            for (const std::wstring& caption : other.menuBar) {
                if (Shows(bar, DrawMenuText(caption))) stale += L" \"" + caption + L"\"";
            }
            return missing.empty() && stale.empty();
        },
        WAIT_TIMEOUT_MS);
    CHECK(shown, "%s: the menu bar lacks%s and shows%s", context, Narrow(missing).c_str(), Narrow(stale).c_str());
}

// The file and view menus show their items' keys; the file menu's first item
// reads as the language says.
void ExpectMenuKeys(Kiv& kiv, const Captions& expected, const char* context) {
    constexpr int FILE_MENU = 0, VIEW_MENU = 2;
    HWND popup = OpenMenuBarItem(kiv, FILE_MENU);
    // The highlight, on the first item at first, shows its text too faintly
    // to read back: it moves to the second, which is not looked for.
    TapKey(VK_DOWN);
    std::vector<std::wstring> fileTexts = FILE_MENU_KEYS;
    fileTexts.push_back(expected.open);
    std::wstring missing;
    WaitUntil([&] { return (missing = Missing(PopupShown(popup), fileTexts)).empty(); }, WAIT_TIMEOUT_MS);
    CHECK(missing.empty(), "%s: the file menu lacks%s", context, Narrow(missing).c_str());
    CloseMenus(kiv);
    popup = OpenMenuBarItem(kiv, VIEW_MENU);
    WaitUntil([&] { return (missing = Missing(PopupShown(popup), VIEW_MENU_KEYS)).empty(); }, WAIT_TIMEOUT_MS);
    CHECK(missing.empty(), "%s: the view menu lacks%s", context, Narrow(missing).c_str());
    CloseMenus(kiv);
}

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindKeyList(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (pid != search->pid || !IsWindowVisible(window) || std::wcscmp(name, KEY_LIST_CLASS) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

HWND KeyListOf(const Kiv& kiv) {
    WindowSearch search = {kiv.Pid(), nullptr};
    EnumWindows(FindKeyList, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The list's text, read with WM_GETTEXT from its edit field.
std::wstring KeyListText(HWND list) {
    const HWND edit = GetWindow(list, GW_CHILD);
    LRESULT length = 0;
    if (edit == nullptr || !Send(edit, WM_GETTEXTLENGTH, 0, 0, &length)) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    Send(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied);
    text.resize(static_cast<size_t>(copied));
    return text;
}

// The list's lines as keys (split at ", ") and what they do.
struct ListedCommand {
    std::vector<std::wstring> keys;
    std::wstring description;
};

std::vector<ListedCommand> ParseKeyList(const std::wstring& text) {
    std::vector<ListedCommand> listed;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = end + 2;
        const size_t tab = line.find(L'\t');
        if (tab == std::wstring::npos) continue;
        ListedCommand command;
        command.description = line.substr(tab + 1);
        const std::wstring keys = line.substr(0, tab);
        for (size_t from = 0; from <= keys.size();) {
            size_t comma = keys.find(L", ", from);
            if (comma == std::wstring::npos) comma = keys.size();
            command.keys.push_back(keys.substr(from, comma - from));
            from = comma + 2;
        }
        listed.push_back(command);
    }
    return listed;
}

bool HasChinese(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0x4E00 && c <= 0x9FFF; });
}

// Every key of the menus is in the list, once, with a description in the
// language; the open key's description reads as expected.
bool KeyListIn(const std::wstring& text, bool chinese, std::string* why) {
    const std::vector<ListedCommand> listed = ParseKeyList(text);
    std::vector<std::wstring> keys = MENU_KEYS;
    keys.push_back(chinese ? L"按住 X" : L"Hold X");  // the flicker key, named in the language
    for (const std::wstring& key : keys) {
        int found = 0;
        for (const ListedCommand& command : listed) {
            if (std::find(command.keys.begin(), command.keys.end(), key) == command.keys.end()) continue;
            ++found;
            if (command.description.empty() || HasChinese(command.description) != chinese) {
                *why = "the key " + Narrow(key) + " is described as \"" + Narrow(command.description) + "\"";
                return false;
            }
            if (key == L"Ctrl+O" && command.description != (chinese ? L"打开图片" : L"Open pictures")) {
                *why = "Ctrl+O is described as \"" + Narrow(command.description) + "\"";
                return false;
            }
        }
        if (found != 1) {
            *why = "the key " + Narrow(key) + " is listed " + std::to_string(found) + " times";
            return false;
        }
    }
    return true;
}

void BringFrameForward(Kiv& kiv) {
    SetForegroundWindow(kiv.frame);
    REQUIRE(WaitUntil([&] { return GetForegroundWindow() == kiv.frame; }, WAIT_TIMEOUT_MS),
            "the frame does not come to the foreground, so it would not get the keys");
}

HWND OpenKeyListWithF1(Kiv& kiv) {
    BringFrameForward(kiv);
    TapKey(VK_F1);
    HWND list = nullptr;
    REQUIRE(WaitUntil([&] { return (list = KeyListOf(kiv)) != nullptr; }, WAIT_TIMEOUT_MS), "F1 showed no list of keys");
    // Out of the way of the menu bar, as a user would put it.
    SetWindowPos(list, nullptr, KEY_LIST_PLACE.x, KEY_LIST_PLACE.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return list;
}

void ExpectKeyList(HWND list, bool chinese, const char* context) {
    std::string why;
    CHECK(WaitUntil([&] { return KeyListIn(KeyListText(list), chinese, &why); }, WAIT_TIMEOUT_MS),
          "%s: %s; the list reads:\n%s", context, why.c_str(), Narrow(KeyListText(list)).c_str());
    const std::wstring title = chinese ? L"快捷键" : L"Keys";
    CHECK(WindowTextW(list) == title, "%s: the list is titled \"%s\"", context, Narrow(WindowTextW(list)).c_str());
}

void ExpectFrameTitle(Kiv& kiv, const Captions& expected, const char* context) {
    CHECK(WaitUntil([&] { return WindowTextW(kiv.frame) == expected.frameTitle; }, WAIT_TIMEOUT_MS),
          "%s: the frame is titled \"%s\"", context, Narrow(WindowTextW(kiv.frame)).c_str());
}

void ExpectReason(Kiv& kiv, const Captions& expected, const char* context) {
    CHECK(WaitUntil([&] { return kiv.StatusW(3) == expected.reasonNotFound; }, WAIT_TIMEOUT_MS),
          "%s: status part 3 reads \"%s\"", context, Narrow(kiv.StatusW(3)).c_str());
}

int WindowMenuItems(Kiv& kiv) {
    constexpr int WINDOW_MENU = 1;
    return MenuBarItemCount(kiv, WINDOW_MENU);
}

}  // namespace

// Three windows, the active one's file gone and read again (its reason in
// part 3), the list of keys open: each switch changes the menus, the title,
// the reason and the list at once, and the window list stays in the window menu.
E2E_CASE(language, switch_changes_menus_title_status_and_key_list_at_once_and_back) {
    Kiv kiv("language_switch");
    kiv.WritePicture(PatternPicture(120, 90));
    kiv.Start();
    kiv.SendCommand(IDM_NEW);
    kiv.SendCommand(IDM_NEW);
    kiv.WaitChildCount(3);
    // Three commands and the link, and one entry per window.
    const int windowItems = 4 + 3;
    CHECK(WindowMenuItems(kiv) == windowItems, "the window menu has %d items at the start", WindowMenuItems(kiv));
    ExpectMenuBar(kiv, CHINESE, ENGLISH, "at the start");
    REQUIRE(DeleteFileA(kiv.PicturePath().c_str()), "cannot delete %s", kiv.PicturePath().c_str());
    kiv.SendCommand(IDM_RELOAD);
    ExpectReason(kiv, CHINESE, "the file gone, F5");
    HWND list = OpenKeyListWithF1(kiv);
    ExpectKeyList(list, true, "F1");

    kiv.SendCommand(IDM_LANGUAGE_ENGLISH);
    ExpectMenuBar(kiv, ENGLISH, CHINESE, "after English was chosen");
    ExpectFrameTitle(kiv, ENGLISH, "after English was chosen");
    ExpectReason(kiv, ENGLISH, "after English was chosen");
    ExpectKeyList(list, false, "after English was chosen");
    CHECK(WindowMenuItems(kiv) == windowItems, "after English was chosen the window menu has %d items",
          WindowMenuItems(kiv));
    ExpectMenuKeys(kiv, ENGLISH, "in English");

    kiv.SendCommand(IDM_LANGUAGE_CHINESE);
    ExpectMenuBar(kiv, CHINESE, ENGLISH, "after Chinese was chosen again");
    ExpectFrameTitle(kiv, CHINESE, "after Chinese was chosen again");
    ExpectReason(kiv, CHINESE, "after Chinese was chosen again");
    ExpectKeyList(list, true, "after Chinese was chosen again");
    CHECK(WindowMenuItems(kiv) == windowItems, "after Chinese was chosen again the window menu has %d items",
          WindowMenuItems(kiv));
    ExpectMenuKeys(kiv, CHINESE, "in Chinese");

    // The bar without a document window follows as well.
    for (size_t count = 3; count > 0; --count) {
        kiv.SendCommand(IDM_CLOSE);
        kiv.WaitChildCount(count - 1);
    }
    kiv.SendCommand(IDM_LANGUAGE_ENGLISH);
    ExpectMenuBar(kiv, ENGLISH, CHINESE, "English without a document window");
    kiv.WritePicture(PatternPicture(120, 90));
    kiv.SendCommand(IDM_NEW);
    kiv.WaitChildCount(1);
    ExpectMenuBar(kiv, ENGLISH, CHINESE, "a document window opened in English");
}

// The language chosen is the language of the next start, whatever the
// user's interface language.
E2E_CASE(language, choice_lasts_to_the_next_start) {
    Kiv kiv("language_lasts");
    kiv.WritePicture(PatternPicture(40, 30));
    kiv.Start();
    for (const bool english : {true, false}) {
        kiv.SendCommand(english ? IDM_LANGUAGE_ENGLISH : IDM_LANGUAGE_CHINESE);
        kiv.ExpectExit();
        kiv.PostCommand(IDM_EXIT);
        CHECK(kiv.WaitExit() == 0, "kiv did not end with code 0");
        kiv.Launch();
        kiv.WaitFrame();
        kiv.WaitChildCount(1);
        const Captions& expected = english ? ENGLISH : CHINESE;
        const char* context = english ? "the start after English was chosen" : "the start after Chinese was chosen";
        ExpectFrameTitle(kiv, expected, context);
        ExpectMenuBar(kiv, expected, english ? CHINESE : ENGLISH, context);
    }
}

// The about box names the version of the version resource, the build, the
// libraries linked in with the versions they were pinned at, and GDI+, in
// the language in use.
E2E_CASE(language, about_names_version_build_and_libraries) {
    Kiv kiv("language_about");
    kiv.WritePicture(PatternPicture(40, 30));
    kiv.Start();
    const std::wstring build = Is32BitBuild() ? L"x86" : L"x64";
    const std::wstring version = Widen(KIV_VERSION);
    for (const bool chinese : {true, false}) {
        if (!chinese) kiv.SendCommand(IDM_LANGUAGE_ENGLISH);
        kiv.PostCommand(IDM_ABOUT);
        const MessageBoxSeen box = kiv.WaitMessageBox(false);
        const std::wstring firstLine = chinese ? L"kiv " + version + L"（" + build + L" 版）"
                                               : L"kiv " + version + L" (" + build + L" build)";
        CHECK(box.caption == (chinese ? L"关于 kiv" : L"About kiv"), "the about box is titled \"%s\"",
              Narrow(box.caption).c_str());
        CHECK(box.text.rfind(firstLine + L"\n", 0) == 0, "the about box begins \"%s\", not \"%s\"",
              Narrow(box.text.substr(0, box.text.find(L'\n'))).c_str(), Narrow(firstLine).c_str());
        const std::wstring libraries[] = {L"libjpeg-turbo " + Widen(KIV_PINNED_LIBJPEG_TURBO),
                                          L"libpng " + Widen(KIV_PINNED_LIBPNG), L"libwebp " + Widen(KIV_PINNED_LIBWEBP),
                                          L"zlib " + Widen(KIV_PINNED_ZLIB), L"GDI+", L"MinGW-w64 runtime",
                                          L"GCC runtime"};
        for (const std::wstring& named : libraries) {
            CHECK(box.text.find(named) != std::wstring::npos, "the about box does not name %s:\n%s",
                  Narrow(named).c_str(), Narrow(box.text).c_str());
        }
        CHECK(box.okButton && box.owner == kiv.frame, "the about box is not the frame's box with OK");
        kiv.AnswerMessageBox(box);
    }
}

// Run under an English locale: the program starts in English.
E2E_CASE(english, starts_in_the_users_language) {
    REQUIRE(PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_CHINESE,
            "the suite runs under a Chinese interface language (0x%04x), so it cannot show an English start",
            GetUserDefaultUILanguage());
    Kiv kiv("english_start");
    kiv.WritePicture(PatternPicture(120, 90));
    kiv.Start();
    ExpectFrameTitle(kiv, ENGLISH, "at the start");
    ExpectMenuBar(kiv, ENGLISH, CHINESE, "at the start");
    ExpectMenuKeys(kiv, ENGLISH, "at the start");
    const HWND list = OpenKeyListWithF1(kiv);
    ExpectKeyList(list, false, "F1");
    // Escape in the list closes it.
    SetForegroundWindow(list);
    REQUIRE(WaitUntil([&] { return GetForegroundWindow() == list; }, WAIT_TIMEOUT_MS), "the list does not come forward");
    TapKey(VK_ESCAPE);
    CHECK(WaitUntil([&] { return KeyListOf(kiv) == nullptr; }, WAIT_TIMEOUT_MS), "Escape left the list of keys open");
    kiv.SendCommand(IDM_LANGUAGE_CHINESE);
    ExpectFrameTitle(kiv, CHINESE, "after Chinese was chosen");
}

// The messages of the start, in English: a file named that is not there, and
// the start without a file whose picture is missing (which ends the program).
E2E_CASE(english, start_messages_are_english) {
    {
        Kiv kiv("english_messages");
        const std::string missing = kiv.Dir() + "\\missing.png";
        kiv.Launch({Widen(missing)});
        kiv.WaitFrame();
        const MessageBoxSeen box = kiv.WaitMessageBox(false);
        CHECK(box.caption == L"Information", "the message is titled \"%s\"", Narrow(box.caption).c_str());
        CHECK(box.text == L"Cannot open the file " + Widen(missing) + L"\nThe file cannot be found.",
              "the message reads \"%s\"", Narrow(box.text).c_str());
        kiv.AnswerMessageBox(box);
    }
    Kiv bare("english_bare_start");
    bare.Launch();
    const MessageBoxSeen box = bare.WaitMessageBox(true);
    CHECK(box.text == L"Could not create the GDI+ bitmap", "the start without ss6.jpg says \"%s\"",
          Narrow(box.text).c_str());
    bare.AnswerMessageBox(box);
    CHECK(bare.WaitExit() == 0, "the start without ss6.jpg did not end with code 0");
}

}  // namespace e2e
