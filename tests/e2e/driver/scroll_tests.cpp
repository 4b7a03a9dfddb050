// Scroll bars: shown exactly when the scaled picture does not fit, following
// zoom and resizing, moved by a thumb drag past 65535 and by the wheel with
// Ctrl and Shift held for real (every request code: commands_tests.cpp).
#include <cstdlib>

#include "harness.h"
#include "kiv.h"
#include "screen.h"
#include "steps.h"

namespace e2e {
namespace {

bool HasBars(HWND child, bool horizontal, bool vertical) {
    return HasStyle(child, WS_HSCROLL) == horizontal && HasStyle(child, WS_VSCROLL) == vertical;
}

void ExpectAt(Kiv& kiv, HWND child, const Picture& picture, int32_t zoom, LONG x, LONG y, const std::string& context) {
    const POINT first = FirstVisible(kiv, child);
    CHECK(first.x == x && first.y == y, "%s: first visible %ld:%ld, not %ld:%ld", context.c_str(), first.x, first.y,
          x, y);
    ExpectView(child, {&picture, zoom, x, y}, context.c_str());
}

constexpr DWORD POINTER_SETTLE_MS = 100;

// A mouse event at screen point (x, y); returns once the system has taken it
// (the pointer is there, give or take the rounding of absolute coordinates).
void Mouse(DWORD flags, int x, int y) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    WaitUntil(
        [&] {
            POINT now;
            GetCursorPos(&now);
            return std::abs(now.x - x) <= 1 && std::abs(now.y - y) <= 1;
        },
        WAIT_TIMEOUT_MS);
}

// The window that holds the mouse in window's thread: a scroll bar being
// dragged holds it for its window.
HWND CaptureIn(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndCapture;
}

}  // namespace

E2E_CASE(scroll, bars_follow_zoom_and_size) {
    Kiv kiv("scroll_bars");
    const Picture picture = PatternPicture(200, 150);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
    CHECK(HasBars(child, false, false), "a fitting picture has scroll bars");
    // 200 x 150 at 161.05 % is 323 x 242: wider than the client, so a bar comes.
    MoveCursorToClient(child, 150, 125);
    ZoomNotches(child, 5, WHEEL_UP, false);
    CHECK(HasBars(child, true, true), "zoomed past the client size, the bars did not both show");
    POINT first = FirstVisible(kiv, child);
    ExpectView(child, {&picture, 16105, first.x, first.y}, "zoomed in with bars");
    MoveCursorToClient(child, 150, 125);
    ZoomNotches(child, 5, WHEEL_DOWN, false);
    CHECK(HasBars(child, false, false), "zoomed back out, the bars stayed");
    int32_t zoom = ZOOM_UNIT;
    for (int i = 0; i < 5; ++i) zoom = ZoomIn(zoom, false);
    for (int i = 0; i < 5; ++i) zoom = ZoomOut(zoom, false);
    CHECK(kiv.Status(0) == ZoomText(zoom), "zoom readout \"%s\", not \"%s\"", kiv.Status(0).c_str(),
          ZoomText(zoom).c_str());
    ExpectView(child, {&picture, zoom, 0, 0}, "zoomed back out");

    // Exactly as wide and as high as the client: still no bars.
    REQUIRE(SetClientSize(child, 200, 150), "cannot give the client the picture's size");
    CHECK(HasBars(child, false, false), "a picture exactly the client's size has scroll bars");
    ExpectView(child, {&picture, zoom, 0, 0}, "client exactly the picture's size");
}

E2E_CASE(scroll, hidden_bar_loses_its_position) {
    Kiv kiv("scroll_resize");
    const Picture picture = PatternPicture(400, 300);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 500, 400), "cannot size the client area");
    CHECK(HasBars(child, false, false), "a fitting picture has scroll bars");
    REQUIRE(SetClientSize(child, 400, 300), "cannot give the client the picture's size");
    CHECK(HasBars(child, false, false), "a picture exactly the client's size has scroll bars");
    REQUIRE(SetClientSize(child, 250, 200), "cannot shrink the client area");
    CHECK(HasBars(child, true, true), "a picture larger than the client has no bars");
    ExpectAt(kiv, child, picture, ZOOM_UNIT, 0, 0, "bars shown by a resize start at 0");
    Send(child, WM_HSCROLL, SB_RIGHT, 0);
    Send(child, WM_VSCROLL, SB_BOTTOM, 0);
    ExpectAt(kiv, child, picture, ZOOM_UNIT, 150, 100, "scrolled to the far corner");
    // Growing keeps the positions of bars that stay, re-clamped.
    REQUIRE(SetClientSize(child, 300, 250), "cannot grow the client area");
    ExpectAt(kiv, child, picture, ZOOM_UNIT, 100, 50, "grown a little");
    // Growing until the picture fits hides the bars; shrinking again starts at 0.
    REQUIRE(SetClientSize(child, 450, 350), "cannot grow the client area");
    CHECK(HasBars(child, false, false), "the bars stayed although the picture fits");
    ExpectView(child, {&picture, ZOOM_UNIT, 0, 0}, "grown to fit");
    REQUIRE(SetClientSize(child, 250, 200), "cannot shrink the client area");
    ExpectAt(kiv, child, picture, ZOOM_UNIT, 0, 0, "bars shown again start at 0");
}

E2E_CASE(scroll, thumb_drag_past_65535) {
    Kiv kiv("scroll_thumb");
    const Picture picture = PatternPicture(3000, 40);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 400, 200), "cannot size the client area");
    // Ten preset steps reach 3200 %: the scaled picture is 96000 columns wide.
    MoveCursorToClient(child, 10, 10);
    ZoomNotches(child, 10, WHEEL_UP, true);
    REQUIRE(kiv.Status(0) == "3200%", "zoom readout \"%s\"", kiv.Status(0).c_str());
    REQUIRE(SetClientSize(child, 400, 200), "cannot size the client area with both bars");
    const ScaleModel model(3000, 40, ZOOM_MAX);
    const LONG last = static_cast<LONG>(model.scaledW()) - 400;
    Send(child, WM_HSCROLL, SB_RIGHT, 0);
    const LONG top = FirstVisible(kiv, child).y;
    ExpectAt(kiv, child, picture, ZOOM_MAX, last, top, "SB_RIGHT past 65535");

    // Drag the thumb from the right end a fifth of the way back.
    POINT corner = {400, 200};
    ClientToScreen(child, &corner);
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    const int barY = corner.y + GetSystemMetrics(SM_CYHSCROLL) / 2;
    const int grabX = corner.x - arrow - 4;
    const int dropX = grabX - (400 - 2 * arrow) / 5;
    // Each step waits for what it did to be seen: the pointer where it was
    // sent, the drag under way (the bar holds the mouse), the view following
    // the thumb, the drag over. One wait is for what no event tells: Wine
    // hands the pointer's move to kiv's X window on its own time, and a press
    // that comes before kiv has taken it in starts a drag that follows
    // nothing (so it went here every time without the pause).
    Mouse(0, grabX, barY);
    Pause(POINTER_SETTLE_MS);
    Mouse(MOUSEEVENTF_LEFTDOWN, grabX, barY);
    REQUIRE(WaitUntil([&] { return CaptureIn(child) == child; }, WAIT_TIMEOUT_MS),
            "pressing the thumb did not start a drag");
    const Capture atGrab = CaptureClient(child);
    for (int x = grabX - 8; x > dropX; x -= 8) Mouse(0, x, barY);
    Mouse(0, dropX, barY);
    CHECK(WaitUntil([&] { return CaptureClient(child).pixels != atGrab.pixels; }, WAIT_TIMEOUT_MS),
          "the view did not follow the dragged thumb");
    Mouse(MOUSEEVENTF_LEFTUP, dropX, barY);
    // FirstVisible moves the pointer: only once the drag is over.
    const bool moved =
        WaitUntil([&] { return CaptureIn(child) != child && FirstVisible(kiv, child).x != last; }, WAIT_TIMEOUT_MS);
    const POINT first = FirstVisible(kiv, child);
    Note("the thumb drag moved the first visible column from %ld to %ld", last, first.x);
    CHECK(moved && first.x > 65535 && first.x < last,
          "after dragging the thumb the first visible column is %ld (want between 65536 and %ld)", first.x, last);
    ExpectView(child, {&picture, ZOOM_MAX, first.x, first.y}, "after the thumb drag");
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    if (GetScrollInfo(child, SB_HORZ, &info)) {
        CHECK(info.nPos == first.x, "GetScrollInfo from outside says %d, the readout %ld", info.nPos, first.x);
    }
}

E2E_CASE(scroll, wheel_with_ctrl_and_shift) {
    Kiv kiv("scroll_wheel");
    const Picture picture = PatternPicture(600, 500);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 200), "cannot size the client area");
    FirstVisible(kiv, child);  // the cursor stays at the client's corner from here on
    struct Row {
        std::vector<WORD> keys;
        int delta;
        LONG x, y;
    };
    const Row rows[] = {
        {{}, WHEEL_DOWN, 0, 16},
        {{}, WHEEL_DOWN, 0, 32},
        {{}, WHEEL_UP, 0, 16},
        {{}, 0, 0, 0},
        {{VK_SHIFT}, WHEEL_DOWN, 0, 196},
        {{VK_SHIFT}, WHEEL_UP, 0, 0},
        {{VK_CONTROL}, WHEEL_DOWN, 16, 0},
        {{VK_CONTROL}, WHEEL_DOWN, 32, 0},
        {{VK_CONTROL}, WHEEL_UP, 16, 0},
        {{VK_CONTROL, VK_SHIFT}, WHEEL_DOWN, 300, 0},
        {{VK_CONTROL, VK_SHIFT}, WHEEL_UP, 4, 0},
        {{VK_CONTROL}, 0, 0, 0},
    };
    int index = 0;
    for (const Row& row : rows) {
        ++index;
        if (!row.keys.empty()) PressKeys(row.keys);
        REQUIRE(Wheel(child, row.delta), "wheel notification not handled");
        if (!row.keys.empty()) ReleaseKeys(row.keys);
        ExpectAt(kiv, child, picture, ZOOM_UNIT, row.x, row.y, Format("wheel row %d", index));
    }
    // Without a horizontal bar, Ctrl scrolls vertically, Ctrl + Shift by pages.
    REQUIRE(SetClientSize(child, 650, 200), "cannot widen the client area");
    REQUIRE(HasBars(child, false, true), "expected only a vertical bar");
    FirstVisible(kiv, child);
    PressKeys({VK_CONTROL});
    Wheel(child, WHEEL_DOWN);
    ReleaseKeys({VK_CONTROL});
    ExpectAt(kiv, child, picture, ZOOM_UNIT, 0, 16, "Ctrl + wheel without a horizontal bar");
    PressKeys({VK_CONTROL, VK_SHIFT});
    Wheel(child, WHEEL_DOWN);
    ReleaseKeys({VK_CONTROL, VK_SHIFT});
    ExpectAt(kiv, child, picture, ZOOM_UNIT, 0, 212, "Ctrl + Shift + wheel without a horizontal bar");
    // With no bar at all the wheel does nothing.
    REQUIRE(SetClientSize(child, 650, 550), "cannot grow the client area");
    REQUIRE(HasBars(child, false, false), "expected no bars");
    Wheel(child, WHEEL_DOWN);
    ExpectView(child, {&picture, ZOOM_UNIT, 0, 0}, "wheel with no bars");
}

}  // namespace e2e
