// Long pictures: tables sized for the picture take it to the zoom cap; a
// picture longer than the program takes is refused.
#include "failures.h"
#include "harness.h"
#include "kiv.h"
#include "screen.h"
#include "steps.h"

namespace e2e {

namespace {

// Each window's tables are sized for its picture, so a long picture zooms to
// the cap like any other: Shift notches from 100 % to 3200 % and one past,
// the view at the cap at both ends, and one notch back.
void ZoomLongPictureToTheCap(const char* caseName, int width) {
    Kiv kiv(caseName);
    const Picture picture = PatternPicture(width, 10);
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
    const ScaleModel highest(width, 10, ZOOM_MAX);
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

}  // namespace

E2E_CASE(capacity, long_picture_zooms_to_the_cap) { ZoomLongPictureToTheCap("capacity_zoom", 7000); }

E2E_CASE(capacity, picture_40000_wide_zooms_to_the_cap) { ZoomLongPictureToTheCap("capacity_zoom_40000", 40000); }

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

// Only the 32-bit build runs out of address space: pictures of almost half a
// gigabyte each are opened, one by one, until it does. Every refusal is a
// message that says so; once windows are closed, the refused picture opens.
// A suite of its own, so that ctest shows it skipped against the x64 build.
E2E_CASE(memory, running_out_of_memory_is_told_and_closing_windows_makes_room) {
    if (!Is32BitBuild()) Skip("kiv.exe is not a 32-bit program: its address space does not run out");
    constexpr int SIDE = 11000;  // 484 MB of pixels each
    constexpr int MOST_FILES = 16;
    constexpr int REFUSALS_WANTED = 2;
    constexpr DWORD DECODE_TIMEOUT_MS = 120000;
    Kiv kiv("capacity_memory");
    const std::vector<uint8_t> png = EncodeBilevelPng(SIDE, SIDE, [](int x, int) { return x % 2 == 0; }, SIDE);
    std::vector<std::string> paths;
    for (int i = 1; i <= MOST_FILES; ++i) {
        paths.push_back(kiv.Dir() + Format("\\big%02d.png", i));
        REQUIRE(WriteBytes(paths.back(), png), "cannot write %s", paths.back().c_str());
    }
    const std::string size = Format("%d x %d", SIDE, SIDE);
    kiv.Launch({Widen(paths[0])});
    kiv.WaitFrame();

    // Each file either opens in a window of its own or is refused.
    auto open = [&](const std::string& path) -> bool {
        const std::wstring title = Widen(path.substr(path.rfind('\\') + 1));
        REQUIRE(WaitUntil(
                    [&] {
                        HWND active = kiv.ActiveChild();
                        return kiv.FindMessageBox() ||
                               (active && WindowTextW(active) == title && kiv.Status(3).rfind(size, 0) == 0);
                    },
                    DECODE_TIMEOUT_MS),
                "%s neither opened nor was refused", path.c_str());
        if (!kiv.FindMessageBox()) return true;
        const MessageBoxSeen seen = kiv.WaitMessageBox(false);
        CHECK(seen.text == CannotOpenText(path, REASON_OUT_OF_MEMORY) && seen.caption == INFO_CAPTION && seen.okButton,
              "refused with \"%s\"", Narrow(seen.text).c_str());
        kiv.AnswerMessageBox(seen);
        return false;
    };
    int shown = 0, refused = 0;
    std::string lastRefused;
    if (open(paths[0])) ++shown;
    for (size_t i = 1; i < paths.size() && refused < REFUSALS_WANTED; ++i) {
        kiv.Drop(kiv.frame, {paths[i]});
        if (open(paths[i])) {
            ++shown;
        } else {
            ++refused;
            lastRefused = paths[i];
        }
        CHECK(kiv.Children().size() == static_cast<size_t>(shown), "%u windows after %u shown",
              static_cast<unsigned>(kiv.Children().size()), static_cast<unsigned>(shown));
    }
    Note("%d pictures of %s pixels shown before %d were refused", shown, size.c_str(), refused);
    REQUIRE(refused == REFUSALS_WANTED, "memory did not run out after %d pictures", shown);
    REQUIRE(shown >= 2, "only %d picture shown", shown);

    for (int close = 0; close < 2; ++close) {
        kiv.SendCommand(IDM_CLOSE);
        kiv.WaitChildCount(static_cast<size_t>(shown - 1 - close));
    }
    kiv.Drop(kiv.frame, {lastRefused});
    CHECK(open(lastRefused), "%s is refused even after two windows were closed", lastRefused.c_str());
}

}  // namespace e2e
