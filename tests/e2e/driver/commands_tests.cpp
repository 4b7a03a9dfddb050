// The keys and the 查看 menu: scrolling by line, page and corner, zoom steps
// about the centre, 100 % and fit, turning and mirroring, the clipboard,
// linked views, and what the keys do with nothing sensible to act on. Each key
// family is pressed as keys once (through the accelerator table); the rest
// goes to the frame as WM_COMMAND.
#include <cstdlib>
#include <cstring>

#include "harness.h"
#include "kiv.h"
#include "menu_bar.h"
#include "screen.h"
#include "steps.h"

namespace e2e {
namespace {

constexpr int VIEW_MENU_POSITION = 2;
constexpr int VIEW_MENU_ITEMS = 12;
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

// A 32-bit CF_DIB or CF_DIBV5 as a capture whose pixels keep their alpha in
// the top byte; empty for anything else.
Capture ClipboardDib(UINT format) {
    Capture bitmap;
    const std::vector<uint8_t> bytes = ClipboardBytes(format);
    BITMAPINFOHEADER header = {};
    if (bytes.size() >= sizeof header) std::memcpy(&header, bytes.data(), sizeof header);
    // Three colour masks follow a plain header with BI_BITFIELDS.
    const size_t offset = header.biSize + (header.biSize == sizeof header && header.biCompression == BI_BITFIELDS ? 12 : 0);
    const int width = header.biWidth, height = std::abs(header.biHeight);
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

// Compares a clipboard bitmap with the picture, and its alpha too if given;
// `only` picks the pixels compared.
void ExpectBitmap(const Capture& bitmap, const Picture& picture, const char* context,
                  const std::function<int(int, int)>& alpha = nullptr,
                  const std::function<bool(int, int)>& only = nullptr) {
    REQUIRE(bitmap.width == picture.width && bitmap.height == picture.height, "%s: a %dx%d bitmap, not %dx%d", context,
            bitmap.width, bitmap.height, picture.width, picture.height);
    int differences = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t got = bitmap.At(x, y) & (alpha ? 0xffffffff : 0xffffff);
            const uint32_t want = picture.colour(x, y) | (alpha ? static_cast<uint32_t>(alpha(x, y)) << 24 : 0);
            if ((!only || only(x, y)) && got != want && ++differences <= 3)
                Fail(__FILE__, __LINE__, "%s: pixel (%d,%d) is %08X, not %08X", context, x, y, got, want);
        }
    }
}

// One step of a case: what it does to the program, and what that does to the
// model of the window it acts on.
using Effect = std::function<void(ZoomStepModel&)>;
struct Step {
    std::function<void(Kiv&, HWND)> act;
    Effect effect;
    const char* name = "";
};

Step Key(WORD key, const std::vector<WORD>& held, Effect effect, const char* name) {
    return {[=](Kiv&, HWND) { TapKey(key, held); }, effect, name};
}
Step MenuCommand(int id, Effect effect, const char* name = "") {
    return {[=](Kiv& kiv, HWND) { kiv.SendCommand(id); }, effect, name};
}
Step Notch(int x, int y, bool in, bool shift) {
    return {[=](Kiv&, HWND child) {
                MoveCursorToClient(child, x, y);
                ZoomNotches(child, 1, in ? WHEEL_UP : WHEEL_DOWN, shift);
            },
            [=](ZoomStepModel& m) { m.Step(x, y, in, shift); }};
}
Effect ScrollBy(int64_t dx, int64_t dy) {
    return [=](ZoomStepModel& m) { m.ScrollBy(dx, dy); };
}
Step Bar(UINT message, int request, int64_t dx, int64_t dy) {
    return {[=](Kiv&, HWND child) { REQUIRE(Send(child, message, request, 0), "scroll request not handled"); },
            ScrollBy(dx, dy)};
}
// The keys zoom about the client centre, as the wheel does with the cursor there.
Effect CentreStep(bool in, bool shift) {
    return [=](ZoomStepModel& m) { m.Step(m.clientW() / 2, m.clientH() / 2, in, shift); };
}
Effect CentreZoomTo(int32_t zoom) {
    return [=](ZoomStepModel& m) { m.ZoomTo(m.clientW() / 2, m.clientH() / 2, zoom); };
}

// Takes the steps in the window, checking it against the model with the
// cursor at client (cx, cy) after each.
void RunSteps(Kiv& kiv, HWND child, const Picture& picture, ZoomStepModel& model, const std::vector<Step>& steps,
              int cx, int cy) {
    MoveCursorToClient(child, cx, cy);
    for (const Step& step : steps) {
        step.act(kiv, child);
        step.effect(model);
        ExpectStep(kiv, child, picture, model, cx, cy, step.name);
    }
}

}  // namespace

// The bars' requests first, each with the first visible column and row
// worked out by hand (a 300 x 200 client over 600 x 500: the bars end at 300
// and 300), then the keys, which must move as the bars do.
E2E_CASE(commands, scroll_keys_move_like_the_bars) {
    Kiv kiv("commands_scroll");
    const Picture picture = PatternPicture(600, 500);
    kiv.WritePicture(picture);
    HWND child = kiv.Start();
    REQUIRE(SetClientSize(child, 300, 200), "cannot size the client area");
    struct Request {
        UINT message;
        int code;
        LONG x, y;
    };
    const Request requests[] = {
        {WM_HSCROLL, SB_LINERIGHT, 16, 0},   {WM_HSCROLL, SB_LINERIGHT, 32, 0},
        {WM_HSCROLL, SB_LINELEFT, 16, 0},    {WM_HSCROLL, SB_PAGERIGHT, 300, 0},
        {WM_HSCROLL, SB_PAGERIGHT, 300, 0},  {WM_HSCROLL, SB_PAGELEFT, 4, 0},
        {WM_HSCROLL, SB_PAGELEFT, 0, 0},     {WM_HSCROLL, SB_LINELEFT, 0, 0},
        {WM_HSCROLL, SB_RIGHT, 300, 0},      {WM_HSCROLL, SB_ENDSCROLL, 300, 0},
        {WM_HSCROLL, SB_LEFT, 0, 0},         {WM_VSCROLL, SB_LINEDOWN, 0, 16},
        {WM_VSCROLL, SB_PAGEDOWN, 0, 212},   {WM_VSCROLL, SB_PAGEDOWN, 0, 300},
        {WM_VSCROLL, SB_LINEUP, 0, 284},     {WM_VSCROLL, SB_PAGEUP, 0, 88},
        {WM_VSCROLL, SB_TOP, 0, 0},          {WM_VSCROLL, SB_LINEUP, 0, 0},
        {WM_VSCROLL, SB_BOTTOM, 0, 300},     {WM_VSCROLL, SB_ENDSCROLL, 0, 300},
        {WM_VSCROLL, SB_THUMBPOSITION, 0, 300},
    };
    const char* names[] = {"LINEUP/LEFT", "LINEDOWN/RIGHT", "PAGEUP/LEFT", "PAGEDOWN/RIGHT",
                           "THUMBPOSITION", "THUMBTRACK", "TOP/LEFT", "BOTTOM/RIGHT", "ENDSCROLL"};
    for (const Request& request : requests) {
        const std::string context = Format("%s %s", request.message == WM_HSCROLL ? "WM_HSCROLL" : "WM_VSCROLL",
                                           names[request.code]);
        REQUIRE(Send(child, request.message, request.code, 0), "%s not handled", context.c_str());
        const POINT first = FirstVisible(kiv, child);
        CHECK(first.x == request.x && first.y == request.y, "%s: first visible %ld:%ld, not %ld:%ld",
              context.c_str(), first.x, first.y, request.x, request.y);
        ExpectView(child, {&picture, ZOOM_UNIT, request.x, request.y}, context.c_str());
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (GetScrollInfo(child, SB_VERT, &info)) {
        CHECK(info.nPos == 300 && info.nMax == 499 && info.nPage == 200,
              "GetScrollInfo from outside: pos %d, max %d, page %u", info.nPos, info.nMax, info.nPage);
    } else {
        Note("GetScrollInfo of another process's window fails here; positions were checked through the readouts");
    }

    REQUIRE(Send(child, WM_VSCROLL, SB_TOP, 0), "SB_TOP not handled");
    ZoomStepModel model(600, 500, 300, 200);
    const int64_t page = 200 - PAGE_OVERLAP, end = FAR_AWAY;
    RunSteps(kiv, child, picture, model,
             {Key(VK_RIGHT, {}, ScrollBy(LINE_STEP, 0), "Right"), Key(VK_DOWN, {}, ScrollBy(0, LINE_STEP), "Down"),
              Key(VK_NEXT, {}, ScrollBy(0, page), "PgDn"), Key(VK_LEFT, {}, ScrollBy(-LINE_STEP, 0), "Left"),
              Key(VK_END, {}, ScrollBy(end, end), "End"), Key(VK_PRIOR, {}, ScrollBy(0, -page), "PgUp"),
              Key(VK_UP, {}, ScrollBy(0, -LINE_STEP), "Up"), Key(VK_HOME, {}, ScrollBy(-end, -end), "Home"),
              MenuCommand(IDM_SCROLL_LEFT, ScrollBy(-LINE_STEP, 0), "Left at the left end"),
              MenuCommand(IDM_PAGE_UP, ScrollBy(0, -page), "PgUp at the top")},
             40, 30);
    // Without a horizontal bar Left and Right do nothing (where the wheel's
    // Ctrl would scroll vertically), and the corners move only vertically.
    REQUIRE(SetClientSize(child, 650, 200), "cannot widen the client area");
    model = ZoomStepModel(600, 500, 650, 200);
    RunSteps(kiv, child, picture, model,
             {MenuCommand(IDM_END, ScrollBy(end, end), "End, vertical bar only"),
              MenuCommand(IDM_SCROLL_RIGHT, ScrollBy(LINE_STEP, 0), "Right, vertical bar only")},
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
    RunSteps(kiv, child, picture, model,
             {Key(VK_OEM_PLUS, {}, CentreStep(true, false), "+"),
              Key(VK_ADD, {VK_CONTROL}, CentreStep(true, false), "Ctrl + keypad +"),
              Key(VK_OEM_PLUS, {VK_SHIFT}, CentreStep(true, true), "Shift + +"),
              Key(VK_SUBTRACT, {}, CentreStep(false, false), "keypad -"),
              Key(VK_OEM_MINUS, {VK_CONTROL}, CentreStep(false, false), "Ctrl + -"),
              Key(VK_SUBTRACT, {VK_SHIFT}, CentreStep(false, true), "Shift + keypad -"),
              MenuCommand(IDM_ZOOM_IN_PRESET, CentreStep(true, true), "preset in"),
              MenuCommand(IDM_ZOOM_IN, CentreStep(true, false), "in"),
              Key('0', {VK_CONTROL}, CentreZoomTo(ZOOM_UNIT), "Ctrl + 0"),
              MenuCommand(IDM_ZOOM_OUT_PRESET, CentreStep(false, true), "preset out"),
              MenuCommand(IDM_ZOOM_OUT, CentreStep(false, false), "out")},
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
    // Turning is not saved: a new window on the file shows it as it is on disk.
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
                  return _stricmp(Narrow(path).c_str(), kiv.PicturePath().c_str()) == 0;
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

    // Twenty mixed steps, led by each window in turn (an activation is no step).
    const int64_t end = FAR_AWAY;
    const Step activateSecond = {[&](Kiv&, HWND child) { Activate(kiv, child); }, nullptr};
    const std::pair<int, Step> steps[] = {
        {0, Notch(100, 80, true, false)}, {0, Notch(200, 150, true, true)},
        {1, Bar(WM_HSCROLL, SB_LINERIGHT, LINE_STEP, 0)}, {1, Bar(WM_VSCROLL, SB_PAGEDOWN, 0, 250 - PAGE_OVERLAP)},
        {0, MenuCommand(IDM_ZOOM_IN, CentreStep(true, false))}, {2, Bar(WM_HSCROLL, SB_PAGERIGHT, 260 - PAGE_OVERLAP, 0)},
        {1, Notch(50, 200, false, false)}, {1, activateSecond},
        {1, MenuCommand(IDM_PAGE_DOWN, ScrollBy(0, 250 - PAGE_OVERLAP))}, {1, MenuCommand(IDM_SCROLL_RIGHT, ScrollBy(LINE_STEP, 0))},
        {0, Notch(290, 10, true, false)}, {2, Notch(130, 150, true, false)},
        {1, MenuCommand(IDM_END, ScrollBy(end, end))}, {0, Bar(WM_VSCROLL, SB_LINEUP, 0, -LINE_STEP)},
        {1, MenuCommand(IDM_ZOOM_OUT_PRESET, CentreStep(false, true))}, {1, Notch(150, 125, true, true)},
        {0, Bar(WM_HSCROLL, SB_PAGELEFT, PAGE_OVERLAP - 300, 0)}, {1, MenuCommand(IDM_HOME, ScrollBy(-end, -end))},
        {2, Bar(WM_VSCROLL, SB_BOTTOM, 0, end)}, {0, Notch(10, 240, false, false)},
        {1, MenuCommand(IDM_ACTUAL_SIZE, CentreZoomTo(ZOOM_UNIT))},
    };
    int index = 0;
    for (const auto& [leader, step] : steps) {
        Window& w = windows[leader];
        step.act(kiv, w.child);
        if (!step.effect) continue;
        step.effect(w.model);
        follow(leader);
        const ZoomStepModel &first = windows[0].model, &second = windows[1].model;
        CHECK(first.zoom() == second.zoom() && first.srcX() == second.srcX() && first.srcY() == second.srcY(),
              "step %d: the model does not align the two same-size pictures", index + 1);
        expectAll(Format("linked step %d", ++index));
    }
    CHECK(index == 20 && kiv.Status(0) == "100%", "after %d steps the zoom readout is \"%s\"", index,
          kiv.Status(0).c_str());

    // Linking off: each window moves alone.
    TapKey('L', {VK_CONTROL});
    for (const auto& [alone, step] : {std::pair<int, Step>{0, Notch(100, 100, true, false)},
                                      std::pair<int, Step>{2, Bar(WM_VSCROLL, SB_PAGEDOWN, 0, 300 - PAGE_OVERLAP)}}) {
        step.act(kiv, windows[alone].child);
        step.effect(windows[alone].model);
    }
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
    // Out is refused at one pixel; then every command in order.
    auto everyCommand = [&] {
        for (int id : {IDM_ZOOM_OUT, IDM_ZOOM_OUT_PRESET}) kiv.SendCommand(id);
        for (int id = IDM_ZOOM_IN; id <= IDM_LINK_VIEWS; ++id) kiv.SendCommand(id);
        for (int id = IDM_SCROLL_LEFT; id <= IDM_END; ++id) kiv.SendCommand(id);
    };
    everyCommand();
    const std::pair<bool, bool> zooms[] = {{false, false}, {false, true}, {true, false},
                                           {false, false}, {true, true},  {false, true}};
    for (const auto& [in, shift] : zooms) model.Step(cx, cy, in, shift);
    model.ZoomTo(cx, cy, ZOOM_UNIT);
    model.ZoomTo(cx, cy, FitZoom(1, 1, client.cx, client.cy));
    for (Turn turn : {Turn::Clockwise, Turn::Anticlockwise, Turn::Mirror}) model.Turned(turn);
    MoveCursorToClient(child, cx, cy);
    ExpectStep(kiv, child, picture, model, cx, cy, "every command on a 1 x 1 picture");
    CHECK(kiv.FindMessageBox() == nullptr, "a command on a 1 x 1 picture showed a message");

    // No window: neither the commands nor their keys do anything, and the
    // program goes on (F10 afterwards shows the keys before it were handled).
    kiv.SendCommand(IDM_CLOSE);
    kiv.WaitChildCount(0);
    everyCommand();
    for (WORD key : {WORD('F'), WORD('R'), WORD(VK_ADD), WORD(VK_END), WORD(VK_F5)}) TapKey(key);
    TapKey('C', {VK_CONTROL});
    TapKey(VK_F10);
    CHECK(WaitUntil([&] { return InMenuMode(kiv.frame); }, WAIT_TIMEOUT_MS), "the frame did not take F10");
    LeaveMenuMode(kiv.frame);
    CHECK(kiv.Children().empty() && kiv.FindMessageBox() == nullptr,
          "without a window the keys opened %u windows or a message", static_cast<unsigned>(kiv.Children().size()));
}

}  // namespace e2e
