// The picture in a document window: placed pixel for pixel at 100 %, grey
// margins, repainted after being uncovered, the cursor readouts, a real JPEG.
#include <cstdlib>

#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {
namespace {

LRESULT CALLBACK CoverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A plain red window of the driver's own, put over part of the screen.
HWND Cover(int x, int y, int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = CoverWndProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
        windowClass.lpszClassName = L"KivE2ECover";
        RegisterClassW(&windowClass);
        registered = true;
    }
    HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"KivE2ECover", L"", WS_POPUP, x, y, width,
                                 height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    UpdateWindow(cover);
    return cover;
}

struct Readout {
    std::string scaled;
    std::string image;
};

Readout ReadoutAt(Kiv& kiv, HWND child, int x, int y) {
    MoveCursorToClient(child, x, y);
    RefreshReadouts(child);
    return {kiv.Status(1), kiv.Status(2)};
}

int Clamp(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

}  // namespace

E2E_CASE(picture, centred_pixel_for_pixel_with_grey_margins) {
    Kiv kiv("picture_centred");
    const Picture picture = PatternPicture(101, 75);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    const ViewExpectation view = {&picture, ZOOM_UNIT, 0, 0};
    ExpectView(child, view, "first window as opened");

    // The worked example: a 300 x 200 client puts the picture at (99, 62).
    REQUIRE(SetClientSize(child, 300, 200), "cannot give the window a 300x200 client area");
    ExpectView(child, view, "client 300x200");
    const struct {
        int x, y;
        uint32_t want;
    } probes[] = {{99, 62, picture.colour(0, 0)},     {98, 62, GREY_BACKGROUND},
                  {99, 61, GREY_BACKGROUND},          {199, 136, picture.colour(100, 74)},
                  {200, 136, GREY_BACKGROUND},        {199, 137, GREY_BACKGROUND},
                  {150, 62, picture.colour(51, 0)},   {99, 136, picture.colour(0, 74)}};
    for (const auto& probe : probes) {
        const uint32_t got = ScreenPixelAtClient(child, probe.x, probe.y);
        CHECK(got == probe.want, "client (%d,%d) shows %s, not %s", probe.x, probe.y, ColourText(got).c_str(),
              ColourText(probe.want).c_str());
    }

    // Odd margins give the extra pixel to the right and bottom.
    REQUIRE(SetClientSize(child, 252, 150), "cannot give the window a 252x150 client area");
    ExpectView(child, view, "client 252x150");
}

E2E_CASE(picture, uncovered_part_is_repainted) {
    Kiv kiv("picture_uncover");
    const Picture picture = PatternPicture(160, 120);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 320, 240), "cannot size the client area");
    const ViewExpectation view = {&picture, ZOOM_UNIT, 0, 0};
    ExpectView(child, view, "before covering");

    // Cover a band across picture and margin, then take the cover away.
    POINT origin = {40, 100};
    ClientToScreen(child, &origin);
    HWND cover = Cover(origin.x, origin.y, 200, 60);
    CHECK(WaitUntil([&] { return ScreenPixelAtClient(child, 60, 120) == 0xff0000; }, WAIT_TIMEOUT_MS),
          "the driver's cover window never showed");
    DestroyWindow(cover);
    ExpectView(child, view, "after uncovering");
}

E2E_CASE(picture, readouts_follow_the_cursor_and_clamp_over_the_margin) {
    Kiv kiv("picture_readouts");
    const Picture picture = PatternPicture(101, 75);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 200), "cannot give the window a 300x200 client area");
    const ViewExpectation view = {&picture, ZOOM_UNIT, 0, 0};
    ExpectView(child, view, "client 300x200");
    // Client points: inside the picture, on its edges, in every margin and corner.
    const int points[][2] = {{99, 62}, {109, 82}, {199, 136}, {150, 100}, {0, 0}, {5, 100}, {150, 10},
                             {299, 199}, {250, 70}, {150, 190}, {299, 0}, {0, 199}};
    for (const auto& p : points) {
        const Readout got = ReadoutAt(kiv, child, p[0], p[1]);
        const int x = Clamp(p[0] - 99, 0, 100), y = Clamp(p[1] - 62, 0, 74);
        const std::string want = Format("%d:%d", x, y);
        CHECK(got.scaled == want && got.image == want, "cursor at client (%d,%d): readouts \"%s\" and \"%s\", not %s",
              p[0], p[1], got.scaled.c_str(), got.image.c_str(), want.c_str());
    }
}

E2E_CASE(picture, real_jpeg_is_decoded) {
    Kiv kiv("picture_jpeg");
    const Picture picture = BlockPicture(96, 64);
    REQUIRE(WriteJpeg(kiv.PicturePath(), picture), "GDI+ could not write a JPEG");
    const std::vector<uint8_t> bytes = ReadBytes(kiv.PicturePath());
    REQUIRE(bytes.size() > 2 && bytes[0] == 0xff && bytes[1] == 0xd8, "the file written is not a JPEG");
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 200, 160), "cannot size the client area");
    const ViewExpectation view = {&picture, ZOOM_UNIT, 0, 0};
    const AxisLayout x = LayoutX(child, view), y = LayoutY(child, view);
    CHECK(x.dest == 52 && y.dest == 48, "a 96x64 picture in 200x160 starts at (%lld,%lld)", x.dest, y.dest);
    // JPEG coding moves colours slightly; compare the middle of every block.
    auto similar = [](uint32_t a, uint32_t b) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)) > 24)
                return false;
        return true;
    };
    std::string why;
    const bool shown = WaitUntil(
        [&] {
            const Capture capture = CaptureClient(child);
            if (capture.width != 200 || capture.height != 160) return false;
            for (int by = 8; by < 64; by += 16)
                for (int bx = 8; bx < 96; bx += 16) {
                    const uint32_t got = capture.At(static_cast<int>(x.dest) + bx, static_cast<int>(y.dest) + by);
                    if (!similar(got, picture.colour(bx, by))) {
                        why = Format("block at (%d,%d) shows %s, not about %s", bx, by, ColourText(got).c_str(),
                                     ColourText(picture.colour(bx, by)).c_str());
                        return false;
                    }
                }
            return capture.At(10, 10) == GREY_BACKGROUND;
        },
        WAIT_TIMEOUT_MS);
    CHECK(shown, "the decoded JPEG is not shown: %s", why.c_str());
}

}  // namespace e2e
