// Long pictures: tables sized for the picture take it to the zoom cap; a
// picture longer than the program takes is refused.
#include "failures.h"
#include "harness.h"
#include "kiv.h"
#include "screen.h"
#include "steps.h"

namespace e2e {

// Each window's tables are sized for its picture, so a long picture zooms to
// the cap like any other.
E2E_CASE(capacity, long_picture_zooms_to_the_cap) {
    Kiv kiv("capacity_zoom");
    const Picture picture = PatternPicture(7000, 10);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 400, 200), "cannot size the client area");
    MoveCursorToClient(child, 200, 100);
    std::vector<std::string> texts;
    PressKeys({VK_MENU, VK_SHIFT});
    for (int notch = 0; notch < 11; ++notch) {
        REQUIRE(Wheel(child, WHEEL_UP), "wheel notification not handled");
        texts.push_back(kiv.Status(0));
    }
    ReleaseKeys({VK_MENU, VK_SHIFT});
    const char* const expected[] = {"200%", "300%", "400%",  "500%",  "600%", "700%",
                                    "800%", "1200%", "1600%", "3200%", "3200%"};
    for (size_t i = 0; i < texts.size(); ++i)
        CHECK(texts[i] == expected[i], "Shift notch %u reads \"%s\", not \"%s\"", static_cast<unsigned>(i + 1),
              texts[i].c_str(), expected[i]);
    const ScaleModel highest(7000, 10, ZOOM_MAX);
    const POINT first = FirstVisible(kiv, child);
    ExpectView(child, {&picture, ZOOM_MAX, first.x, first.y}, "at the cap");
    Send(child, WM_HSCROLL, SB_RIGHT, 0);
    const POINT end = FirstVisible(kiv, child);
    const LONG last = static_cast<LONG>(highest.scaledW()) - ClientSize(child).cx;
    CHECK(end.x == last, "SB_RIGHT went to column %ld, not %ld", end.x, last);
    ExpectView(child, {&picture, ZOOM_MAX, end.x, end.y}, "scrolled to the right end at the cap");
    MoveCursorToClient(child, 200, 100);
    ZoomNotches(child, 1, WHEEL_DOWN, true);
    CHECK(kiv.Status(0) == "1600%", "Shift out from the cap reads \"%s\"", kiv.Status(0).c_str());
}

E2E_CASE(capacity, longest_side_19998_is_shown) {
    Kiv kiv("capacity_19998");
    const Picture picture = PatternPicture(19998, 10);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 400, 200), "cannot size the client area");
    const POINT first = FirstVisible(kiv, child);
    ExpectView(child, {&picture, ZOOM_UNIT, first.x, first.y}, "19998 pixels wide");
    Send(child, WM_HSCROLL, SB_RIGHT, 0);
    const POINT end = FirstVisible(kiv, child);
    CHECK(end.x == 19998 - ClientSize(child).cx, "SB_RIGHT went to column %ld", end.x);
    ExpectView(child, {&picture, ZOOM_UNIT, end.x, end.y}, "right end of 19998 pixels");
}

E2E_CASE(capacity, picture_longer_than_the_program_takes_is_refused) {
    Kiv kiv("capacity_refused");
    kiv.WritePicture(PatternPicture(MAX_PICTURE_SIDE + 1, 2));
    kiv.Launch();
    ExpectFatalMessage(kiv, {PICTURE_TOO_LARGE}, "a picture 65536 pixels wide");
}

}  // namespace e2e
