// Closing document windows without a question; the menu bar's following of
// the active window is checked with the window list (window_list_tests.cpp).
#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {

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
