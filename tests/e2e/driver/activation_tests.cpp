// The frame's menu bar follows the active document window: the child menu
// while one is active, the frame menu when none is left.
#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {

E2E_CASE(activation, menu_bar_follows_the_active_window) {
    Kiv kiv("activation_menus");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    const HMENU firstWindowMenu = GetMenu(kiv.frame);

    // The menu bar while a later window is active is the child menu.
    kiv.SendCommand(IDM_NEW);
    HWND second = kiv.WaitChildCount(2);
    const HMENU childMenu = GetMenu(kiv.frame);
    REQUIRE(childMenu != nullptr, "no menu bar while a document window is active");
    // Switch between the two: the child menu stays.
    Send(kiv.mdiClient, WM_MDINEXT, 0, 0);
    CHECK(WaitUntil([&] { return kiv.ActiveChild() != second; }, WAIT_TIMEOUT_MS), "WM_MDINEXT did not switch");
    CHECK(GetMenu(kiv.frame) == childMenu, "switching windows changed the menu bar");
    Send(kiv.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(second), 0);
    CHECK(WaitUntil([&] { return kiv.ActiveChild() == second; }, WAIT_TIMEOUT_MS), "WM_MDIACTIVATE did not switch");
    CHECK(GetMenu(kiv.frame) == childMenu, "activating a window changed the menu bar");

    // Closing the active one of two activates the other; the child menu stays.
    kiv.SendCommand(IDM_CLOSE);
    kiv.WaitChildCount(1);
    CHECK(kiv.ActiveChild() != nullptr, "closing one of two left none active");
    CHECK(GetMenu(kiv.frame) == childMenu, "closing one of two windows changed the menu bar");

    // Closing the last brings the frame menu back.
    kiv.SendCommand(IDM_CLOSE);
    kiv.WaitChildCount(0);
    const HMENU frameMenu = GetMenu(kiv.frame);
    CHECK(frameMenu != nullptr && frameMenu != childMenu, "with no document window the menu bar is %p (child menu %p)",
          static_cast<void*>(frameMenu), static_cast<void*>(childMenu));

    // And a new window puts the child menu back.
    kiv.SendCommand(IDM_NEW);
    kiv.WaitChildCount(1);
    CHECK(GetMenu(kiv.frame) == childMenu, "a new window after none did not bring the child menu back");

    // The first window, opened at start, is active too, so the child menu belongs there as well.
    CHECK(firstWindowMenu == childMenu,
          "while the first document window (opened at start) was active the frame showed %s, not the child menu",
          firstWindowMenu == frameMenu ? "the frame menu" : "another menu");
}

E2E_CASE(activation, close_button_and_ctrl_f4_close_at_once) {
    Kiv kiv("activation_close");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    kiv.SendCommand(IDM_NEW);
    HWND active = kiv.WaitChildCount(2);
    // The document window's own close (system menu or close button) asks nothing.
    PostMessageW(active, WM_SYSCOMMAND, SC_CLOSE, 0);
    kiv.WaitChildCount(1);
    CHECK(kiv.FindMessageBox() == nullptr, "closing a document window asked a question");
    // Ctrl+F4 through the message loop closes the active one.
    HWND last = kiv.ActiveChild();
    MoveCursorToClient(last, 20, 20);
    PressKeys({VK_SHIFT});
    ReleaseKeys({VK_SHIFT});
    PressKeys({VK_CONTROL});
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F4;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof keys[0]);
    ReleaseKeys({VK_CONTROL});
    CHECK(WaitUntil([&] { return kiv.Children().empty(); }, WAIT_TIMEOUT_MS), "Ctrl+F4 did not close the window");
    CHECK(kiv.Alive(), "Ctrl+F4 ended the program");
}

}  // namespace e2e
