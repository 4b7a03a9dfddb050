// Zoom at the cursor: the 11/10 steps and the presets, the cap, the outward
// guard, the anchor that keeps the picture pixel under a still cursor, and the
// menu bar that a released Alt must leave alone.
#include "harness.h"
#include "kiv.h"
#include "screen.h"
#include "steps.h"

namespace e2e {
namespace {

// One notch through the real program and the model, then the comparison.
void StepBoth(Kiv& kiv, HWND child, const Picture& picture, ZoomStepModel& model, int cx, int cy, bool in,
              bool shift, const std::string& context) {
    ZoomNotches(child, 1, in ? WHEEL_UP : WHEEL_DOWN, shift);
    model.Step(cx, cy, in, shift);
    ExpectStep(kiv, child, picture, model, cx, cy, context);
}

std::vector<std::string> ZoomTexts(Kiv& kiv, HWND child, int count, int delta, bool shift) {
    std::vector<std::string> texts;
    std::vector<WORD> keys = {VK_MENU};
    if (shift) keys.push_back(VK_SHIFT);
    PressKeys(keys);
    for (int i = 0; i < count; ++i) {
        REQUIRE(Wheel(child, delta), "wheel notification not handled");
        texts.push_back(kiv.Status(0));
    }
    ReleaseKeys(keys);
    LeaveMenuMode(child);
    return texts;
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const auto& text : texts) all += " " + text;
    return all;
}

}  // namespace

E2E_CASE(zoom, plain_steps_of_eleven_tenths) {
    const Picture picture = PatternPicture(400, 400);
    {
        Kiv kiv("zoom_plain_in");
        kiv.WritePicture(picture);
        HWND child = kiv.Start();
        REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
        ZoomStepModel model(400, 400, 300, 250);
        MoveCursorToClient(child, 137, 111);
        const char* const expected[] = {"110%", "121%", "133.10%", "146.41%", "161.05%"};
        for (const char* text : expected) {
            StepBoth(kiv, child, picture, model, 137, 111, true, false, Format("zoom in to %s", text));
            CHECK(kiv.Status(0) == text, "zoom readout \"%s\", not \"%s\"", kiv.Status(0).c_str(), text);
        }
    }
    {
        Kiv kiv("zoom_plain_out");
        kiv.WritePicture(picture);
        HWND child = kiv.Start();
        REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
        ZoomStepModel model(400, 400, 300, 250);
        MoveCursorToClient(child, 200, 60);
        StepBoth(kiv, child, picture, model, 200, 60, false, false, "one notch out");
        CHECK(kiv.Status(0) == "90.90%", "one notch out reads \"%s\"", kiv.Status(0).c_str());
        StepBoth(kiv, child, picture, model, 200, 60, true, false, "and one back in");
        CHECK(kiv.Status(0) == "99.99%", "one notch out and in reads \"%s\"", kiv.Status(0).c_str());
    }
}

E2E_CASE(zoom, shift_walks_the_presets) {
    Kiv kiv("zoom_presets");
    const Picture picture = PatternPicture(60, 50);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
    ZoomStepModel model(60, 50, 300, 250);
    MoveCursorToClient(child, 150, 125);
    const struct {
        bool in;
        const char* text;
    } steps[] = {{true, "200%"}, {true, "300%"}, {false, "200%"}, {false, "100%"}, {false, "66.67%"},
                 {false, "50%"}, {true, "66.67%"}, {true, "100%"}};
    for (const auto& step : steps) {
        StepBoth(kiv, child, picture, model, 150, 125, step.in, true,
                 Format("Shift %s to %s", step.in ? "in" : "out", step.text));
        CHECK(kiv.Status(0) == step.text, "readout \"%s\", not \"%s\"", kiv.Status(0).c_str(), step.text);
    }
}

E2E_CASE(zoom, capped_at_3200_percent) {
    Kiv kiv("zoom_cap");
    const Picture picture = PatternPicture(40, 30);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
    MoveCursorToClient(child, 150, 125);
    const std::vector<std::string> texts = ZoomTexts(kiv, child, 38, WHEEL_UP, false);
    std::vector<std::string> expected;
    for (int32_t zoom = ZOOM_UNIT; expected.size() < 38;) expected.push_back(ZoomText(zoom = ZoomIn(zoom, false)));
    CHECK(texts == expected, "38 notches in read%s", Joined(texts).c_str());
    CHECK(texts[36] == "3200%" && texts[37] == "3200%", "the 37th and 38th notch read %s and %s",
          texts[36].c_str(), texts[37].c_str());
    const POINT first = FirstVisible(kiv, child);
    ExpectView(child, {&picture, ZOOM_MAX, first.x, first.y}, "at the cap");
    // Another notch in at the cap keeps the view where it is.
    MoveCursorToClient(child, 140, 100);
    ZoomNotches(child, 1, WHEEL_UP, false);
    CHECK(kiv.Status(0) == "3200%", "a notch at the cap reads \"%s\"", kiv.Status(0).c_str());
    const POINT again = FirstVisible(kiv, child);
    CHECK(again.x == first.x && again.y == first.y, "a notch at the cap moved the view from %ld:%ld to %ld:%ld",
          first.x, first.y, again.x, again.y);
    // Shift steps at the cap stay there; Shift out goes to 1600 %.
    MoveCursorToClient(child, 140, 100);
    CHECK(ZoomTexts(kiv, child, 1, WHEEL_UP, true)[0] == "3200%", "Shift in at the cap left it");
    CHECK(ZoomTexts(kiv, child, 1, WHEEL_DOWN, true)[0] == "1600%", "Shift out from the cap is not 1600%%");
}

E2E_CASE(zoom, one_pixel_wide_picture_cannot_shrink) {
    Kiv kiv("zoom_guard");
    const Picture picture = PatternPicture(1, 50);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
    ZoomStepModel model(1, 50, 300, 250);
    MoveCursorToClient(child, 150, 125);
    StepBoth(kiv, child, picture, model, 150, 125, false, false, "plain notch out");
    CHECK(kiv.Status(0) == "100%", "plain notch out reads \"%s\"", kiv.Status(0).c_str());
    StepBoth(kiv, child, picture, model, 150, 125, false, true, "Shift notch out");
    CHECK(kiv.Status(0) == "100%", "Shift notch out reads \"%s\"", kiv.Status(0).c_str());
    StepBoth(kiv, child, picture, model, 150, 125, true, false, "notch in");
    CHECK(kiv.Status(0) == "110%", "notch in reads \"%s\"", kiv.Status(0).c_str());
}

E2E_CASE(zoom, only_the_sign_of_the_delta_counts) {
    Kiv kiv("zoom_delta");
    kiv.WritePicture(PatternPicture(60, 50));
    HWND child = kiv.Start();
    MoveCursorToClient(child, 100, 100);
    CHECK(ZoomTexts(kiv, child, 1, 0, false)[0] == "110%", "a delta of 0 does not zoom in");
    CHECK(ZoomTexts(kiv, child, 1, 240, false)[0] == "121%", "a delta of 240 is not one step in");
    CHECK(ZoomTexts(kiv, child, 1, -360, false)[0] == "110%", "a delta of -360 is not one step out");
}

// The worked step first, its numbers worked out by hand: 400 x 400 at 200 %
// in a 200 x 200 client scrolled to the top-left corner, the cursor at
// (41, 41) over picture pixel (20, 20), on the second of its scaled pixels 40
// and 41. Shift + in to 300 %: the pixel spans scaled 60 to 62 and the cursor
// keeps to its middle, 61, so the first visible column and row are 20. Then
// 40 plain notches in and out with the cursor still: it stays over pixel
// (20, 20) at every zoom of 100 % or more, without drifting off it.
E2E_CASE(zoom, still_cursor_keeps_its_picture_pixel_without_drift) {
    Kiv kiv("zoom_anchor");
    const Picture picture = PatternPicture(400, 400);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 200, 200), "cannot give the window a 200x200 client area");
    ZoomStepModel model(400, 400, 200, 200);
    MoveCursorToClient(child, 100, 100);
    StepBoth(kiv, child, picture, model, 100, 100, true, true, "Shift in to 200%");
    Send(child, WM_HSCROLL, SB_LEFT, 0);
    Send(child, WM_VSCROLL, SB_TOP, 0);
    model.ScrolledTo(0, 0);
    const int cx = 41, cy = 41;
    MoveCursorToClient(child, cx, cy);
    ExpectStep(kiv, child, picture, model, cx, cy, "200% scrolled to the top-left corner");
    StepBoth(kiv, child, picture, model, cx, cy, true, true, "Shift in to 300%");
    CHECK(kiv.Status(0) == "300%" && kiv.Status(1) == "61:61" && kiv.Status(2) == "20:20",
          "after the step the readouts are %s, %s, %s (want 300%%, 61:61, 20:20)", kiv.Status(0).c_str(),
          kiv.Status(1).c_str(), kiv.Status(2).c_str());
    // Picture column 20 fills client columns 40 to 42; its neighbours lie beside.
    const struct {
        int x;
        int picture;
    } columns[] = {{39, 19}, {40, 20}, {41, 20}, {42, 20}, {43, 21}};
    for (const auto& column : columns) {
        const uint32_t shown = ScreenPixelAtClient(child, column.x, cy);
        CHECK(shown == picture.colour(column.picture, 20), "client column %d shows %s, not picture column %d",
              column.x, ColourText(shown).c_str(), column.picture);
    }

    const std::string anchor = "20:20";
    const uint32_t anchorColour = picture.colour(20, 20);
    for (int notch = 1; notch <= 40; ++notch) {
        const bool in = notch <= 20;
        StepBoth(kiv, child, picture, model, cx, cy, in, false, Format("notch %d %s", notch, in ? "in" : "out"));
        if (model.zoom() >= ZOOM_UNIT) {
            CHECK(kiv.Status(2) == anchor, "notch %d: the cursor is over picture pixel %s, not %s", notch,
                  kiv.Status(2).c_str(), anchor.c_str());
            const uint32_t shown = ScreenPixelAtClient(child, cx, cy);
            CHECK(shown == anchorColour, "notch %d: the screen under the cursor shows %s", notch,
                  ColourText(shown).c_str());
        }
    }
}

E2E_CASE(zoom, released_alt_leaves_the_menu_bar_alone) {
    Kiv kiv("zoom_alt");
    kiv.WritePicture(PatternPicture(300, 300));
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 200, 200), "cannot size the client area");
    MoveCursorToClient(child, 50, 50);
    // A harmless key first takes any key-state resync that entering the
    // window causes, so that the Alt below is pressed exactly once.
    PressKeys({VK_SHIFT});
    ReleaseKeys({VK_SHIFT});
    // Control: a lone Alt press and release puts the menu bar into keyboard mode.
    PressKeys({VK_MENU});
    ReleaseKeys({VK_MENU});
    const bool control = WaitUntil([&] { return InMenuMode(child); }, WAIT_TIMEOUT_MS);
    LeaveMenuMode(child);
    // Without the control, "no menu mode" below would prove nothing.
    if (!control) Skip("a lone Alt press does not put the menu bar into keyboard mode here");
    // Alt held over three notches, then released: no menu mode. The pointer
    // move reaches kiv's input queue behind the release, so once kiv's
    // readout follows the pointer, the release has been handled.
    PressKeys({VK_MENU});
    for (int i = 0; i < 3; ++i) Wheel(child, WHEEL_UP);
    CHECK(kiv.Status(0) == "133.10%", "three notches read \"%s\"", kiv.Status(0).c_str());
    const std::string before = kiv.Status(1);
    ReleaseKeys({VK_MENU});
    MoveCursorToClient(child, 51, 50);
    const bool settled = WaitUntil([&] { return InMenuMode(child) || kiv.Status(1) != before; }, WAIT_TIMEOUT_MS);
    CHECK(settled && !InMenuMode(child), "releasing Alt after zooming put the menu bar into keyboard mode%s",
          settled ? "" : " (or kiv never handled the pointer move behind it)");
    LeaveMenuMode(child);
}

}  // namespace e2e
