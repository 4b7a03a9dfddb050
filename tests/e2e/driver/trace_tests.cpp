// The trace channel into the debug viewer: emptied at start, one "eax: " line
// per wheel notification that scrolls vertically, the viewer started from its
// launch path when absent, and silence when there is nothing to start.
#include "harness.h"
#include "kiv.h"
#include "screen.h"
#include "steps.h"
#include "viewer.h"

namespace e2e {
namespace {

// A viewer left over by an earlier case that failed half-way would answer in
// this one's place.
void CloseStrayViewers() {
    for (HWND viewer = FindViewer(); viewer; viewer = FindViewer()) CloseViewer(viewer);
}

}  // namespace

E2E_CASE(trace, start_empties_a_running_viewer) {
    UninstallViewer();
    CloseStrayViewers();
    RunningViewer viewer;
    SetViewerText(viewer.window, "left over from before");
    REQUIRE(ViewerText(viewer.window) == "left over from before", "the viewer does not hold the text set");
    Kiv kiv("trace_clear");
    kiv.WritePicture(PatternPicture(101, 75));
    kiv.Launch();
    kiv.WaitFrame();
    CHECK(WaitUntil([&] { return ViewerText(viewer.window).empty(); }, WAIT_TIMEOUT_MS),
          "the viewer still holds \"%s\" after kiv started", ViewerText(viewer.window).c_str());
}

E2E_CASE(trace, wheel_writes_eax_lines_into_a_running_viewer) {
    UninstallViewer();
    CloseStrayViewers();
    RunningViewer viewer;
    Kiv kiv("trace_lines");
    kiv.WritePicture(PatternPicture(200, 600));
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
    REQUIRE(HasStyle(child, WS_VSCROLL) && !HasStyle(child, WS_HSCROLL), "expected only a vertical bar");
    REQUIRE(WaitUntil([&] { return ViewerText(viewer.window).empty(); }, WAIT_TIMEOUT_MS), "viewer not emptied");

    const LONG before = FirstVisible(kiv, child).y;
    REQUIRE(Wheel(child, WHEEL_DOWN), "the wheel notification was not handled");
    CHECK(ViewerText(viewer.window) == "eax: 0", "viewer holds \"%s\" after one notch with only a vertical bar",
          ViewerText(viewer.window).c_str());
    CHECK(FirstVisible(kiv, child).y == before + 16, "the notch did not scroll one line down");
    Wheel(child, WHEEL_DOWN);
    CHECK(ViewerText(viewer.window) == "eax: 0\r\neax: 0", "viewer holds \"%s\" after two notches",
          ViewerText(viewer.window).c_str());

    // With both bars the value is 1.
    REQUIRE(SetClientSize(child, 150, 250), "cannot narrow the client area");
    REQUIRE(HasStyle(child, WS_VSCROLL | WS_HSCROLL), "expected both bars");
    Wheel(child, WHEEL_DOWN);
    CHECK(ViewerText(viewer.window) == "eax: 0\r\neax: 0\r\neax: 1", "viewer holds \"%s\" with both bars",
          ViewerText(viewer.window).c_str());

    // An emptied viewer gets the next line without a leading line break.
    SetViewerText(viewer.window, "");
    Wheel(child, 120);
    CHECK(ViewerText(viewer.window) == "eax: 1", "viewer holds \"%s\" after being emptied",
          ViewerText(viewer.window).c_str());
}

E2E_CASE(trace, no_line_without_a_vertical_bar) {
    UninstallViewer();
    CloseStrayViewers();
    RunningViewer viewer;
    Kiv kiv("trace_silent");
    kiv.WritePicture(PatternPicture(600, 100));
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
    REQUIRE(HasStyle(child, WS_HSCROLL) && !HasStyle(child, WS_VSCROLL), "expected only a horizontal bar");
    REQUIRE(WaitUntil([&] { return ViewerText(viewer.window).empty(); }, WAIT_TIMEOUT_MS), "viewer not emptied");
    // Plain wheel: nothing to scroll vertically, so nothing happens at all.
    Wheel(child, WHEEL_DOWN);
    CHECK(ViewerText(viewer.window).empty(), "plain wheel with no vertical bar wrote \"%s\"",
          ViewerText(viewer.window).c_str());
    // Ctrl + wheel scrolls horizontally, also without a trace line.
    MoveCursorToClient(child, 0, 0);
    const LONG before = FirstVisible(kiv, child).x;
    PressKeys({VK_CONTROL});
    Wheel(child, WHEEL_DOWN);
    ReleaseKeys({VK_CONTROL});
    CHECK(FirstVisible(kiv, child).x == before + 16, "Ctrl + wheel did not scroll one column step right");
    CHECK(ViewerText(viewer.window).empty(), "Ctrl + wheel wrote \"%s\"", ViewerText(viewer.window).c_str());
}

E2E_CASE(trace, absent_viewer_is_started_from_the_launch_path) {
    CloseStrayViewers();
    InstallViewer();
    Kiv kiv("trace_launch");
    kiv.WritePicture(PatternPicture(200, 600));
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
    CHECK(FindViewer() == nullptr, "starting kiv started the viewer");
    REQUIRE(Wheel(child, WHEEL_DOWN), "the wheel notification was not handled");
    HWND viewer = nullptr;
    CHECK(WaitUntil([&] { return (viewer = FindViewer()) != nullptr; }, WAIT_TIMEOUT_MS),
          "the viewer was not started from %s", ViewerInstallPath().c_str());
    if (viewer) {
        CHECK(ViewerText(viewer) == "eax: 0", "the started viewer holds \"%s\"", ViewerText(viewer).c_str());
        CloseViewer(viewer);
    }
    UninstallViewer();
}

E2E_CASE(trace, no_viewer_and_no_program_changes_nothing) {
    UninstallViewer();
    CloseStrayViewers();
    Kiv kiv("trace_absent");
    const Picture picture = PatternPicture(200, 600);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
    const LONG before = FirstVisible(kiv, child).y;
    for (int notch = 1; notch <= 3; ++notch) {
        CHECK(Wheel(child, WHEEL_DOWN), "wheel notification %d was not handled in time", notch);
    }
    const POINT after = FirstVisible(kiv, child);
    CHECK(after.y == before + 48, "three notches scrolled from row %ld to %ld", before, after.y);
    CHECK(FindViewer() == nullptr, "a viewer window appeared");
    ExpectView(child, {&picture, ZOOM_UNIT, after.x, after.y}, "after scrolling without a viewer");
}

}  // namespace e2e
