#include "steps.h"

#include "harness.h"
#include "screen.h"

namespace e2e {

POINT FirstVisible(Kiv& kiv, HWND child) {
    MoveCursorToClient(child, 0, 0);
    RefreshReadouts(child);
    int64_t x = -1, y = -1;
    ParsePair(kiv.Status(1), &x, &y);
    return {static_cast<LONG>(x), static_cast<LONG>(y)};
}

void ZoomNotches(HWND child, int count, int delta, bool shift) {
    std::vector<WORD> keys = {VK_MENU};
    if (shift) keys.push_back(VK_SHIFT);
    PressKeys(keys);
    for (int i = 0; i < count; ++i) REQUIRE(Wheel(child, delta), "wheel notification not handled");
    ReleaseKeys(keys);
    LeaveMenuMode(child);
}

void LeaveMenuMode(HWND window) {
    for (int attempt = 0; attempt < 3 && InMenuMode(window); ++attempt) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof keys[0]);
        WaitUntil([&] { return !InMenuMode(window); }, 2000);
    }
}

}  // namespace e2e
