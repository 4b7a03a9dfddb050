// Pictures at the edge of what the scale tables hold: zooming stops at the
// highest zoom whose tables fit; a picture too long for them is refused.
#include "failures.h"
#include "harness.h"
#include "kiv.h"
#include "screen.h"
#include "steps.h"

namespace e2e {

E2E_CASE(capacity, zoom_stops_where_the_tables_end) {
    Kiv kiv("capacity_zoom");
    const Picture picture = PatternPicture(7000, 10);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 400, 200), "cannot size the client area");
    // floor(2e9 / 7001) = 285673 is the highest zoom whose longer table (200000 entries) holds 7001 x zoom.
    const ScaleModel highest(7000, 10, 285673), above(7000, 10, 285674);
    REQUIRE(highest.Fits() && !above.Fits(), "the model disagrees about the table capacity");
    MoveCursorToClient(child, 200, 100);
    std::vector<std::string> texts;
    PressKeys({VK_MENU, VK_SHIFT});
    for (int notch = 0; notch < 11; ++notch) {
        REQUIRE(Wheel(child, WHEEL_UP), "wheel notification not handled");
        texts.push_back(kiv.Status(0));
    }
    ReleaseKeys({VK_MENU, VK_SHIFT});
    const char* const expected[] = {"200%", "300%", "400%",  "500%",     "600%",    "700%",
                                    "800%", "1200%", "1600%", "2856.73%", "2856.73%"};
    for (size_t i = 0; i < texts.size(); ++i)
        CHECK(texts[i] == expected[i], "Shift notch %u reads \"%s\", not \"%s\"", static_cast<unsigned>(i + 1),
              texts[i].c_str(), expected[i]);
    MoveCursorToClient(child, 200, 100);
    ZoomNotches(child, 1, WHEEL_UP, false);
    CHECK(kiv.Status(0) == "2856.73%", "a plain notch at the limit reads \"%s\"", kiv.Status(0).c_str());
    const POINT first = FirstVisible(kiv, child);
    ExpectView(child, {&picture, 285673, first.x, first.y}, "at the highest zoom that fits");
    Send(child, WM_HSCROLL, SB_RIGHT, 0);
    const POINT end = FirstVisible(kiv, child);
    const LONG last = static_cast<LONG>(highest.scaledW()) - ClientSize(child).cx;
    CHECK(end.x == last, "SB_RIGHT went to column %ld, not %ld", end.x, last);
    ExpectView(child, {&picture, 285673, end.x, end.y}, "scrolled to the right end at the highest zoom");
    // Zooming out again works from there.
    MoveCursorToClient(child, 200, 100);
    ZoomNotches(child, 1, WHEEL_DOWN, true);
    CHECK(kiv.Status(0) == "1600%", "Shift out from the limit reads \"%s\"", kiv.Status(0).c_str());
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

E2E_CASE(capacity, picture_too_long_is_refused) {
    for (int width : {19999, 20000}) {
        Kiv kiv(Format("capacity_refused_%d", width));
        kiv.WritePicture(PatternPicture(width, 10));
        kiv.Launch();
        ExpectFatalMessage(kiv, {PICTURE_TOO_LARGE}, Format("%dx10 picture", width).c_str());
    }
}

}  // namespace e2e
