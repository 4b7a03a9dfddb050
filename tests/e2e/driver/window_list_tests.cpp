// The window list: the MDI client lists every open document window in the
// window menu, which is the popup at position 1 of whichever menu bar shows,
// and moves the list along when the frame swaps the child menu for the frame
// menu and back. The popups are opened and counted as a user would.
#include <set>
#include <string>
#include <vector>

#include "harness.h"
#include "kiv.h"
#include "menu_bar.h"

namespace e2e {
namespace {

constexpr int WINDOW_MENU_POSITION = 1;
constexpr LONG_PTR FIRST_LIST_ID = 100;

int WindowMenuItems(Kiv& kiv, const char* context) {
    const int items = MenuBarItemCount(kiv, WINDOW_MENU_POSITION);
    REQUIRE(items > 0, "%s: the highlight in the popup of menu-bar item %d could not be followed", context,
            WINDOW_MENU_POSITION);
    return items;
}

// The MDI client gives each listed document window its entry's identifier,
// counted from the first one the frame handed it.
void ExpectListIdentifiers(Kiv& kiv, const char* context) {
    const std::vector<HWND> children = kiv.Children();
    std::set<LONG_PTR> got, want;
    for (size_t i = 0; i < children.size(); ++i) {
        got.insert(GetWindowLongPtrW(children[i], GWLP_ID));
        want.insert(FIRST_LIST_ID + static_cast<LONG_PTR>(i));
    }
    std::string shown;
    for (LONG_PTR id : got) shown += Format(" %ld", static_cast<long>(id));
    CHECK(got == want, "%s: the document windows have the identifiers%s, not %ld up", context, shown.c_str(),
          static_cast<long>(FIRST_LIST_ID));
}

}  // namespace

E2E_CASE(frame, window_list_in_menu_position_1_follows_new_and_close) {
    Kiv kiv("frame_window_list");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    int previous = WindowMenuItems(kiv, "one document window");
    ExpectListIdentifiers(kiv, "one document window");
    for (unsigned count = 2; count <= 3; ++count) {
        kiv.SendCommand(IDM_NEW);
        kiv.WaitChildCount(count);
        const std::string context = Format("%u document windows", count);
        const int items = WindowMenuItems(kiv, context.c_str());
        CHECK(items == previous + 1, "%s: the popup of menu-bar item 1 has %d items, after %d with one window fewer",
              context.c_str(), items, previous);
        ExpectListIdentifiers(kiv, context.c_str());
        previous = items;
    }
    kiv.SendCommand(IDM_CLOSE);
    kiv.WaitChildCount(2);
    const int items = WindowMenuItems(kiv, "after IDM_CLOSE");
    CHECK(items == previous - 1, "after IDM_CLOSE of one of three windows the popup of menu-bar item 1 has %d items, "
          "not %d", items, previous - 1);
    ExpectListIdentifiers(kiv, "after IDM_CLOSE");
}

// The menu bar follows the active document window (the child menu while one
// is active, the frame menu when none is), and the window list moves with it
// to whichever menu shows.
E2E_CASE(activation, menu_bar_and_window_list_follow_the_active_window) {
    Kiv kiv("activation_window_list");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    // The first window, opened at start, is active: the child menu shows.
    const HMENU childMenu = GetMenu(kiv.frame);
    REQUIRE(childMenu != nullptr, "no menu bar while the first document window is active");
    HWND second = nullptr;
    for (unsigned count = 2; count <= 3; ++count) {
        kiv.SendCommand(IDM_NEW);
        HWND opened = kiv.WaitChildCount(count);
        if (count == 2) second = opened;
        CHECK(GetMenu(kiv.frame) == childMenu, "a new window changed the menu bar");
    }
    const int childItems = WindowMenuItems(kiv, "child menu, three windows");

    // Switching between windows keeps the child menu.
    HWND active = kiv.ActiveChild();
    Send(kiv.mdiClient, WM_MDINEXT, 0, 0);
    CHECK(WaitUntil([&] { return kiv.ActiveChild() != active; }, WAIT_TIMEOUT_MS), "WM_MDINEXT did not switch");
    CHECK(GetMenu(kiv.frame) == childMenu, "switching windows changed the menu bar");
    Send(kiv.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(second), 0);
    CHECK(WaitUntil([&] { return kiv.ActiveChild() == second; }, WAIT_TIMEOUT_MS), "WM_MDIACTIVATE did not switch");
    CHECK(GetMenu(kiv.frame) == childMenu, "activating a window changed the menu bar");

    // Deactivating the active window with no other activated is the only way
    // to have the frame menu up while windows are open: the list must go to
    // the frame menu's position 1 then.
    REQUIRE(Send(second, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(second), 0), "WM_MDIACTIVATE not handled");
    const HMENU frameMenu = GetMenu(kiv.frame);
    REQUIRE(frameMenu != nullptr && frameMenu != childMenu, "a deactivated document window left the child menu up");
    const int frameItemsListed = WindowMenuItems(kiv, "frame menu, three windows");

    // Activating another window brings back the child menu, and the list with it.
    Send(kiv.mdiClient, WM_MDINEXT, 0, 0);
    CHECK(WaitUntil([&] { return GetMenu(kiv.frame) == childMenu; }, WAIT_TIMEOUT_MS),
          "WM_MDINEXT did not bring the child menu back");
    const int childItemsAgain = WindowMenuItems(kiv, "child menu again");
    CHECK(childItemsAgain == childItems, "back in the child menu the popup of menu-bar item 1 has %d items, not %d",
          childItemsAgain, childItems);

    // Closing the active one activates another and keeps the child menu; with
    // the last closed the frame menu shows and lists none.
    for (size_t left : {2u, 1u}) {
        kiv.SendCommand(IDM_CLOSE);
        kiv.WaitChildCount(left);
        CHECK(kiv.ActiveChild() != nullptr, "closing one of %u windows left none active",
              static_cast<unsigned>(left + 1));
        CHECK(GetMenu(kiv.frame) == childMenu, "closing one of %u windows changed the menu bar",
              static_cast<unsigned>(left + 1));
    }
    kiv.SendCommand(IDM_CLOSE);
    kiv.WaitChildCount(0);
    CHECK(GetMenu(kiv.frame) == frameMenu, "with no document window the frame menu is not up");
    const int frameItemsEmpty = WindowMenuItems(kiv, "frame menu, no window");
    CHECK(frameItemsListed == frameItemsEmpty + 3,
          "the frame menu's popup at position 1 has %d items with three windows open and %d with none; "
          "the three should be listed there",
          frameItemsListed, frameItemsEmpty);

    // And a new window puts the child menu back.
    kiv.SendCommand(IDM_NEW);
    kiv.WaitChildCount(1);
    CHECK(GetMenu(kiv.frame) == childMenu, "a new window after none did not bring the child menu back");
}

}  // namespace e2e
