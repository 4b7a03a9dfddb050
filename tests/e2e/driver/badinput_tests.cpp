// Files that are odd, broken or huge: each is either shown correctly or ends
// the program with the right message and exit code 0; nothing crashes. And a
// picture replaced on disk while the program runs.
#include "failures.h"
#include "harness.h"
#include "kiv.h"
#include "screen.h"
#include "steps.h"

namespace e2e {
namespace {

constexpr DWORD HUGE_PICTURE_TIMEOUT_MS = 180000;

// Waits until the program either shows its first window or a message box.
bool WaitShownOrRefused(Kiv& kiv, DWORD timeoutMs) {
    REQUIRE(WaitUntil(
                [&] {
                    return kiv.FindMessageBox() != nullptr ||
                           (kiv.FindFrame() && kiv.Children().size() == 1 && kiv.Status(0) == "100%");
                },
                timeoutMs),
            "neither a document window nor a message box appeared");
    return kiv.FindMessageBox() == nullptr;
}

void ExpectShown(const Picture& picture, const char* name) {
    Kiv kiv(name);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 320, 320), "cannot size the client area");
    ExpectView(child, {&picture, ZOOM_UNIT, 0, 0}, name);
    // The tiny picture also zooms: in to the cap, and out as far as it goes.
    MoveCursorToClient(child, 160, 160);
    ZoomNotches(child, 3, WHEEL_UP, true);
    ZoomNotches(child, 6, WHEEL_DOWN, true);
    CHECK(kiv.Alive(), "%s: the program ended while zooming", name);
}

}  // namespace

E2E_CASE(badinput, tiny_and_thin_pictures_are_shown) {
    ExpectShown(PatternPicture(1, 1), "bad_1x1");
    ExpectShown(PatternPicture(1, 300), "bad_1x300");
    ExpectShown(PatternPicture(300, 1), "bad_300x1");
}

E2E_CASE(badinput, truncated_jpeg) {
    Kiv kiv("bad_truncated");
    REQUIRE(WriteJpeg(kiv.PicturePath(), BlockPicture(160, 120)), "GDI+ could not write a JPEG");
    std::vector<uint8_t> bytes = ReadBytes(kiv.PicturePath());
    bytes.resize(bytes.size() / 2);
    REQUIRE(WriteBytes(kiv.PicturePath(), bytes), "cannot write the truncated file");
    kiv.Launch();
    if (WaitShownOrRefused(kiv, WAIT_TIMEOUT_MS)) {
        Note("the first half of a JPEG was decoded and is shown");
        HWND child = kiv.Children()[0];
        Send(child, WM_HSCROLL, SB_RIGHT, 0);
        CHECK(kiv.Alive(), "the program ended after showing a truncated JPEG");
    } else {
        ExpectFatalMessage(kiv, {DECODE_FAILED}, "a truncated JPEG");
    }
}

E2E_CASE(badinput, huge_png_is_shown_or_refused) {
    Kiv kiv("bad_huge");
    constexpr int SIDE = 16000;
    constexpr int SQUARE = 1000;
    auto white = [](int x, int y) { return ((x / SQUARE) + (y / SQUARE)) % 2 == 0; };
    REQUIRE(WriteBytes(kiv.PicturePath(), EncodeBilevelPng(SIDE, SIDE, white, SQUARE)), "cannot write the PNG");
    kiv.Launch();
    if (WaitShownOrRefused(kiv, HUGE_PICTURE_TIMEOUT_MS)) {
        Note("the 16000x16000 picture is shown");
        Picture picture;
        picture.width = picture.height = SIDE;
        picture.colour = [white](int x, int y) -> uint32_t { return white(x, y) ? 0xffffff : 0x000000; };
        HWND child = kiv.Children()[0];
        REQUIRE(SetClientSize(child, 300, 300), "cannot size the client area");
        Send(child, WM_HSCROLL, SB_THUMBPOSITION, 0);
        const POINT first = FirstVisible(kiv, child);
        ExpectView(child, {&picture, ZOOM_UNIT, first.x, first.y}, "16000x16000 picture");
    } else {
        ExpectFatalMessage(kiv, {DECODE_FAILED, HBITMAP_FAILED, SURFACE_FAILED, PICTURE_TOO_LARGE},
                           "a 16000x16000 picture");
    }
}

// Each window keeps the picture it was opened on: a file replaced on disk
// reaches only the windows opened after the replacement.
E2E_CASE(badinput, picture_replaced_while_running) {
    Kiv kiv("bad_replaced");
    const Picture original = PatternPicture(200, 150);
    kiv.WritePicture(original);
    HWND old = kiv.Start();
    MoveChild(old, 0, 0);
    REQUIRE(SetClientSize(old, 300, 250), "cannot size the client area");
    ExpectView(old, {&original, ZOOM_UNIT, 0, 0}, "before the replacement");

    for (const int width : {50, 200}) {  // a smaller picture, then one of the same size
        Picture replacement = PatternPicture(width, width == 200 ? 150 : 40);
        replacement.colour = [](int x, int y) -> uint32_t { return 0x40 | ((199 - x) << 16) | (y << 8); };
        kiv.WritePicture(replacement);
        kiv.SendCommand(IDM_NEW);
        HWND opened = kiv.WaitChildCount(2);
        MoveChild(opened, 500, 0);
        ExpectView(opened, {&replacement, ZOOM_UNIT, 0, 0}, Format("new window on a %d pixel wide replacement", width).c_str());
        REQUIRE(SetClientSize(old, 310, 260), "cannot resize the old window");
        ExpectView(old, {&original, ZOOM_UNIT, 0, 0}, "old window after the replacement");
        MoveCursorToClient(old, 150, 130);
        ZoomNotches(old, 2, WHEEL_UP, false);
        ZoomNotches(old, 2, WHEEL_DOWN, false);
        REQUIRE(SetClientSize(old, 300, 250), "cannot resize the old window");
        kiv.SendCommand(IDM_CLOSE);
        kiv.WaitChildCount(1);
    }
    CHECK(kiv.Alive(), "the program ended while the old window zoomed");
}

}  // namespace e2e
