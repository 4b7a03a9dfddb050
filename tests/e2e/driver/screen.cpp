#include "screen.h"

#include <cstdio>
#include <cstdlib>

#include "harness.h"
#include "kiv.h"

namespace e2e {
namespace {

constexpr UINT WHEEL_SEND_TIMEOUT_MS = 20000;
// Wine caches a thread's view of the async key state for up to 50 ms; the
// program reads the keys with GetAsyncKeyState, so it must not see a stale copy.
constexpr DWORD KEY_STATE_SETTLE_MS = 150;
constexpr int KEY_PRESS_ATTEMPTS = 5;
constexpr DWORD KEY_DOWN_TIMEOUT_MS = 2000;

void SendKey(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

bool KeyDown(WORD key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

// Whether the picture has one colour at (x, y) and all around it.
bool FlatAround(const Picture& picture, int64_t x, int64_t y) {
    const uint32_t centre = picture.colour(static_cast<int>(x), static_cast<int>(y));
    for (int64_t ny = y - 1; ny <= y + 1; ++ny) {
        for (int64_t nx = x - 1; nx <= x + 1; ++nx) {
            if (nx < 0 || ny < 0 || nx >= picture.width || ny >= picture.height) return false;
            if (picture.colour(static_cast<int>(nx), static_cast<int>(ny)) != centre) return false;
        }
    }
    return true;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)) > tolerance)
            return false;
    }
    return true;
}

}  // namespace

Capture CaptureScreen(int left, int top, int width, int height) {
    Capture capture;
    if (width <= 0 || height <= 0) return capture;
    capture.width = width;
    capture.height = height;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
    GdiFlush();
    const uint32_t* source = static_cast<const uint32_t*>(bits);
    capture.pixels.assign(source, source + static_cast<size_t>(width) * height);
    for (auto& pixel : capture.pixels) pixel &= 0xffffff;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return capture;
}

Capture CaptureClient(HWND window) {
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const SIZE size = ClientSize(window);
    return CaptureScreen(origin.x, origin.y, size.cx, size.cy);
}

uint32_t ScreenPixelAtClient(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    return CaptureScreen(p.x, p.y, 1, 1).At(0, 0);
}

std::string ColourText(uint32_t colour) {
    char text[32];
    std::snprintf(text, sizeof text, "(%u,%u,%u)", (colour >> 16) & 0xff, (colour >> 8) & 0xff,
                  colour & 0xff);
    return text;
}

AxisLayout LayoutX(HWND child, const ViewExpectation& expected) {
    const ScaleModel model(expected.picture->width, expected.picture->height, expected.zoom);
    return LayoutAxis(ClientSize(child).cx, model.scaledW(), expected.barX);
}

AxisLayout LayoutY(HWND child, const ViewExpectation& expected) {
    const ScaleModel model(expected.picture->width, expected.picture->height, expected.zoom);
    return LayoutAxis(ClientSize(child).cy, model.scaledH(), expected.barY);
}

namespace {

// The client area as it is and as the model says it should be, compared.
struct ViewComparison {
    Capture shown;
    std::vector<uint32_t> wanted;  // 0xRRGGBB, rows top-down, like shown
    int differences = 0;
    int marginDifferences = 0;
    std::string description;  // the layout and the first few differences
};

ViewComparison CompareView(HWND child, const ViewExpectation& expected) {
    const Picture& picture = *expected.picture;
    const ScaleModel model(picture.width, picture.height, expected.zoom);
    ViewComparison comparison;
    comparison.shown = CaptureClient(child);
    const Capture& shown = comparison.shown;
    const AxisLayout x = LayoutAxis(shown.width, model.scaledW(), expected.barX);
    const AxisLayout y = LayoutAxis(shown.height, model.scaledH(), expected.barY);
    // Which source column and row each client column and row shows, or -1 for margin.
    std::vector<int64_t> sourceColumn(shown.width, -1);
    std::vector<int64_t> sourceRow(shown.height, -1);
    for (int64_t c = x.dest; c < x.dest + x.vis && c < shown.width; ++c)
        sourceColumn[c] = model.ScaledToImage(c - x.dest + x.src);
    for (int64_t r = y.dest; r < y.dest + y.vis && r < shown.height; ++r)
        sourceRow[r] = model.ScaledToImage(r - y.dest + y.src);
    comparison.wanted.resize(shown.pixels.size());
    std::string report;
    for (int r = 0; r < shown.height; ++r) {
        for (int c = 0; c < shown.width; ++c) {
            const bool inPicture = sourceColumn[c] >= 0 && sourceRow[r] >= 0;
            const uint32_t want = inPicture ? picture.colour(static_cast<int>(sourceColumn[c]),
                                                             static_cast<int>(sourceRow[r]))
                                            : GREY_BACKGROUND;
            comparison.wanted[static_cast<size_t>(r) * shown.width + c] = want;
            const uint32_t got = shown.At(c, r);
            if (got == want) continue;
            if (inPicture && expected.tolerance > 0 &&
                ((!expected.everywhere && !FlatAround(picture, sourceColumn[c], sourceRow[r])) ||
                 Near(got, want, expected.tolerance)))
                continue;
            if (!inPicture) ++comparison.marginDifferences;
            if (++comparison.differences <= 4) {
                report += Format(" client (%d,%d): want %s%s, got %s;", c, r, ColourText(want).c_str(),
                                 inPicture ? Format(" = picture (%lld,%lld)", sourceColumn[c], sourceRow[r]).c_str()
                                           : " (margin)",
                                 ColourText(got).c_str());
            }
        }
    }
    if (comparison.differences > 0) {
        comparison.description =
            Format("client %dx%d, zoom %d, scaled %lldx%lld, dest (%lld,%lld), first visible (%lld,%lld): "
                   "%d of %d pixels differ, %d of them in the margin:",
                   shown.width, shown.height, expected.zoom, model.scaledW(), model.scaledH(), x.dest, y.dest, x.src,
                   y.src, comparison.differences, shown.width * shown.height, comparison.marginDifferences) +
            report;
    }
    return comparison;
}

}  // namespace

bool ViewShows(HWND child, const ViewExpectation& expected, std::string* why) {
    const ViewComparison comparison = CompareView(child, expected);
    if (comparison.differences && why) *why = comparison.description;
    return comparison.differences == 0 && comparison.shown.width > 0;
}

bool ExpectView(HWND child, const ViewExpectation& expected, const char* context) {
    if (WaitUntil([&] { return ViewShows(child, expected, nullptr); }, WAIT_TIMEOUT_MS, 40)) return true;
    // Once more, kept: the screen and the model's picture of it go next to
    // the suite's log, where the failure can be looked at.
    const ViewComparison comparison = CompareView(child, expected);
    std::string images = "no images written: the driver was given no place for them";
    const std::string prefix = FailureImagePrefix();
    if (!prefix.empty() && comparison.shown.width > 0) {
        const std::string actual = prefix + ".actual.png", wanted = prefix + ".expected.png";
        const bool written =
            WritePngFromPixels(actual, comparison.shown.width, comparison.shown.height, comparison.shown.pixels) &&
            WritePngFromPixels(wanted, comparison.shown.width, comparison.shown.height, comparison.wanted);
        images = written ? "shown in " + actual + ", expected in " + wanted : "the images could not be written";
    }
    Fail(__FILE__, __LINE__, "%s: the view does not show the picture as expected: %s (%s)", context,
         comparison.differences ? comparison.description.c_str() : "it matched only after the time-out",
         images.c_str());
    return false;
}

void MoveCursorToClient(HWND window, int x, int y) {
    POINT target = {x, y};
    ClientToScreen(window, &target);
    SetCursorPos(target.x, target.y);
    WaitUntil(
        [&] {
            POINT now;
            GetCursorPos(&now);
            return now.x == target.x && now.y == target.y;
        },
        WAIT_TIMEOUT_MS);
}

POINT CursorInClient(HWND window) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return p;
}

void PressKeys(const std::vector<WORD>& keys) {
    auto allDown = [&] {
        for (WORD key : keys)
            if (!KeyDown(key)) return false;
        return true;
    };
    // Wine may resync the key state from the X server (which never saw these
    // keys) after the pointer entered a window, releasing them again: press
    // until they stay down.
    for (int attempt = 0; attempt < KEY_PRESS_ATTEMPTS; ++attempt) {
        for (WORD key : keys)
            if (!KeyDown(key)) SendKey(key, false);
        const bool down = WaitUntil(allDown, KEY_DOWN_TIMEOUT_MS);
        Pause(KEY_STATE_SETTLE_MS);  // kiv's cached copy of the key state runs out
        if (down && allDown()) return;
    }
    Fail(__FILE__, __LINE__, "the keys could not be held down through SendInput");
}

void ReleaseKeys(const std::vector<WORD>& keys) {
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) SendKey(*key, true);
    WaitUntil(
        [&] {
            for (WORD key : keys)
                if (KeyDown(key)) return false;
            return true;
        },
        WAIT_TIMEOUT_MS);
    Pause(KEY_STATE_SETTLE_MS);  // kiv's cached copy of the key state runs out
}

void TapKey(WORD key, const std::vector<WORD>& held) {
    if (!held.empty()) PressKeys(held);
    SendKey(key, false);
    SendKey(key, true);
    if (!held.empty()) ReleaseKeys(held);
}

bool Wheel(HWND child, int delta) {
    POINT cursor;
    GetCursorPos(&cursor);
    const WPARAM wParam = static_cast<WPARAM>(static_cast<uint16_t>(static_cast<int16_t>(delta))) << 16;
    const LPARAM lParam = MAKELPARAM(cursor.x, cursor.y);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(child, WM_MOUSEWHEEL, wParam, lParam, SMTO_NORMAL, WHEEL_SEND_TIMEOUT_MS,
                               &answer) != 0;
}

bool RefreshReadouts(HWND child) {
    POINT p = CursorInClient(child);
    return Send(child, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
}

bool ParsePair(const std::string& text, int64_t* x, int64_t* y) {
    long long a = 0, b = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%lld:%lld%c", &a, &b, &extra) != 2) return false;
    *x = a;
    *y = b;
    return true;
}

bool InMenuMode(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return false;
    return (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0 ||
           info.hwndMenuOwner != nullptr;
}

}  // namespace e2e
