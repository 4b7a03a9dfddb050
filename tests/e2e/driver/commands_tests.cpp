// The keys and the 查看 menu: scrolling by line, page and corner, zoom steps
// about the centre, 100 % and fit, turning and mirroring, the clipboard,
// linked views, and what the keys do with nothing sensible to act on. Each key
// family is pressed as keys once (through the accelerator table); the rest
// goes to the frame as WM_COMMAND.
#include <cstring>

#include "harness.h"
#include "kiv.h"
#include "menu_bar.h"
#include "screen.h"
#include "steps.h"

namespace e2e {
namespace {

constexpr int VIEW_MENU_POSITION = 2;
constexpr int VIEW_MENU_ITEMS = 9;
constexpr int64_t FAR_AWAY = 1 << 30;  // past either end of any bar

HWND ChildTitled(Kiv& kiv, const wchar_t* title) {
    for (HWND child : kiv.Children())
        if (WindowTextW(child) == title) return child;
    Abort(__FILE__, __LINE__, "no document window titled \"%s\"", Narrow(title).c_str());
}

void Activate(Kiv& kiv, HWND child) {
    Send(kiv.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    REQUIRE(WaitUntil([&] { return kiv.ActiveChild() == child; }, WAIT_TIMEOUT_MS), "cannot activate a window");
}

// A bitmap read from the clipboard, rows top-down, 0xAARRGGBB.
struct ClipboardBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

void EmptyTheClipboard() {
    REQUIRE(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, WAIT_TIMEOUT_MS), "cannot open the clipboard");
    EmptyClipboard();
    CloseClipboard();
}

// Waits until the program has put `format` on the clipboard, then copies it.
std::vector<uint8_t> ClipboardBytes(UINT format) {
    std::vector<uint8_t> bytes;
    WaitUntil(
        [&] {
            if (!IsClipboardFormatAvailable(format) || !OpenClipboard(nullptr)) return false;
            if (HANDLE data = GetClipboardData(format)) {
                const auto* start = static_cast<const uint8_t*>(GlobalLock(data));
                if (start) bytes.assign(start, start + GlobalSize(data));
                GlobalUnlock(data);
            }
            CloseClipboard();
            return !bytes.empty();
        },
        WAIT_TIMEOUT_MS);
    return bytes;
}

// A 32-bit CF_DIB or CF_DIBV5, or an empty bitmap for anything else.
ClipboardBitmap ClipboardDib(UINT format) {
    ClipboardBitmap bitmap;
    const std::vector<uint8_t> bytes = ClipboardBytes(format);
    if (bytes.size() < sizeof(BITMAPINFOHEADER)) return bitmap;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    // Three colour masks follow a plain header with BI_BITFIELDS.
    const size_t offset = header.biSize + (header.biSize == sizeof header && header.biCompression == BI_BITFIELDS ? 12 : 0);
    const int width = header.biWidth, height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    if (header.biBitCount != 32 || width <= 0 || offset + 4ull * width * height > bytes.size()) return bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const int stored = header.biHeight > 0 ? height - 1 - y : y;
        std::memcpy(&bitmap.pixels[static_cast<size_t>(y) * width], &bytes[offset + 4ull * stored * width], 4ull * width);
    }
    return bitmap;
}

// Compares the clipboard bitmap with the picture; `alpha` (if given) is
// compared too, and `only` limits the comparison to some pixels.
void ExpectBitmap(const ClipboardBitmap& bitmap, const Picture& picture, const char* context,
                  const std::function<int(int, int)>& alpha = nullptr,
                  const std::function<bool(int, int)>& only = nullptr) {
    REQUIRE(bitmap.width == picture.width && bitmap.height == picture.height, "%s: a %dx%d bitmap, not %dx%d", context,
            bitmap.width, bitmap.height, picture.width, picture.height);
    int differences = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (only && !only(x, y)) continue;
            const uint32_t got = bitmap.pixels[static_cast<size_t>(y) * picture.width + x];
            const uint32_t want = picture.colour(x, y) | (alpha ? static_cast<uint32_t>(alpha(x, y)) << 24 : 0);
            const uint32_t compared = alpha ? got : got & 0xffffff;
            if (compared != want && ++differences <= 3)
                Fail(__FILE__, __LINE__, "%s: pixel (%d,%d) is %08X, not %08X", context, x, y, got, want);
        }
    }
}

// A key or command that has the named effect on the active window's model.
struct KeyStep {
    WORD key;
    std::vector<WORD> held;
    int command;  // sent instead of the key when not 0
    std::function<void(ZoomStepModel&)> effect;
    const char* name;
};

void RunSteps(Kiv& kiv, HWND child, const Picture& picture, ZoomStepModel& model, const std::vector<KeyStep>& steps,
              int cx, int cy) {
    for (const KeyStep& step : steps) {
        if (step.command) kiv.SendCommand(step.command);
        else TapKey(step.key, step.held);
        step.effect(model);
        ExpectStep(kiv, child, picture, model, cx, cy, step.name);
    }
}

// What one step of the linked-views case does, to the program and to the
// model of the window it acts on.
enum Kind { WHEEL_IN, WHEEL_OUT, PRESET_IN, SCROLL, COMMAND, ACTIVATE };

void ScrollModel(ZoomStepModel& model, UINT message, int request) {
    const int64_t extent = message == WM_HSCROLL ? model.clientW() : model.clientH();
    int64_t by = 0;
    switch (request) {
        case SB_LINEUP: by = -LINE_STEP; break;
        case SB_LINEDOWN: by = LINE_STEP; break;
        case SB_PAGEUP: by = PAGE_OVERLAP - extent; break;
        case SB_PAGEDOWN: by = extent - PAGE_OVERLAP; break;
        case SB_TOP: by = -FAR_AWAY; break;
        case SB_BOTTOM: by = FAR_AWAY; break;
        default: Abort(__FILE__, __LINE__, "no model for scroll request %d", request);
    }
    model.ScrollBy(message == WM_HSCROLL ? by : 0, message == WM_VSCROLL ? by : 0);
}

void RunLinkedStep(Kiv& kiv, HWND child, ZoomStepModel& model, Kind kind, int a, int b) {
    const int cx = model.clientW() / 2, cy = model.clientH() / 2;
    switch (kind) {
        case WHEEL_IN:
        case WHEEL_OUT:
        case PRESET_IN:
            MoveCursorToClient(child, a, b);
            ZoomNotches(child, 1, kind == WHEEL_OUT ? WHEEL_DOWN : WHEEL_UP, kind == PRESET_IN);
            model.Step(a, b, kind != WHEEL_OUT, kind == PRESET_IN);
            return;
        case SCROLL:
            REQUIRE(Send(child, a, b, 0), "scroll request not handled");
            ScrollModel(model, a, b);
            return;
        case COMMAND: break;
        case ACTIVATE: return;
    }
    kiv.SendCommand(a);
    switch (a) {
        case IDM_ZOOM_IN: model.Step(cx, cy, true, false); break;
        case IDM_ZOOM_OUT_PRESET: model.Step(cx, cy, false, true); break;
        case IDM_ACTUAL_SIZE: model.ZoomTo(cx, cy, ZOOM_UNIT); break;
        case IDM_SCROLL_RIGHT: ScrollModel(model, WM_HSCROLL, SB_LINEDOWN); break;
        case IDM_PAGE_DOWN: ScrollModel(model, WM_VSCROLL, SB_PAGEDOWN); break;
        case IDM_HOME: model.ScrollBy(-FAR_AWAY, -FAR_AWAY); break;
        case IDM_END: model.ScrollBy(FAR_AWAY, FAR_AWAY); break;
        default: Abort(__FILE__, __LINE__, "no model for command %d", a);
    }
}

}  // namespace

E2E_CASE(commands, scroll_keys_move_like_the_bars) {
    Kiv kiv("commands_scroll");
    const Picture picture = PatternPicture(600, 500);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 200), "cannot size the client area");
    ZoomStepModel model(600, 500, 300, 200);
    MoveCursorToClient(child, 40, 30);
    const int64_t page = 200 - PAGE_OVERLAP;
    auto by = [](int64_t dx, int64_t dy) { return [=](ZoomStepModel& m) { m.ScrollBy(dx, dy); }; };
    RunSteps(kiv, child, picture, model,
             {{VK_RIGHT, {}, 0, by(LINE_STEP, 0), "Right"},
              {VK_DOWN, {}, 0, by(0, LINE_STEP), "Down"},
              {VK_NEXT, {}, 0, by(0, page), "PgDn"},
              {VK_LEFT, {}, 0, by(-LINE_STEP, 0), "Left"},
              {VK_END, {}, 0, by(FAR_AWAY, FAR_AWAY), "End"},
              {VK_PRIOR, {}, 0, by(0, -page), "PgUp"},
              {VK_UP, {}, 0, by(0, -LINE_STEP), "Up"},
              {VK_HOME, {}, 0, by(-FAR_AWAY, -FAR_AWAY), "Home"},
              {0, {}, IDM_SCROLL_LEFT, by(-LINE_STEP, 0), "Left at the left end"},
              {0, {}, IDM_PAGE_UP, by(0, -page), "PgUp at the top"}},
             40, 30);
    // Without a horizontal bar Left and Right do nothing (the wheel's Ctrl
    // would scroll vertically instead), and the corners move only vertically.
    REQUIRE(SetClientSize(child, 650, 200), "cannot widen the client area");
    model = ZoomStepModel(600, 500, 650, 200);
    RunSteps(kiv, child, picture, model,
             {{0, {}, IDM_END, by(FAR_AWAY, FAR_AWAY), "End with a vertical bar only"},
              {0, {}, IDM_SCROLL_RIGHT, by(LINE_STEP, 0), "Right with a vertical bar only"},
              {0, {}, IDM_SCROLL_LEFT, by(-LINE_STEP, 0), "Left with a vertical bar only"}},
             40, 30);
}

E2E_CASE(commands, zoom_keys_step_about_the_centre) {
    Kiv kiv("commands_zoom");
    const Picture picture = PatternPicture(600, 500);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 250), "cannot size the client area");
    // The model of Alt + wheel with the cursor at the centre; the real cursor
    // stays elsewhere, where the readouts are checked.
    ZoomStepModel model(600, 500, 300, 250);
    MoveCursorToClient(child, 40, 30);
    auto step = [](bool in, bool shift) { return [=](ZoomStepModel& m) { m.Step(150, 125, in, shift); }; };
    RunSteps(kiv, child, picture, model,
             {{VK_OEM_PLUS, {}, 0, step(true, false), "+"},
              {VK_ADD, {VK_CONTROL}, 0, step(true, false), "Ctrl + keypad +"},
              {VK_OEM_PLUS, {VK_SHIFT}, 0, step(true, true), "Shift + +"},
              {VK_SUBTRACT, {}, 0, step(false, false), "keypad -"},
              {VK_OEM_MINUS, {VK_CONTROL}, 0, step(false, false), "Ctrl + -"},
              {VK_SUBTRACT, {VK_SHIFT}, 0, step(false, true), "Shift + keypad -"},
              {0, {}, IDM_ZOOM_IN_PRESET, step(true, true), "preset in"},
              {0, {}, IDM_ZOOM_IN, step(true, false), "in"},
              {'0', {VK_CONTROL}, 0, [](ZoomStepModel& m) { m.ZoomTo(150, 125, ZOOM_UNIT); }, "Ctrl + 0"},
              {0, {}, IDM_ZOOM_OUT_PRESET, step(false, true), "preset out"},
              {0, {}, IDM_ZOOM_OUT, step(false, false), "out"}},
             40, 30);
    CHECK(MenuBarItemCount(kiv, VIEW_MENU_POSITION) == VIEW_MENU_ITEMS, "the 查看 menu does not have %d items",
          VIEW_MENU_ITEMS);
}

E2E_CASE(commands, fit_is_the_largest_zoom_without_bars) {
    Kiv kiv("commands_fit");
    const Picture large = PatternPicture(600, 500), small = PatternPicture(61, 47);
    kiv.WritePicture(large);
    REQUIRE(WriteBytes(kiv.Dir() + "\\small.bmp", EncodeBmp(small)), "cannot write the small picture");
    HWND smallChild = kiv.Start({L"ss6.jpg", L"small.bmp"});
    auto expectFit = [&](HWND child, const Picture& shown, const char* context) {
        const SIZE client = ClientSize(child);
        const int32_t zoom = FitZoom(shown.width, shown.height, client.cx, client.cy);
        ExpectView(child, {&shown, zoom, 0, 0}, context);
        CHECK(!HasStyle(child, WS_HSCROLL) && !HasStyle(child, WS_VSCROLL), "%s: scroll bars show", context);
        CHECK(kiv.Status(0) == ZoomText(zoom), "%s: zoom readout \"%s\", not \"%s\"", context, kiv.Status(0).c_str(),
              ZoomText(zoom).c_str());
    };
    // A small picture is enlarged, in single zoom units rather than to a preset.
    MoveCursorToClient(smallChild, 20, 20);
    TapKey('F');
    expectFit(smallChild, small, "F on 61 x 47");
    // A large one shrinks to the client area as it is without its bars.
    HWND largeChild = ChildTitled(kiv, L"ss6.jpg");
    Activate(kiv, largeChild);
    REQUIRE(SetClientSize(largeChild, 300, 250), "cannot size the client area");
    kiv.SendCommand(IDM_FIT);
    expectFit(largeChild, large, "fit on 600 x 500 with bars");
    // The fit of the picture as shown, after turning it.
    kiv.SendCommand(IDM_ROTATE_CLOCKWISE);
    kiv.SendCommand(IDM_FIT);
    const Picture turned = TurnedPicture(large, Turn::Clockwise);
    expectFit(largeChild, turned, "fit after turning");
}

E2E_CASE(commands, turning_turns_every_window_on_the_picture) {
    Kiv kiv("commands_turn");
    const Picture picture = PatternPicture(400, 300), other = PatternPicture(90, 70);
    kiv.WritePicture(picture);
    REQUIRE(WriteBytes(kiv.Dir() + "\\other.bmp", EncodeBmp(other)), "cannot write the other picture");
    kiv.Start({L"ss6.jpg", L"other.bmp"});
    HWND first = ChildTitled(kiv, L"ss6.jpg"), otherChild = ChildTitled(kiv, L"other.bmp");
    kiv.SendCommand(IDM_NEW);
    HWND second = kiv.WaitChildCount(3);
    MoveChild(first, 0, 0);
    MoveChild(second, 340, 0);
    MoveChild(otherChild, 0, 320);
    // Larger than the client both ways, turned or not.
    REQUIRE(SetClientSize(first, 280, 230) && SetClientSize(second, 280, 230), "cannot size the client areas");
    ZoomStepModel firstModel(400, 300, 280, 230), secondModel(400, 300, 280, 230);
    // The active window at 200 %, the other at 100 %.
    kiv.SendCommand(IDM_ZOOM_IN_PRESET);
    secondModel.Step(140, 115, true, true);
    const int cx = 77, cy = 201;
    MoveCursorToClient(second, cx, cy);
    ExpectStep(kiv, second, picture, secondModel, cx, cy, "200% before turning");

    Picture shown = picture;
    const struct {
        WORD key;
        int command;
        Turn turn;
        const char* name;
    } turns[] = {{'R', 0, Turn::Clockwise, "R"},
                 {'L', 0, Turn::Anticlockwise, "L"},
                 {'H', 0, Turn::Mirror, "H"},
                 {0, IDM_ROTATE_ANTICLOCKWISE, Turn::Anticlockwise, "turn anticlockwise after mirroring"},
                 {0, IDM_ROTATE_ANTICLOCKWISE, Turn::Anticlockwise, "and again"}};
    for (const auto& turn : turns) {
        if (turn.command) kiv.SendCommand(turn.command);
        else TapKey(turn.key);
        shown = TurnedPicture(shown, turn.turn);
        firstModel.Turned(turn.turn);
        secondModel.Turned(turn.turn);
        ExpectStep(kiv, second, shown, secondModel, cx, cy, turn.name);
        ExpectView(first, {&shown, firstModel.zoom(), firstModel.srcX(), firstModel.srcY()},
                   Format("%s, the other window on the picture", turn.name).c_str());
        const std::string size = Format("%d x %d   2/2", shown.width, shown.height);
        CHECK(kiv.Status(3) == size, "%s: part 3 reads \"%s\", not \"%s\"", turn.name, kiv.Status(3).c_str(),
              size.c_str());
    }
    ExpectView(otherChild, {&other, ZOOM_UNIT, 0, 0}, "the window on another picture");
    // The next step turns back to the file as it is: a new window shows it unturned.
    kiv.SendCommand(IDM_NEW);
    ExpectView(kiv.WaitChildCount(4), {&picture, ZOOM_UNIT, 0, 0}, "a new window on the turned file");
}

E2E_CASE(commands, clipboard_holds_the_picture_as_shown_and_its_path) {
    Kiv kiv("commands_clipboard");
    const Picture picture = PatternPicture(70, 40), translucent = PatternPicture(50, 30);
    auto alpha = [](int x, int y) { return x < 10 ? 255 : (x * 5 + y) & 0xff; };
    kiv.WritePicture(picture);
    REQUIRE(WriteBytes(kiv.Dir() + "\\alpha.png", EncodeRgbaPng(translucent, alpha)), "cannot write the PNG");
    HWND alphaChild = kiv.Start({L"ss6.jpg", L"alpha.png"});
    // A picture with alpha: its colours as decoded with their alpha, and the
    // plain bitmap of the same size beside it.
    EmptyTheClipboard();
    kiv.SendCommand(IDM_COPY_PICTURE);
    ExpectBitmap(ClipboardDib(CF_DIBV5), translucent, "CF_DIBV5 of a picture with alpha", alpha);
    ExpectBitmap(ClipboardDib(CF_DIB), translucent, "CF_DIB of a picture with alpha", nullptr,
                 [&](int x, int y) { return alpha(x, y) == 255; });
    MoveCursorToClient(alphaChild, ClientSize(alphaChild).cx / 2, ClientSize(alphaChild).cy / 2);
    RefreshReadouts(alphaChild);
    int64_t x = 0, y = 0;
    REQUIRE(ParsePair(kiv.Status(2), &x, &y), "part 2 reads \"%s\"", kiv.Status(2).c_str());
    const std::string colour = ColourReadout(translucent.colour(x, y), alpha(x, y));
    CHECK(kiv.Status(4) == colour, "part 4 reads \"%s\", not \"%s\"", kiv.Status(4).c_str(), colour.c_str());

    // The picture as shown after a turn, then the path, both by their keys.
    HWND child = ChildTitled(kiv, L"ss6.jpg");
    Activate(kiv, child);
    MoveCursorToClient(child, 10, 10);
    TapKey('R');
    const Picture turned = TurnedPicture(picture, Turn::Clockwise);
    ExpectView(child, {&turned, ZOOM_UNIT, 0, 0}, "turned");
    EmptyTheClipboard();
    TapKey('C', {VK_CONTROL});
    ExpectBitmap(ClipboardDib(CF_DIB), turned, "CF_DIB of the turned picture");
    TapKey('C', {VK_CONTROL, VK_SHIFT});
    std::wstring path;
    CHECK(WaitUntil(
              [&] {
                  const std::vector<uint8_t> bytes = ClipboardBytes(CF_UNICODETEXT);
                  path.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
                  path.resize(wcsnlen(path.c_str(), path.size()));
                  return _wcsicmp(path.c_str(), (std::wstring(kiv.Dir().begin(), kiv.Dir().end()) + L"\\ss6.jpg").c_str()) == 0;
              },
              WAIT_TIMEOUT_MS),
          "the clipboard holds the text \"%s\", not the path of ss6.jpg", Narrow(path).c_str());
}

E2E_CASE(commands, linked_views_follow_the_leader) {
    Kiv kiv("commands_linked");
    const Picture picture = PatternPicture(600, 500), twin = TintedPicture(picture, 0x33), tall = PatternPicture(300, 700);
    kiv.WritePicture(picture);
    REQUIRE(WriteBytes(kiv.Dir() + "\\twin.bmp", EncodeBmp(twin)) && WriteBytes(kiv.Dir() + "\\tall.bmp", EncodeBmp(tall)),
            "cannot write the pictures");
    kiv.Start({L"ss6.jpg", L"twin.bmp", L"tall.bmp"});
    struct Window {
        HWND child;
        const Picture* picture;
        ZoomStepModel model;
    };
    Window windows[] = {{ChildTitled(kiv, L"ss6.jpg"), &picture, ZoomStepModel(600, 500, 300, 250)},
                        {ChildTitled(kiv, L"twin.bmp"), &twin, ZoomStepModel(600, 500, 300, 250)},
                        {ChildTitled(kiv, L"tall.bmp"), &tall, ZoomStepModel(300, 700, 260, 300)}};
    for (int i = 0; i < 3; ++i) {
        MoveChild(windows[i].child, 340 * i, 0);
        REQUIRE(SetClientSize(windows[i].child, windows[i].model.clientW(), windows[i].model.clientH()),
                "cannot size client area %d", i);
    }
    auto expectAll = [&](const std::string& context) {
        for (const Window& w : windows)
            ExpectView(w.child, {w.picture, w.model.zoom(), w.model.srcX(), w.model.srcY()}, context.c_str());
    };
    auto follow = [&](int leader) {
        for (int i = 0; i < 3; ++i)
            if (i != leader) windows[i].model.Follow(windows[leader].model);
    };
    // Turning linking on puts every window where the active one is.
    Activate(kiv, windows[0].child);
    MoveCursorToClient(windows[0].child, 100, 80);
    TapKey('L', {VK_CONTROL});
    follow(0);
    expectAll("linking turned on");

    // Twenty mixed steps, led by each window in turn.
    const struct {
        int window;
        Kind kind;
        int a, b;  // cursor point, or scroll message and request, or command
    } steps[] = {
        {0, WHEEL_IN, 100, 80},          {0, PRESET_IN, 200, 150},        {1, SCROLL, WM_HSCROLL, SB_LINERIGHT},
        {1, SCROLL, WM_VSCROLL, SB_PAGEDOWN}, {0, COMMAND, IDM_ZOOM_IN, 0}, {2, SCROLL, WM_HSCROLL, SB_PAGERIGHT},
        {1, WHEEL_OUT, 50, 200},         {1, ACTIVATE, 0, 0},             {1, COMMAND, IDM_PAGE_DOWN, 0},
        {1, COMMAND, IDM_SCROLL_RIGHT, 0}, {0, WHEEL_IN, 290, 10},        {2, WHEEL_IN, 130, 150},
        {1, COMMAND, IDM_END, 0},        {0, SCROLL, WM_VSCROLL, SB_LINEUP}, {1, COMMAND, IDM_ZOOM_OUT_PRESET, 0},
        {1, PRESET_IN, 150, 125},        {0, SCROLL, WM_HSCROLL, SB_PAGELEFT}, {1, COMMAND, IDM_HOME, 0},
        {2, SCROLL, WM_VSCROLL, SB_BOTTOM}, {0, WHEEL_OUT, 10, 240},      {1, COMMAND, IDM_ACTUAL_SIZE, 0},
    };
    int index = 0;
    for (const auto& step : steps) {
        Window& w = windows[step.window];
        if (step.kind == ACTIVATE) {
            Activate(kiv, w.child);
            continue;
        }
        RunLinkedStep(kiv, w.child, w.model, step.kind, step.a, step.b);
        follow(step.window);
        expectAll(Format("linked step %d", ++index));
    }
    CHECK(kiv.Status(0) == "100%", "after the last step the zoom readout is \"%s\"", kiv.Status(0).c_str());

    // Linking off: each window moves alone.
    TapKey('L', {VK_CONTROL});
    RunLinkedStep(kiv, windows[0].child, windows[0].model, WHEEL_IN, 100, 100);
    RunLinkedStep(kiv, windows[2].child, windows[2].model, SCROLL, WM_VSCROLL, SB_PAGEDOWN);
    expectAll("linking turned off");
}

E2E_CASE(commands, harmless_on_one_pixel_and_without_a_window) {
    Kiv kiv("commands_harmless");
    const Picture picture = PatternPicture(1, 1);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    const SIZE client = ClientSize(child);
    const int cx = client.cx / 2, cy = client.cy / 2;
    ZoomStepModel model(1, 1, client.cx, client.cy);
    const int commands[] = {IDM_ZOOM_OUT,     IDM_ZOOM_OUT_PRESET, IDM_ZOOM_IN_PRESET,       IDM_ZOOM_IN,
                            IDM_ACTUAL_SIZE,  IDM_FIT,             IDM_ROTATE_CLOCKWISE,     IDM_ROTATE_ANTICLOCKWISE,
                            IDM_FLIP,         IDM_COPY_PICTURE,    IDM_COPY_PATH,            IDM_RELOAD,
                            IDM_SCROLL_LEFT,  IDM_SCROLL_RIGHT,    IDM_SCROLL_UP,            IDM_SCROLL_DOWN,
                            IDM_PAGE_UP,      IDM_PAGE_DOWN,       IDM_HOME,                 IDM_END,
                            IDM_LINK_VIEWS,   IDM_AUTO_RELOAD,     IDM_ZOOM_OUT,             IDM_LINK_VIEWS,
                            IDM_AUTO_RELOAD};
    for (int command : commands) kiv.SendCommand(command);
    model.Step(cx, cy, false, false);
    model.Step(cx, cy, false, true);
    model.Step(cx, cy, true, true);
    model.Step(cx, cy, true, false);
    model.ZoomTo(cx, cy, ZOOM_UNIT);
    model.ZoomTo(cx, cy, FitZoom(1, 1, client.cx, client.cy));
    for (Turn turn : {Turn::Clockwise, Turn::Anticlockwise, Turn::Mirror}) model.Turned(turn);
    model.Step(cx, cy, false, false);
    MoveCursorToClient(child, cx, cy);
    ExpectStep(kiv, child, picture, model, cx, cy, "every command on a 1 x 1 picture");
    CHECK(kiv.FindMessageBox() == nullptr, "a command on a 1 x 1 picture showed a message");

    // No window: neither the commands nor their keys do anything, and the
    // program goes on (F10 afterwards shows the keys before it were handled).
    kiv.SendCommand(IDM_CLOSE);
    kiv.WaitChildCount(0);
    for (int command : commands) kiv.SendCommand(command);
    for (WORD key : {WORD('F'), WORD('R'), WORD(VK_ADD), WORD(VK_END), WORD(VK_F5)}) TapKey(key);
    TapKey('C', {VK_CONTROL});
    TapKey(VK_F10);
    CHECK(WaitUntil([&] { return InMenuMode(kiv.frame); }, WAIT_TIMEOUT_MS), "the frame did not take F10");
    LeaveMenuMode(kiv.frame);
    CHECK(kiv.Children().empty() && kiv.FindMessageBox() == nullptr,
          "without a window the keys opened %u windows or a message", static_cast<unsigned>(kiv.Children().size()));
}

}  // namespace e2e
