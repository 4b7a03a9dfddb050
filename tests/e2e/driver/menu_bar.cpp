#include "menu_bar.h"

#include "harness.h"
#include "screen.h"

namespace e2e {
namespace {

constexpr int OPEN_ATTEMPTS = 3;
constexpr int CLOSE_ATTEMPTS = 4;
// Far more items than any popup of the program has: the walk gives up there.
constexpr int MAX_POPUP_ITEMS = 40;
constexpr DWORD MENU_MODE_TIMEOUT_MS = 5000;
constexpr DWORD ESCAPE_TIMEOUT_MS = 5000;

struct PopupSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindPopupMenu(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<PopupSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window) || ClassName(window) != "#32768") return TRUE;
    search->found = window;
    return FALSE;
}

uint32_t ScreenColour(int systemColour) {
    const COLORREF c = GetSysColor(systemColour);
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Top row of the selected item's highlight in the popup, or -1 when none
// shows. A highlight row is one that the selection colour fills at least half
// across (the item's text covers the rest); flat menus fill with the menu
// highlight colour inside a frame of the plain one.
int HighlightTop(HWND popup) {
    RECT r = {};
    if (!GetWindowRect(popup, &r)) return -1;
    const Capture shown = CaptureScreen(r.left, r.top, r.right - r.left, r.bottom - r.top);
    const uint32_t fill = ScreenColour(COLOR_MENUHILIGHT), frame = ScreenColour(COLOR_HIGHLIGHT);
    for (int y = 0; y < shown.height; ++y) {
        int selected = 0;
        for (int x = 0; x < shown.width; ++x) {
            const uint32_t pixel = shown.At(x, y);
            if (pixel == fill || pixel == frame) ++selected;
        }
        if (selected * 2 >= shown.width) return y;
    }
    return -1;
}

void BringToFront(Kiv& kiv) {
    if (GetForegroundWindow() != kiv.frame) SetForegroundWindow(kiv.frame);
    REQUIRE(WaitUntil([&] { return GetForegroundWindow() == kiv.frame; }, WAIT_TIMEOUT_MS),
            "the frame does not come to the foreground, so it would not get the keys");
}

}  // namespace

HWND VisiblePopupMenu(const Kiv& kiv) {
    PopupSearch search = {kiv.Pid(), nullptr};
    EnumWindows(FindPopupMenu, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND OpenMenuBarItem(Kiv& kiv, int position) {
    BringToFront(kiv);
    // A popup opening under the pointer would take the hover as a selection.
    MoveCursorToClient(kiv.statusBar, 10, ClientSize(kiv.statusBar).cy / 2);
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        // F10 (pressed and released) selects the first item of the menu bar.
        TapKey(VK_F10);
        if (WaitUntil([&] { return InMenuMode(kiv.frame); }, MENU_MODE_TIMEOUT_MS)) {
            for (int step = 0; step < position; ++step) TapKey(VK_RIGHT);
            TapKey(VK_DOWN);
            HWND popup = nullptr;
            if (WaitUntil([&] { return (popup = VisiblePopupMenu(kiv)) != nullptr; }, WAIT_TIMEOUT_MS))
                return popup;
        }
        // A key lost to Wine's key-state resync: start again from outside the menus.
        CloseMenus(kiv);
    }
    Abort(__FILE__, __LINE__, "F10, Right x %d, Down did not open a popup menu", position);
}

int CountPopupItems(HWND popup) {
    int first = -1;
    if (!WaitUntil([&] { return (first = HighlightTop(popup)) >= 0; }, WAIT_TIMEOUT_MS)) return -1;
    int current = first;
    for (int count = 1; count <= MAX_POPUP_ITEMS; ++count) {
        TapKey(VK_DOWN);
        int next = -1;
        if (!WaitUntil([&] { return (next = HighlightTop(popup)) >= 0 && next != current; }, WAIT_TIMEOUT_MS))
            return -1;
        if (next == first) return count;
        current = next;
    }
    return -1;
}

void CloseMenus(Kiv& kiv) {
    // The first Escape closes the popup, the second leaves the menu bar.
    for (int attempt = 0; attempt < CLOSE_ATTEMPTS; ++attempt) {
        const bool popupShown = VisiblePopupMenu(kiv) != nullptr;
        if (!popupShown && !InMenuMode(kiv.frame)) return;
        TapKey(VK_ESCAPE);
        WaitUntil(
            [&] { return popupShown ? VisiblePopupMenu(kiv) == nullptr : !InMenuMode(kiv.frame); },
            ESCAPE_TIMEOUT_MS);
    }
    CHECK(!VisiblePopupMenu(kiv) && !InMenuMode(kiv.frame), "Escape did not close the menus");
}

int MenuBarItemCount(Kiv& kiv, int position) {
    HWND popup = OpenMenuBarItem(kiv, position);
    const int count = CountPopupItems(popup);
    CloseMenus(kiv);
    return count;
}

}  // namespace e2e
