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

E2E_CASE(activation, window_list_moves_between_child_and_frame_menu) {
    Kiv kiv("activation_window_list");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    const HMENU childMenu = GetMenu(kiv.frame);
    for (unsigned count = 2; count <= 3; ++count) {
        kiv.SendCommand(IDM_NEW);
        kiv.WaitChildCount(count);
    }
    const int childItems = WindowMenuItems(kiv, "child menu, three windows");

    // Deactivating the active window with no other activated is the only way
    // to have the frame menu up while windows are open: the list must go to
    // the frame menu's position 1 then.
    HWND active = kiv.ActiveChild();
    REQUIRE(Send(active, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(active), 0), "WM_MDIACTIVATE not handled");
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

    // With the last window closed the frame menu shows and lists none.
    for (size_t left : {2u, 1u, 0u}) {
        kiv.SendCommand(IDM_CLOSE);
        kiv.WaitChildCount(left);
    }
    CHECK(GetMenu(kiv.frame) == frameMenu, "with no document window the frame menu is not up");
    const int frameItemsEmpty = WindowMenuItems(kiv, "frame menu, no window");
    CHECK(frameItemsListed == frameItemsEmpty + 3,
          "the frame menu's popup at position 1 has %d items with three windows open and %d with none; "
          "the three should be listed there",
          frameItemsListed, frameItemsEmpty);
}

}  // namespace e2e
