#include "demo.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {
namespace {

constexpr int SAMPLE_WIDTH = 320;  // fits the first 400 x 400 window, so it shows centred
constexpr int SAMPLE_HEIGHT = 240;
constexpr int COLOUR_TOLERANCE = 40;  // JPEG coding moves colours a little

// A sky-to-sea gradient with a sun: smooth enough to survive JPEG coding.
Picture SamplePicture() {
    Picture picture;
    picture.width = SAMPLE_WIDTH;
    picture.height = SAMPLE_HEIGHT;
    picture.colour = [](int x, int y) -> uint32_t {
        const double dx = x - SAMPLE_WIDTH * 0.75, dy = y - SAMPLE_HEIGHT * 0.42;
        const double sun = std::sqrt(dx * dx + dy * dy);
        if (sun < 34) return 0xffd040;
        const double t = static_cast<double>(y) / SAMPLE_HEIGHT;
        if (y < SAMPLE_HEIGHT * 0.6) {
            const uint32_t red = static_cast<uint32_t>(40 + 200 * t);
            const uint32_t green = static_cast<uint32_t>(60 + 120 * t);
            return (red << 16) | (green << 8) | 200;
        }
        const uint32_t blue = static_cast<uint32_t>(220 - 120 * (t - 0.6));
        return (20u << 16) | (90u << 8) | blue;
    };
    return picture;
}

bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)) >
            COLOUR_TOLERANCE)
            return false;
    }
    return true;
}

// Samples the picture's middle and a point of each quarter.
bool ShowsSample(HWND child, const Picture& picture) {
    const ViewExpectation view = {&picture, ZOOM_UNIT, 0, 0};
    const AxisLayout x = LayoutX(child, view), y = LayoutY(child, view);
    const int points[][2] = {{SAMPLE_WIDTH / 2, SAMPLE_HEIGHT / 2}, {60, 60}, {SAMPLE_WIDTH - 60, 60},
                             {60, SAMPLE_HEIGHT - 40}, {SAMPLE_WIDTH - 60, SAMPLE_HEIGHT - 40}};
    const Capture shown = CaptureClient(child);
    for (const auto& p : points) {
        const int64_t cx = x.dest + p[0] - x.src, cy = y.dest + p[1] - y.src;
        if (cx < 0 || cy < 0 || cx >= shown.width || cy >= shown.height) continue;
        if (!Near(shown.At(static_cast<int>(cx), static_cast<int>(cy)), picture.colour(p[0], p[1]))) return false;
    }
    return shown.width > 0;
}

int Demo(const std::string& folder, const std::string& screenshotPath) {
    const Picture picture = SamplePicture();
    Settings().rootDir = folder.substr(0, folder.find_last_of('\\'));
    Kiv kiv(folder.substr(folder.find_last_of('\\') + 1));
    REQUIRE(WriteJpeg(kiv.PicturePath(), picture), "cannot write the sample picture");
    kiv.Launch();
    kiv.WaitFrame();
    if (screenshotPath.empty()) {
        kiv.ExpectExit();
        WaitForSingleObject(kiv.Process(), INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(kiv.Process(), &code);
        return static_cast<int>(code);
    }
    HWND child = kiv.WaitChildCount(1);
    REQUIRE(WaitUntil([&] { return ShowsSample(child, picture); }, WAIT_TIMEOUT_MS),
            "the first document window does not show the sample picture");
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const Capture screen = CaptureScreen(0, 0, width, height);
    REQUIRE(WritePngFromPixels(screenshotPath, width, height, screen.pixels), "cannot save %s",
            screenshotPath.c_str());
    kiv.PostCommand(IDM_EXIT);
    const DWORD code = kiv.WaitExit();
    REQUIRE(code == 0, "kiv ended with exit code %lu", code);
    return 0;
}

}  // namespace

int RunDemo(const std::string& folder, const std::string& screenshotPath) {
    try {
        return Demo(folder, screenshotPath);
    } catch (const CaseAborted&) {
        return 1;
    }
}

}  // namespace e2e
