// Opening the user's own pictures: the command line, one window per file.
#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {

E2E_CASE(open, command_line_opens_each_file_in_order) {
    Kiv kiv("open_command_line");
    const Picture first = PatternPicture(120, 90), second = PatternPicture(60, 140);
    REQUIRE(WriteBytes(kiv.Dir() + "\\b c.bmp", EncodeBmp(first)), "cannot write the first picture");
    REQUIRE(WriteBytes(kiv.Dir() + "\\照片 ñ ✓.bmp", EncodeBmp(second)), "cannot write the second picture");
    kiv.Launch({L"b c.bmp", L"照片 ñ ✓.bmp"});
    kiv.WaitFrame();
    HWND active = kiv.WaitChildCount(2);
    CHECK(WaitUntil([&] { return WindowTextW(active) == L"照片 ñ ✓.bmp"; }, WAIT_TIMEOUT_MS),
          "the active window is titled \"%s\"", Narrow(WindowTextW(active)).c_str());
    ExpectView(active, {&second, ZOOM_UNIT, 0, 0}, "the last file");
    CHECK(WaitUntil([&] { return kiv.Status(3) == "60 x 140   2/2"; }, WAIT_TIMEOUT_MS), "part 3 reads \"%s\"",
          kiv.Status(3).c_str());
}

}  // namespace e2e

namespace e2e {

E2E_CASE(open, next_and_previous_in_natural_order) {
    Kiv kiv("open_folder");
    const Picture a = PatternPicture(80, 60), b = PatternPicture(90, 70);
    for (const char* name : {"img2.bmp", "img10.bmp"}) REQUIRE(WriteBytes(kiv.Dir() + "\\" + name, EncodeBmp(a)), "write");
    REQUIRE(WriteBytes(kiv.Dir() + "\\img1.bmp", EncodeBmp(b)), "write");
    REQUIRE(WriteBytes(kiv.Dir() + "\\notes.txt", {'x'}), "write");
    kiv.Launch({L"img1.bmp"});
    kiv.WaitFrame();
    HWND child = kiv.WaitChildCount(1);
    const wchar_t* expected[] = {L"img2.bmp", L"img10.bmp", L"img1.bmp", L"img2.bmp"};
    for (const wchar_t* title : expected) {
        kiv.SendCommand(IDM_NEXT);
        CHECK(WaitUntil([&] { return WindowTextW(child) == title; }, WAIT_TIMEOUT_MS), "after next: \"%s\"",
              Narrow(WindowTextW(child)).c_str());
    }
    kiv.SendCommand(IDM_PREVIOUS);
    CHECK(WaitUntil([&] { return WindowTextW(child) == L"img1.bmp"; }, WAIT_TIMEOUT_MS), "after previous: \"%s\"",
          Narrow(WindowTextW(child)).c_str());
    ExpectView(child, {&b, ZOOM_UNIT, 0, 0}, "img1 again");
    CHECK(WaitUntil([&] { return kiv.Status(3) == "90 x 70   1/3"; }, WAIT_TIMEOUT_MS), "part 3 reads \"%s\"",
          kiv.Status(3).c_str());
}

E2E_CASE(open, missing_file_leaves_the_frame_open) {
    Kiv kiv("open_missing");
    kiv.Launch({L"nothing here.png"});
    const MessageBoxSeen seen = kiv.WaitMessageBox();
    CHECK(seen.text.find(L"nothing here.png") != std::wstring::npos && seen.caption == INFO_CAPTION,
          "message \"%s\"", Narrow(seen.text).c_str());
    PostMessageW(seen.box, WM_COMMAND, IDOK, 0);
    CHECK(WaitUntil([&] { return !kiv.FindMessageBox(); }, WAIT_TIMEOUT_MS), "the box stays");
    Pause(300);
    CHECK(kiv.Alive() && kiv.FindFrame() && kiv.Children().empty(), "the frame did not stay open and empty: alive %d, frame %d, windows %u", kiv.Alive(), kiv.FindFrame(), static_cast<unsigned>(kiv.Children().size()));
}

}  // namespace e2e
