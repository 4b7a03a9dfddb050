// Many windows over a long session: 300 document windows opened and closed
// one after another must not let the program's memory grow, and every one of
// them paints its picture correctly.
#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {

E2E_CASE(endurance, three_hundred_windows_keep_memory_flat) {
    constexpr int WINDOWS = 300;
    constexpr int BASELINE_WINDOW = 10;
    constexpr size_t GROWTH_LIMIT = 4u << 20;
    Kiv kiv("endurance_windows");
    const Picture picture = PatternPicture(160, 120);
    kiv.WritePicture(picture);
    HWND first = kiv.Start();
    MoveChild(first, 0, 0);
    const ViewExpectation view = {&picture, ZOOM_UNIT, 0, 0};
    ExpectView(first, view, "first window");
    // GetProcessMemoryInfo reports no private bytes under Wine, so the measure
    // is the committed private regions of the process (heap blocks and DIB
    // sections both show there).
    size_t baseline = 0;
    int failedPaints = 0;
    for (int window = 1; window <= WINDOWS; ++window) {
        kiv.SendCommand(IDM_NEW);
        HWND opened = kiv.WaitChildCount(2);
        MoveChild(opened, 450, 0);
        if (failedPaints < 3 && !ExpectView(opened, view, Format("window %d", window).c_str())) ++failedPaints;
        kiv.SendCommand(IDM_CLOSE);
        kiv.WaitChildCount(1);
        if (window == BASELINE_WINDOW) baseline = kiv.PrivateBytes();
    }
    const size_t final = kiv.PrivateBytes();
    Note("committed private memory after window %d: %u KB, after window %d: %u KB", BASELINE_WINDOW,
         static_cast<unsigned>(baseline >> 10), WINDOWS, static_cast<unsigned>(final >> 10));
    CHECK(final < baseline + GROWTH_LIMIT, "private memory grew by %d KB from window %d to window %d",
          static_cast<int>((static_cast<long long>(final) - static_cast<long long>(baseline)) >> 10), BASELINE_WINDOW,
          WINDOWS);
    // The window kept open all along still paints from the newest surfaces.
    RedrawWindow(first, nullptr, nullptr, RDW_INVALIDATE);
    ExpectView(first, view, "first window after 300 others");
}

}  // namespace e2e
