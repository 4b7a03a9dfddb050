// The frame: its identity, status bar, first document window, menu commands
// and the ways the program ends.
#include <algorithm>

#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {
namespace {

constexpr int CHILD_SIZE = 400;

bool Overlap(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != 0;
}

}  // namespace

E2E_CASE(frame, identity_status_bar_and_first_window) {
    Kiv kiv("frame_identity");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Launch();
    kiv.WaitFrame();
    HWND child = kiv.WaitChildCount(1);

    CHECK(WindowTextW(kiv.frame) == FRAME_TITLE, "frame title is \"%s\"", Narrow(WindowTextW(kiv.frame)).c_str());
    CHECK(ClassName(child) == "Win32kivMDIChild", "document window class is %s", ClassName(child).c_str());
    CHECK(WindowTextW(child) == L"ss6.jpg", "document window title is \"%s\"",
          Narrow(WindowTextW(child)).c_str());
    const SIZE size = WindowSize(child);
    CHECK(size.cx == CHILD_SIZE && size.cy == CHILD_SIZE, "first document window is %ldx%ld, not 400x400",
          size.cx, size.cy);
    CHECK(WaitUntil([&] { return kiv.Status(0) == "100%"; }, WAIT_TIMEOUT_MS),
          "status part 0 reads \"%s\" after the first layout", kiv.Status(0).c_str());
    // Part 3: the picture's size and its place among the pictures of its folder.
    CHECK(WaitUntil([&] { return kiv.Status(3) == "101 x 75   1/1"; }, WAIT_TIMEOUT_MS) && kiv.Status(4).empty(),
          "status parts 3 and 4 read \"%s\" and \"%s\"", kiv.Status(3).c_str(), kiv.Status(4).c_str());
    ExpectStatusEdges(kiv, "at start");
}

E2E_CASE(frame, status_edges_follow_every_resize) {
    Kiv kiv("frame_status_edges");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    kiv.PlaceFrame(1000, 700);
    ExpectStatusEdges(kiv, "frame 1000 wide");
    // Below 600 pixels the leading edges go negative and are kept as computed.
    kiv.PlaceFrame(500, 400);
    ExpectStatusEdges(kiv, "frame 500 wide");
    kiv.PlaceFrame(1100, 800);
    ExpectStatusEdges(kiv, "frame 1100 wide");
}

E2E_CASE(frame, first_window_opens_once_and_close_with_none_does_nothing) {
    Kiv kiv("frame_first_once");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    kiv.SendCommand(IDM_CLOSE);
    kiv.WaitChildCount(0);
    // Later resizes never open another first window.
    for (int width : {900, 1150, 700}) {
        kiv.PlaceFrame(width, 800);
        CHECK(kiv.Children().empty(), "a resize to width %d opened a document window", width);
    }
    kiv.SendCommand(IDM_CLOSE);
    CHECK(kiv.Children().empty() && kiv.Alive(), "IDM_CLOSE with no document window changed something");
    kiv.SendCommand(IDM_NEW);
    kiv.WaitChildCount(1);
}

// Their entries in the window list are checked in window_list_tests.cpp.
E2E_CASE(frame, new_window_each_time) {
    Kiv kiv("frame_new");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    for (size_t count = 2; count <= 4; ++count) {
        kiv.SendCommand(IDM_NEW);
        HWND active = kiv.WaitChildCount(count);
        CHECK(WindowTextW(active) == L"ss6.jpg", "new window %u is titled \"%s\"", static_cast<unsigned>(count),
              Narrow(WindowTextW(active)).c_str());
        const SIZE size = WindowSize(active);
        CHECK(size.cx == CHILD_SIZE && size.cy == CHILD_SIZE, "new window %u is %ldx%ld",
              static_cast<unsigned>(count), size.cx, size.cy);
    }
}

E2E_CASE(frame, tile_and_cascade_arrange_the_windows) {
    Kiv kiv("frame_tile");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    kiv.SendCommand(IDM_NEW);
    kiv.WaitChildCount(2);
    const SIZE area = ClientSize(kiv.mdiClient);

    kiv.SendCommand(IDM_TILEHORZ);
    std::vector<HWND> children = kiv.Children();
    RECT a = WindowRectIn(children[0], kiv.mdiClient), b = WindowRectIn(children[1], kiv.mdiClient);
    CHECK(!Overlap(a, b) && a.left == b.left && a.right - a.left == area.cx && b.right - b.left == area.cx,
          "after IDM_TILEHORZ the two windows are not one above the other across the full width "
          "(%ld,%ld-%ld,%ld and %ld,%ld-%ld,%ld in %ldx%ld)",
          a.left, a.top, a.right, a.bottom, b.left, b.top, b.right, b.bottom, area.cx, area.cy);

    kiv.SendCommand(IDM_TILEVERT);
    a = WindowRectIn(children[0], kiv.mdiClient);
    b = WindowRectIn(children[1], kiv.mdiClient);
    CHECK(!Overlap(a, b) && a.top == b.top && a.bottom - a.top == area.cy && b.bottom - b.top == area.cy,
          "after IDM_TILEVERT the two windows are not side by side over the full height "
          "(%ld,%ld-%ld,%ld and %ld,%ld-%ld,%ld in %ldx%ld)",
          a.left, a.top, a.right, a.bottom, b.left, b.top, b.right, b.bottom, area.cx, area.cy);

    kiv.SendCommand(IDM_NEW);
    kiv.WaitChildCount(3);
    kiv.SendCommand(IDM_CASCADE);
    children = kiv.Children();
    std::vector<RECT> rects;
    for (HWND child : children) rects.push_back(WindowRectIn(child, kiv.mdiClient));
    std::sort(rects.begin(), rects.end(), [](const RECT& p, const RECT& q) { return p.left < q.left; });
    const long stepX = rects[1].left - rects[0].left, stepY = rects[1].top - rects[0].top;
    CHECK(stepX > 0 && stepY > 0 && rects[2].left - rects[1].left == stepX && rects[2].top - rects[1].top == stepY,
          "after IDM_CASCADE the windows are not stepped diagonally (%ld,%ld / %ld,%ld / %ld,%ld)",
          rects[0].left, rects[0].top, rects[1].left, rects[1].top, rects[2].left, rects[2].top);
}

E2E_CASE(frame, exit_command_ends_with_code_0) {
    Kiv kiv("frame_exit");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    kiv.SendCommand(IDM_NEW);
    kiv.WaitChildCount(2);
    kiv.ExpectExit();
    kiv.PostCommand(IDM_EXIT);
    const DWORD code = kiv.WaitExit();
    CHECK(code == 0, "exit code after IDM_EXIT is %lu", code);
}

E2E_CASE(frame, closing_the_frame_ends_with_code_0) {
    Kiv kiv("frame_close");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Start();
    kiv.ExpectExit();
    PostMessageW(kiv.frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    const DWORD code = kiv.WaitExit();
    CHECK(code == 0, "exit code after closing the frame is %lu", code);
}

}  // namespace e2e
