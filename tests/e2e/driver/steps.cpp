#include "steps.h"

#include "harness.h"
#include "screen.h"

namespace e2e {
namespace {

constexpr DWORD ESCAPE_TIMEOUT_MS = 2000;

}  // namespace

POINT FirstVisible(Kiv& kiv, HWND child) {
    MoveCursorToClient(child, 0, 0);
    RefreshReadouts(child);
    int64_t x = -1, y = -1;
    ParsePair(kiv.Status(1), &x, &y);
    return {static_cast<LONG>(x), static_cast<LONG>(y)};
}

void ZoomNotches(HWND child, int count, int delta, bool shift) {
    std::vector<WORD> keys = {VK_MENU};
    if (shift) keys.push_back(VK_SHIFT);
    PressKeys(keys);
    for (int i = 0; i < count; ++i) REQUIRE(Wheel(child, delta), "wheel notification not handled");
    ReleaseKeys(keys);
    LeaveMenuMode(child);
}

void ExpectStep(Kiv& kiv, HWND child, const Picture& picture, const ZoomStepModel& model, int cx, int cy,
                const std::string& context) {
    ExpectView(child, {&picture, model.zoom(), model.srcX(), model.srcY()}, context.c_str());
    const std::string zoomText = kiv.Status(0);
    CHECK(zoomText == ZoomText(model.zoom()), "%s: zoom readout \"%s\", not \"%s\"", context.c_str(),
          zoomText.c_str(), ZoomText(model.zoom()).c_str());
    RefreshReadouts(child);
    const int64_t ix = model.ImageAtX(cx), iy = model.ImageAtY(cy);
    const std::string scaled = Format("%lld:%lld", model.ScaledAtX(cx), model.ScaledAtY(cy));
    const std::string image = Format("%lld:%lld", ix, iy);
    const std::string colour = ColourReadout(picture.colour(static_cast<int>(ix), static_cast<int>(iy)));
    CHECK(kiv.Status(1) == scaled && kiv.Status(2) == image && kiv.Status(4) == colour,
          "%s: readouts \"%s\", \"%s\" and \"%s\", not %s, %s and %s", context.c_str(), kiv.Status(1).c_str(),
          kiv.Status(2).c_str(), kiv.Status(4).c_str(), scaled.c_str(), image.c_str(), colour.c_str());
}

std::string ColourReadout(uint32_t colour, int alpha) {
    const unsigned red = (colour >> 16) & 0xff, green = (colour >> 8) & 0xff, blue = colour & 0xff;
    std::string text = Format("#%02X%02X%02X  %u,%u,%u", red, green, blue, red, green, blue);
    if (alpha >= 0) text += Format("  a=%d", alpha);
    return text;
}

void LeaveMenuMode(HWND window) {
    for (int attempt = 0; attempt < 3 && InMenuMode(window); ++attempt) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof keys[0]);
        WaitUntil([&] { return !InMenuMode(window); }, ESCAPE_TIMEOUT_MS);  // a lost Escape is sent again
    }
}

}  // namespace e2e
