// A long session: 300 document windows opened and closed one after another,
// 300 pictures opened and closed again, 300 steps through a folder. None of
// it may let the program's memory grow, and every window paints its picture.
#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {
namespace {

constexpr int ROUNDS = 300;
constexpr int BASELINE_ROUND = 10;
constexpr size_t GROWTH_LIMIT = 4u << 20;

void ExpectFlat(size_t baseline, size_t final, const char* what) {
    Note("committed private memory after %d %s: %u KB, after %d: %u KB", BASELINE_ROUND, what,
         static_cast<unsigned>(baseline >> 10), ROUNDS, static_cast<unsigned>(final >> 10));
    CHECK(final < baseline + GROWTH_LIMIT, "private memory grew by %d KB from %d %s to %d",
          static_cast<int>((static_cast<long long>(final) - static_cast<long long>(baseline)) >> 10), BASELINE_ROUND,
          what, ROUNDS);
}

}  // namespace

E2E_CASE(endurance, three_hundred_windows_keep_memory_flat) {
    constexpr int WINDOWS = ROUNDS;
    constexpr int BASELINE_WINDOW = BASELINE_ROUND;
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

// Every open decodes the file again: no window holds its picture between
// one open and the next.
E2E_CASE(endurance, three_hundred_opens_and_closes_keep_memory_flat) {
    Kiv kiv("endurance_opens");
    const Picture picture = BlockPicture(320, 240);
    REQUIRE(WriteJpeg(kiv.PicturePath(), picture), "GDI+ could not write a JPEG");
    HWND first = kiv.Start();
    ViewExpectation view = {&picture, ZOOM_UNIT, 0, 0};
    view.tolerance = JPEG_TOLERANCE;
    ExpectView(first, view, "the first open");
    kiv.SendCommand(IDM_CLOSE);
    kiv.WaitChildCount(0);
    size_t baseline = 0;
    for (int round = 1; round <= ROUNDS; ++round) {
        kiv.SendCommand(IDM_NEW);
        HWND opened = kiv.WaitChildCount(1);
        REQUIRE(WaitUntil([&] { return kiv.Status(3) == "320 x 240   1/1"; }, WAIT_TIMEOUT_MS),
                "open %d: part 3 reads \"%s\"", round, kiv.Status(3).c_str());
        if (round % 100 == 0) ExpectView(opened, view, Format("open %d", round).c_str());
        kiv.SendCommand(IDM_CLOSE);
        kiv.WaitChildCount(0);
        if (round == BASELINE_ROUND) baseline = kiv.PrivateBytes();
    }
    ExpectFlat(baseline, kiv.PrivateBytes(), "opens");
}

// Steps through six formats of three sizes, turning back now and then, so
// that preloads are started, used and dropped.
E2E_CASE(endurance, three_hundred_steps_keep_memory_flat) {
    constexpr int TURN_EVERY = 7;
    Kiv kiv("endurance_steps");
    const std::string dir = kiv.Dir();
    struct Entry {
        const char* name;
        int width, height;
    };
    const Entry entries[] = {{"p1.bmp", 240, 180}, {"p2.png", 240, 180}, {"p3.gif", 200, 150},
                             {"p4.tif", 240, 180}, {"p5.ico", 64, 64},   {"p6.jpg", 200, 150}};
    constexpr int COUNT = static_cast<int>(sizeof entries / sizeof entries[0]);
    for (const Entry& e : entries) {
        const std::string path = dir + "\\" + e.name;
        const std::string format = path.substr(path.size() - 3);
        const Picture picture = format == "gif" || format == "jpg" ? BlockPicture(e.width, e.height)
                                                                   : PatternPicture(e.width, e.height);
        std::vector<uint8_t> bytes = format == "bmp"   ? EncodeBmp(picture)
                                     : format == "png" ? EncodePng(dir + "\\scratch.png", picture)
                                     : format == "gif" ? EncodeGif(picture)
                                     : format == "tif" ? EncodeTiff(picture)
                                     : format == "ico" ? EncodeIco(picture)
                                                       : EncodeJpeg(dir + "\\scratch.jpg", picture);
        REQUIRE(!bytes.empty() && WriteBytes(path, bytes), "cannot write %s", e.name);
    }
    kiv.Launch({L"p1.bmp"});
    kiv.WaitFrame();
    HWND child = kiv.WaitChildCount(1);
    int place = 0, direction = 1;
    size_t baseline = 0;
    for (int round = 1; round <= ROUNDS; ++round) {
        if (round % TURN_EVERY == 0) direction = -direction;
        kiv.SendCommand(direction > 0 ? IDM_NEXT : IDM_PREVIOUS);
        place = (place + direction + COUNT) % COUNT;
        const Entry& e = entries[place];
        const std::wstring title = Widen(e.name);
        const std::string part3 = Format("%d x %d   %d/%d", e.width, e.height, place + 1, COUNT);
        REQUIRE(WaitUntil([&] { return WindowTextW(child) == title && kiv.Status(3) == part3; }, WAIT_TIMEOUT_MS),
                "step %d: \"%s\" with part 3 \"%s\", expected %s with \"%s\"", round,
                Narrow(WindowTextW(child)).c_str(), kiv.Status(3).c_str(), e.name, part3.c_str());
        if (round == BASELINE_ROUND) baseline = kiv.PrivateBytes();
    }
    ExpectFlat(baseline, kiv.PrivateBytes(), "steps");
    // Still painting what it says: the first picture once more.
    while (place != 0) {
        kiv.SendCommand(IDM_PREVIOUS);
        --place;
    }
    const Picture first = PatternPicture(entries[0].width, entries[0].height);
    ExpectView(child, {&first, ZOOM_UNIT, 0, 0}, "p1.bmp after the steps");
}

}  // namespace e2e
