// Comparing two pictures: the reference and its title, the difference view's
// colours for each metric at every pixel (worked out here from the formulas
// of the 度量 menu), exposure and the tolerance mask, alignment and offsets,
// flicker (held and automatic), the wipe, the readouts, the 比较信息 window,
// offsets with linked views, and a reference that steps or closes.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwchar>

#include "harness.h"
#include "kiv.h"
#include "menu_bar.h"
#include "screen.h"
#include "steps.h"

namespace e2e {
namespace {

constexpr int COMPARE_MENU_POSITION = 3;
constexpr int COMPARE_MENU_ITEMS = 11;
constexpr uint32_t WIPE_LINE = 0x77d28e;  // the outline pen's green
constexpr uint32_t MASK_RED = 0xff0000;
constexpr WORD KEY_OPEN_BRACKET = VK_OEM_4;
constexpr WORD KEY_CLOSE_BRACKET = VK_OEM_6;
constexpr WORD FLICKER_KEY = 'X';
constexpr LPARAM KEY_REPEAT_FLAGS = (1 << 30) | 1;  // down before: a repeat
constexpr WPARAM FLICKER_TIMER = 2;                 // the window's timer of automatic flicker

enum class Metric { Absolute, Squared, RelativeAbsolute, RelativeSquared, Signed, Mask };
const wchar_t* const METRIC_NAMES[] = {L"绝对差", L"平方差", L"相对绝对差", L"相对平方差", L"有符号差", L"容差掩码"};
constexpr int METRIC_COUNT = 6;

int Channel(uint32_t colour, int channel) { return static_cast<int>(colour >> (16 - 8 * channel)) & 0xff; }
uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }

// Colours from the coordinates with every channel spread over 0 .. 255, and
// a neighbour of them that differs by small and large amounts both ways
// (and not at all on every seventh diagonal).
uint32_t Varied(int x, int y) {
    return Rgb((x * 37 + y * 11) & 0xff, (x * 5 + y * 29 + 80) & 0xff, ((x * 13) ^ (y * 7)) & 0xff);
}
uint32_t Nearby(int x, int y) {
    const uint32_t base = Varied(x, y);
    if ((x + 2 * y) % 7 == 0) return base;
    uint32_t channels[3];
    for (int c = 0; c < 3; ++c) {
        int d = (x * 7 + y * 13 + c * 17) % 41 - 20;
        if ((x * 3 + y) % 11 == 0) d *= 9;
        channels[c] = static_cast<uint32_t>(std::clamp(Channel(base, c) + d, 0, 255));
    }
    return Rgb(channels[0], channels[1], channels[2]);
}
Picture Made(int width, int height, uint32_t (*colour)(int, int)) { return {width, height, colour}; }

// One channel as the difference view shows it, min(1, value x 2^exposure)
// x 255 rounded half up, for value x 255 = numerator / denominator: worked
// out in integers, since halving makes exact halves.
uint32_t Shown(int64_t numerator, int64_t denominator, int exposure) {
    if (exposure >= 0) numerator <<= exposure;
    else denominator <<= -exposure;
    return static_cast<uint32_t>(std::min<int64_t>(255, (2 * numerator + denominator) / (2 * denominator)));
}

bool Differs(uint32_t a, uint32_t b, int tolerance) {
    for (int c = 0; c < 3; ++c)
        if (std::abs(Channel(a, c) - Channel(b, c)) > tolerance) return true;
    return false;
}

uint32_t DifferenceColour(Metric metric, uint32_t a, uint32_t b, int exposure, int tolerance) {
    if (metric == Metric::Mask) {
        if (Differs(a, b, tolerance)) return MASK_RED;
        const uint32_t grey = (299 * Channel(a, 0) + 587 * Channel(a, 1) + 114 * Channel(a, 2) + 500) / 1000;
        const uint32_t faded = 192 + grey / 4;
        return Rgb(faded, faded, faded);
    }
    // With d = a - b in 8-bit units: |d|/255; d^2/255^2; (|d|/255)/(b/255 + 0.01);
    // (d/255)^2/((b/255)^2 + 0.01); each x 255 as a fraction of integers.
    if (metric == Metric::Signed) {
        int64_t negative = 0, positive = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = Channel(a, c) - Channel(b, c);
            (d < 0 ? negative : positive) += std::abs(d);
        }
        return Rgb(Shown(negative, 3, exposure), Shown(positive, 3, exposure), 0);
    }
    uint32_t shown[3];
    for (int c = 0; c < 3; ++c) {
        const int64_t d = Channel(a, c) - Channel(b, c), vb = Channel(b, c);
        shown[c] = metric == Metric::Absolute           ? Shown(std::abs(d), 1, exposure)
                   : metric == Metric::Squared          ? Shown(d * d, 255, exposure)
                   : metric == Metric::RelativeAbsolute ? Shown(std::abs(d) * 25500, 100 * vb + 255, exposure)
                                                        : Shown(d * d * 1020, 4 * vb * vb + 2601, exposure);
    }
    return Rgb(shown[0], shown[1], shown[2]);
}

// A picture against the reference: reference pixel (x + dx, y + dy) lies
// under picture pixel (x, y).
struct Pair {
    Picture a, b;
    int dx = 0, dy = 0;
    bool Overlaps(int x, int y) const {
        return x + dx >= 0 && y + dy >= 0 && x + dx < b.width && y + dy < b.height;
    }
    uint32_t B(int x, int y) const { return b.colour(x + dx, y + dy); }
};

// What the window shows in its picture's place: the difference view, or the
// reference placed under the picture; the margin grey where only one has a pixel.
Picture DifferenceView(const Pair& pair, Metric metric, int exposure = 0, int tolerance = 0) {
    return {pair.a.width, pair.a.height, [=](int x, int y) {
                return pair.Overlaps(x, y) ? DifferenceColour(metric, pair.a.colour(x, y), pair.B(x, y), exposure, tolerance)
                                           : GREY_BACKGROUND;
            }};
}
Picture PlacedReference(const Pair& pair) {
    return {pair.a.width, pair.a.height, [=](int x, int y) { return pair.Overlaps(x, y) ? pair.B(x, y) : GREY_BACKGROUND; }};
}

std::wstring Signed(int value) { return (value < 0 ? L"-" : L"+") + std::to_wstring(std::abs(value)); }

std::wstring Grouped(uint64_t value) {
    std::wstring digits = std::to_wstring(value), text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += L',';
        text += digits[i];
    }
    return text;
}

// Part 3 of a difference view: the pixels of the overlap that differ beyond
// the tolerance, and their share in hundredths of a percent rounded half up.
std::wstring DifferingText(const Pair& pair, int tolerance) {
    uint64_t overlap = 0, differing = 0;
    for (int y = 0; y < pair.a.height; ++y)
        for (int x = 0; x < pair.a.width; ++x)
            if (pair.Overlaps(x, y)) {
                ++overlap;
                differing += Differs(pair.a.colour(x, y), pair.B(x, y), tolerance) ? 1 : 0;
            }
    if (differing == 0) return L"相同";
    const uint64_t hundredths = (differing * 20000 + overlap) / (2 * overlap);
    wchar_t text[32];
    std::swprintf(text, 32, L"%llu.%02llu%%", hundredths / 100, hundredths % 100);
    return L"差异 " + Grouped(differing) + L" (" + text + L")";
}

std::wstring DeltaText(uint32_t a, uint32_t b, int alphaDelta = 256) {
    std::wstring text = L"Δ " + Signed(Channel(a, 0) - Channel(b, 0)) + L"," + Signed(Channel(a, 1) - Channel(b, 1)) +
                        L"," + Signed(Channel(a, 2) - Channel(b, 2));
    if (alphaDelta != 256) text += L",a" + Signed(alphaDelta);
    return text;
}


struct InfoSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindInfoWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<InfoSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window) || ClassName(window) != "KivCompareInfo") return TRUE;
    search->found = window;
    return FALSE;
}

// The 比较信息 window of the program, when it shows.
HWND InfoWindow(Kiv& kiv) {
    InfoSearch search = {kiv.Pid(), nullptr};
    EnumWindows(FindInfoWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring FieldText(HWND field) {
    wchar_t text[8192] = {};
    Send(field, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// The number after "label\t" on a line of its own, or NaN.
double FigureAfter(const std::vector<std::wstring>& lines, const std::wstring& label) {
    for (const std::wstring& line : lines)
        if (line.rfind(label + L"\t", 0) == 0) return std::wcstod(line.c_str() + label.size() + 1, nullptr);
    return NAN;
}

std::wstring ClipboardText() {
    std::wstring text;
    WaitUntil(
        [&] {
            if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return false;
            if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
                GlobalUnlock(data);
            }
            CloseClipboard();
            return !text.empty();
        },
        WAIT_TIMEOUT_MS);
    return text;
}

void ClickAt(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        SendInput(1, &input, sizeof input);
    }
}

std::wstring Hex(int value) {
    wchar_t text[8];
    std::swprintf(text, 8, L"%02X", value);
    return text;
}

std::wstring Colour(uint32_t colour) {
    return std::to_wstring(Channel(colour, 0)) + L"," + std::to_wstring(Channel(colour, 1)) + L"," +
           std::to_wstring(Channel(colour, 2)) + L"\t" + Hex(Channel(colour, 0)) + L"," + Hex(Channel(colour, 1)) + L"," +
           Hex(Channel(colour, 2));
}

HWND Child(Kiv& kiv, const wchar_t* title) {
    HWND child = kiv.ChildTitled(title);
    REQUIRE(child != nullptr, "no document window titled \"%s\"", Narrow(title).c_str());
    return child;
}

bool ExpectStatus(Kiv& kiv, int part, const std::wstring& want, const std::string& context) {
    if (WaitUntil([&] { return kiv.StatusW(part) == want; }, WAIT_TIMEOUT_MS)) return true;
    Fail(__FILE__, __LINE__, "%s: part %d reads \"%s\", not \"%s\"", context.c_str(), part,
         Narrow(kiv.StatusW(part)).c_str(), Narrow(want).c_str());
    return false;
}

// Part 0 of a difference view at 100 %.
std::wstring ModeText(Metric metric, const std::wstring& factor, int tolerance, const std::wstring& offset = L"") {
    std::wstring text = L"100%  差异 " + std::wstring(METRIC_NAMES[static_cast<int>(metric)]);
    if (metric != Metric::Mask) text += L" ×" + factor;
    text += L"  容差 " + std::to_wstring(tolerance);
    if (!offset.empty()) text += L"  偏移 " + offset;
    return text;
}

void ExpectShows(HWND child, const Picture& shown, const std::string& context) {
    ExpectView(child, {&shown, ZOOM_UNIT, 0, 0}, context.c_str());
}

// The picture pixel under client point (cx, cy) of a window at 100 % whose
// picture fits, and the cursor put there with the readouts taken afresh.
POINT PointAt(HWND child, const Picture& picture, int cx, int cy) {
    const ZoomStepModel model(picture.width, picture.height, ClientSize(child).cx, ClientSize(child).cy);
    MoveCursorToClient(child, cx, cy);
    RefreshReadouts(child);
    return {static_cast<LONG>(model.ImageAtX(cx)), static_cast<LONG>(model.ImageAtY(cy))};
}

// Client point of picture pixel (x, y) at 100 %, the picture fitting.
POINT ClientOf(HWND child, const Picture& picture, int x, int y) {
    const ViewExpectation view = {&picture, ZOOM_UNIT, 0, 0};
    return {static_cast<LONG>(LayoutX(child, view).dest + x), static_cast<LONG>(LayoutY(child, view).dest + y)};
}

// kiv on a.bmp (64 x 48) and b.bmp (56 x 60), side by side, and any other
// files written before; b the reference (Ctrl+R), a active.
struct Session {
    Kiv kiv;
    Pair pair;
    HWND a = nullptr, b = nullptr;
    explicit Session(const char* name, int bWidth = 56, int bHeight = 60) : kiv(name), pair{Made(64, 48, Varied), Made(bWidth, bHeight, Nearby)} {}
    void Start(const std::vector<std::wstring>& others = {}) {
        REQUIRE(WriteBytes(kiv.Dir() + "\\a.bmp", EncodeBmp(pair.a)) && WriteBytes(kiv.Dir() + "\\b.bmp", EncodeBmp(pair.b)),
                "cannot write the pictures");
        std::vector<std::wstring> files = others;
        files.insert(files.begin(), L"b.bmp");
        files.push_back(L"a.bmp");
        kiv.Start(files);
        a = Child(kiv, L"a.bmp");
        b = Child(kiv, L"b.bmp");
        MoveChild(a, 0, 0);
        MoveChild(b, 420, 0);
        kiv.Activate(b);
        TapKey('R', {VK_CONTROL});
        REQUIRE(WaitUntil([&] { return WindowTextW(b) == L"b.bmp [参考]"; }, WAIT_TIMEOUT_MS),
                "the reference is titled \"%s\"", Narrow(WindowTextW(b)).c_str());
        kiv.Activate(a);
        MoveCursorToClient(a, 5, 5);
    }
};

}  // namespace

E2E_CASE(compare, reference_and_each_metric) {
    Session s("compare_metrics");
    s.Start();
    CHECK(MenuBarItemCount(s.kiv, COMPARE_MENU_POSITION) == COMPARE_MENU_ITEMS, "the 比较 menu does not have %d items",
          COMPARE_MENU_ITEMS);
    TapKey('D');
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Absolute), "D: absolute difference");
    ExpectStatus(s.kiv, 0, ModeText(Metric::Absolute, L"1", 0), "D");
    for (int metric = 1; metric < METRIC_COUNT; ++metric) {
        TapKey('M');
        const std::string name = Narrow(METRIC_NAMES[metric]);
        ExpectShows(s.a, DifferenceView(s.pair, static_cast<Metric>(metric)), "M: " + name);
        ExpectStatus(s.kiv, 0, ModeText(static_cast<Metric>(metric), L"1", 0), "M: " + name);
    }
    TapKey('M', {VK_SHIFT});
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Signed), "Shift+M back to the signed difference");

    // Exposure doubles and halves, from 2^-8 to 2^8.
    s.kiv.SendCommand(IDM_METRIC_ABSOLUTE);
    TapKey(KEY_CLOSE_BRACKET);
    TapKey(KEY_CLOSE_BRACKET);
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Absolute, 2), "] twice");
    ExpectStatus(s.kiv, 0, ModeText(Metric::Absolute, L"4", 0), "] twice");
    for (int i = 0; i < 3; ++i) TapKey(KEY_OPEN_BRACKET);
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Absolute, -1), "[ three times");
    ExpectStatus(s.kiv, 0, ModeText(Metric::Absolute, L"1/2", 0), "[ three times");
    s.kiv.SendCommand(IDM_METRIC_ABSOLUTE + static_cast<int>(Metric::Squared));
    for (int i = 0; i < 20; ++i) s.kiv.SendCommand(IDM_EXPOSURE_UP);
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Squared, 8), "squared difference at the highest exposure");
    ExpectStatus(s.kiv, 0, ModeText(Metric::Squared, L"256", 0), "the highest exposure");

    // The reference is no difference view of itself; choosing it again clears it.
    s.kiv.Activate(s.b);
    TapKey('D');
    s.kiv.Activate(s.a);
    s.kiv.Activate(s.b);
    ExpectShows(s.b, s.pair.b, "D on the reference");
    TapKey('R', {VK_CONTROL});
    CHECK(WaitUntil([&] { return WindowTextW(s.b) == L"b.bmp"; }, WAIT_TIMEOUT_MS), "the title is still \"%s\"",
          Narrow(WindowTextW(s.b)).c_str());
    ExpectShows(s.a, s.pair.a, "no reference");
}

E2E_CASE(compare, tolerance_mask_and_readouts) {
    Session s("compare_tolerance", 64, 48);
    const Picture alpha = Made(64, 48, Varied);
    auto alphaAt = [](int x, int y) { return static_cast<uint8_t>(x < 8 ? 255 : (x * 3 + y * 5) & 0xff); };
    REQUIRE(WriteBytes(s.kiv.Dir() + "\\alpha.png", EncodeRgbaPng(alpha, alphaAt)), "cannot write the PNG");
    s.Start({L"alpha.png"});
    TapKey('D');
    s.kiv.SendCommand(IDM_METRIC_TOLERANCE_MASK);
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Mask, 0, 0), "mask at tolerance 0");
    ExpectStatus(s.kiv, 3, DifferingText(s.pair, 0), "tolerance 0");
    // Ctrl+] and Ctrl+[ step 1, with Shift 16, within 0 .. 255.
    const struct {
        WORD key;
        std::vector<WORD> held;
        int tolerance;
    } steps[] = {{KEY_CLOSE_BRACKET, {VK_CONTROL}, 1},
                 {KEY_CLOSE_BRACKET, {VK_CONTROL, VK_SHIFT}, 17},
                 {KEY_OPEN_BRACKET, {VK_CONTROL}, 16},
                 {KEY_OPEN_BRACKET, {VK_CONTROL, VK_SHIFT}, 0},
                 {KEY_OPEN_BRACKET, {VK_CONTROL, VK_SHIFT}, 0}};
    for (const auto& step : steps) {
        TapKey(step.key, step.held);
        const std::string context = Format("tolerance %d", step.tolerance);
        ExpectStatus(s.kiv, 0, ModeText(Metric::Mask, L"", step.tolerance), context);
        ExpectShows(s.a, DifferenceView(s.pair, Metric::Mask, 0, step.tolerance), context);
        ExpectStatus(s.kiv, 3, DifferingText(s.pair, step.tolerance), context);
    }
    for (int i = 0; i < 17; ++i) s.kiv.SendCommand(IDM_TOLERANCE_UP_16);
    ExpectStatus(s.kiv, 3, L"相同", "tolerance 255");
    for (int i = 0; i < 17; ++i) s.kiv.SendCommand(IDM_TOLERANCE_DOWN_16);

    // Part 4: a - b under the cursor, in 8-bit units.
    const POINT p = PointAt(s.a, s.pair.a, 40, 30);
    ExpectStatus(s.kiv, 4, DeltaText(s.pair.a.colour(p.x, p.y), s.pair.B(p.x, p.y)), "Δ under the cursor");
    // Alpha counts as a fourth channel (the reference is opaque).
    HWND alphaChild = Child(s.kiv, L"alpha.png");
    MoveChild(alphaChild, 0, 420);
    s.kiv.Activate(alphaChild);
    TapKey('D');
    const POINT q = PointAt(alphaChild, alpha, 50, 20);
    ExpectStatus(s.kiv, 4, DeltaText(alpha.colour(q.x, q.y), s.pair.B(q.x, q.y), alphaAt(q.x, q.y) - 255),
                 "Δ of a picture with alpha");
}

E2E_CASE(compare, alignment_and_offsets) {
    Session s("compare_offsets");
    s.Start();
    TapKey('D');
    // Ctrl+arrows move the picture one pixel against the reference, with
    // Shift ten; the reference pixel under picture pixel (x, y) is then
    // (x - offset x, y - offset y).
    const struct {
        WORD key;
        std::vector<WORD> held;
        int x, y;
    } moves[] = {{VK_RIGHT, {VK_CONTROL}, 1, 0},
                 {VK_RIGHT, {VK_CONTROL}, 2, 0},
                 {VK_DOWN, {VK_CONTROL}, 2, 1},
                 {VK_LEFT, {VK_CONTROL, VK_SHIFT}, -8, 1},
                 {VK_UP, {VK_CONTROL, VK_SHIFT}, -8, -9}};
    for (const auto& move : moves) {
        TapKey(move.key, move.held);
        s.pair.dx = -move.x;
        s.pair.dy = -move.y;
        const std::string context = Format("offset %+d,%+d", move.x, move.y);
        ExpectStatus(s.kiv, 0, ModeText(Metric::Absolute, L"1", 0, Signed(move.x) + L"," + Signed(move.y)), context);
        ExpectShows(s.a, DifferenceView(s.pair, Metric::Absolute), context);
    }
    // Where the reference has no pixel, part 4 says so.
    const POINT corner = ClientOf(s.a, s.pair.a, 60, 2);
    const POINT outside = PointAt(s.a, s.pair.a, corner.x, corner.y);
    CHECK(!s.pair.Overlaps(outside.x, outside.y), "picture pixel %ld,%ld lies in the overlap", outside.x, outside.y);
    ExpectStatus(s.kiv, 4, L"无参考像素", "outside the overlap");

    // Centred: the centres meet (rounded down), the offset still counts.
    s.kiv.SendCommand(IDM_ALIGN_CENTRE);
    s.pair.dx = (56 - 64) / 2 + 8;
    s.pair.dy = (60 - 48) / 2 + 9;
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Absolute), "centred, offset -8,-9");
    TapKey(VK_HOME, {VK_CONTROL});
    s.pair.dx = (56 - 64) / 2;
    s.pair.dy = (60 - 48) / 2;
    ExpectStatus(s.kiv, 0, ModeText(Metric::Absolute, L"1", 0), "Ctrl+Home");
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Absolute), "centred, no offset");
    s.kiv.SendCommand(IDM_ALIGN_TOP_LEFT);
    s.pair.dx = s.pair.dy = 0;
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Absolute), "top-left again");
}

E2E_CASE(compare, flicker_held_and_automatic) {
    Session s("compare_flicker");
    s.Start();
    TapKey(VK_RIGHT, {VK_CONTROL});
    s.pair.dx = -1;
    const Picture placed = PlacedReference(s.pair), difference = DifferenceView(s.pair, Metric::Absolute);
    // Held down the reference shows in the picture's place; its repeats
    // change nothing; released the picture is back.
    PressKeys({FLICKER_KEY});
    ExpectShows(s.a, placed, "X held");
    for (int i = 0; i < 3; ++i) Send(s.a, WM_KEYDOWN, FLICKER_KEY, KEY_REPEAT_FLAGS);
    ExpectShows(s.a, placed, "X repeating");
    ReleaseKeys({FLICKER_KEY});
    ExpectShows(s.a, s.pair.a, "X released");
    // In a difference view the same, back to the difference view.
    TapKey('D');
    ExpectShows(s.a, difference, "D");
    PressKeys({FLICKER_KEY});
    ExpectShows(s.a, placed, "X held over the difference view");
    ReleaseKeys({FLICKER_KEY});
    ExpectShows(s.a, difference, "X released over the difference view");
    // The menu item shows the reference until it is chosen again.
    s.kiv.SendCommand(IDM_SHOW_REFERENCE);
    ExpectShows(s.a, placed, "显示参考图");
    s.kiv.SendCommand(IDM_SHOW_REFERENCE);
    ExpectShows(s.a, difference, "显示参考图 again");

    // B: the two take turns until B again.
    TapKey('B');
    ExpectShows(s.a, placed, "automatic flicker, the reference's turn");
    ExpectShows(s.a, difference, "automatic flicker, the picture's turn");
    ExpectStatus(s.kiv, 0, ModeText(Metric::Absolute, L"1", 0, L"+1,+0") + L"  自动闪烁", "automatic flicker");
    TapKey('B');
    ExpectShows(s.a, difference, "automatic flicker off");
    // A turn of the flicker's timer that was already on its way changes
    // nothing once it is off.
    REQUIRE(Send(s.a, WM_TIMER, FLICKER_TIMER, 0), "the window does not answer");
    UpdateWindow(s.a);  // any repaint it asked for, done before the screen is read
    std::string why;
    const ViewExpectation expected = {&difference, ZOOM_UNIT, 0, 0};
    CHECK(ViewShows(s.a, expected, &why), "automatic flicker went on after B: %s", why.c_str());
}

E2E_CASE(compare, wipe_under_the_cursor) {
    Session s("compare_wipe");
    s.Start();
    TapKey('D');
    TapKey('W');
    const Picture placed = PlacedReference(s.pair), difference = DifferenceView(s.pair, Metric::Absolute);
    for (int x : {20, 47}) {
        const POINT line = ClientOf(s.a, s.pair.a, x, 10);
        MoveCursorToClient(s.a, line.x, line.y);
        // Left of the line the reference, right of it the difference view;
        // the line runs down the whole client area.
        const ViewExpectation view = {&s.pair.a, ZOOM_UNIT, 0, 0};
        const AxisLayout across = LayoutX(s.a, view), down = LayoutY(s.a, view);
        std::string why;
        auto shows = [&] {
            const Capture shown = CaptureClient(s.a);
            for (int cy = 0; cy < shown.height; ++cy) {
                for (int cx = 0; cx < shown.width; ++cx) {
                    const int px = cx - static_cast<int>(across.dest), py = cy - static_cast<int>(down.dest);
                    const bool inPicture = px >= 0 && py >= 0 && px < 64 && py < 48;
                    const uint32_t want = cx == line.x   ? WIPE_LINE
                                          : !inPicture   ? GREY_BACKGROUND
                                          : cx < line.x  ? placed.colour(px, py)
                                                         : difference.colour(px, py);
                    if (shown.At(cx, cy) != want) {
                        why = Format("client %d,%d shows %s, not %s", cx, cy, ColourText(shown.At(cx, cy)).c_str(),
                                     ColourText(want).c_str());
                        return false;
                    }
                }
            }
            return true;
        };
        CHECK(WaitUntil(shows, WAIT_TIMEOUT_MS), "wipe at picture column %d: %s", x, why.c_str());
    }
    TapKey('W');
    ExpectShows(s.a, difference, "wipe off");
}

E2E_CASE(compare, compare_info_window) {
    Session s("compare_info");
    s.Start();
    s.kiv.SendCommand(IDM_COMPARE_INFO);
    HWND info = nullptr;
    REQUIRE(WaitUntil([&] { return (info = InfoWindow(s.kiv)) != nullptr; }, WAIT_TIMEOUT_MS), "Ctrl+I shows no window");
    CHECK(WindowTextW(info) == L"比较信息" && GetWindow(info, GW_OWNER) == s.kiv.frame,
          "the window is titled \"%s\" and not owned by the frame", Narrow(WindowTextW(info)).c_str());
    HWND field = FindWindowExW(info, nullptr, L"Edit", nullptr);
    REQUIRE(field != nullptr, "the 比较信息 window has no text field");

    // Whole-overlap figures, worked out here: e = (a - b) / 255 per channel.
    const Pair& p = s.pair;
    int lowest[3] = {255, 255, 255}, highest[3] = {-255, -255, -255};
    double sums[3] = {}, absolute = 0, squared = 0, peak = 0;
    int pixels = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 56; ++x, ++pixels)
            for (int c = 0; c < 3; ++c) {
                const int d = Channel(p.a.colour(x, y), c) - Channel(p.B(x, y), c);
                lowest[c] = std::min(lowest[c], d);
                highest[c] = std::max(highest[c], d);
                sums[c] += d;
                absolute += std::abs(d) / 255.0;
                squared += d * d / (255.0 * 255.0);
                peak = std::max(peak, std::abs(d) / 255.0);
            }
    const double mse = squared / (3.0 * pixels);
    const std::pair<const wchar_t*, double> figures[] = {{L"MAE", absolute / (3.0 * pixels)},
                                                         {L"RMSE", std::sqrt(mse)},
                                                         {L"PSNR", 10 * std::log10(1 / mse)},
                                                         {L"PAE", peak}};

    const POINT at = PointAt(s.a, p.a, 60, 40);
    const uint32_t a = p.a.colour(at.x, at.y), b = p.B(at.x, at.y);
    std::vector<std::wstring> want = {
        L"本图 a\ta.bmp\t64 x 48",
        L"参考 b\tb.bmp\t56 x 60",
        L"对齐\t左上，偏移 +0,+0",
        L"重叠\t56 x 48，a (0,0) = b (0,0)",
        L"光标 (" + std::to_wstring(at.x) + L"," + std::to_wstring(at.y) + L")\tR,G,B\t十六进制",
        L"  a\t" + Colour(a),
        L"  b\t" + Colour(b),
        L"整个重叠区域 2,688 像素",
        L"差异像素（容差 0）\t" + DifferingText(p, 0)};
    std::wstring delta = L"  a-b\t", deltaHex;
    for (int c = 0; c < 3; ++c) {
        const int d = Channel(a, c) - Channel(b, c);
        delta += (c ? L"," : L"") + Signed(d);
        deltaHex += (c ? L"," : L"") + std::wstring(d < 0 ? L"-" : L"+") + Hex(std::abs(d));
        wchar_t mean[32];
        std::swprintf(mean, 32, L"%+.4f", sums[c] / pixels);
        want.push_back(std::wstring(L"  ") + L"RGB"[c] + L"\t" + Signed(lowest[c]) + L"\t" + Signed(highest[c]) + L"\t" +
                       mean);
    }
    want.push_back(delta + L"\t" + deltaHex);
    std::vector<std::wstring> lines;
    auto complete = [&] {
        lines = Lines(FieldText(field));
        for (const std::wstring& line : want)
            if (std::find(lines.begin(), lines.end(), line) == lines.end()) return false;
        return true;
    };
    if (!WaitUntil(complete, WAIT_TIMEOUT_MS)) {
        for (const std::wstring& line : want)
            CHECK(std::find(lines.begin(), lines.end(), line) != lines.end(), "the report has no line \"%s\"",
                  Narrow(line).c_str());
    }
    for (const auto& [label, value] : figures) {
        const double shown = FigureAfter(lines, label);
        CHECK(std::abs(shown - value) <= 1e-5 * std::abs(value), "%s reads %.9g, not %.9g", Narrow(label).c_str(), shown,
              value);
    }

    // Ctrl+C copies everything when nothing is selected; Escape closes.
    REQUIRE(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, WAIT_TIMEOUT_MS), "cannot open the clipboard");
    EmptyClipboard();
    CloseClipboard();
    const SIZE fieldSize = ClientSize(field);
    ClickAt(field, fieldSize.cx / 2, fieldSize.cy - 4);
    CHECK(WaitUntil([&] { return GetForegroundWindow() == info; }, WAIT_TIMEOUT_MS), "a click does not reach the window");
    TapKey('C', {VK_CONTROL});
    const std::wstring copied = ClipboardText();
    CHECK(copied == FieldText(field), "the clipboard holds \"%s\"", Narrow(copied).c_str());
    TapKey(VK_ESCAPE);
    CHECK(WaitUntil([&] { return InfoWindow(s.kiv) == nullptr; }, WAIT_TIMEOUT_MS), "Escape leaves the window open");

    // Open again, it follows the active window.
    s.kiv.SendCommand(IDM_COMPARE_INFO);
    REQUIRE(WaitUntil([&] { return (info = InfoWindow(s.kiv)) != nullptr; }, WAIT_TIMEOUT_MS), "no window the second time");
    field = FindWindowExW(info, nullptr, L"Edit", nullptr);
    s.kiv.Activate(s.b);
    CHECK(WaitUntil([&] { return FieldText(field) == L"这是参考图：激活另一个窗口来和它比较。"; }, WAIT_TIMEOUT_MS),
          "with the reference active the report reads \"%s\"", Narrow(FieldText(field)).c_str());
}

E2E_CASE(compare, offsets_keep_linked_views_together) {
    Kiv kiv("compare_linked");
    Pair pair = {Made(400, 300, Varied), Made(400, 300, Nearby)};
    REQUIRE(WriteBytes(kiv.Dir() + "\\a.bmp", EncodeBmp(pair.a)) && WriteBytes(kiv.Dir() + "\\b.bmp", EncodeBmp(pair.b)),
            "cannot write the pictures");
    kiv.Start({L"b.bmp", L"a.bmp"});
    HWND a = Child(kiv, L"a.bmp"), b = Child(kiv, L"b.bmp");
    MoveChild(a, 0, 0);
    MoveChild(b, 420, 0);
    REQUIRE(SetClientSize(a, 200, 150) && SetClientSize(b, 200, 150), "cannot size the client areas");
    ZoomStepModel modelA(400, 300, 200, 150), modelB(400, 300, 200, 150);
    kiv.Activate(b);
    TapKey('R', {VK_CONTROL});
    kiv.Activate(a);
    // a moved 3 right and 2 up against the reference: reference pixel
    // (x - 3, y + 2) lies under its pixel (x, y), and linked views keep it so.
    for (int i = 0; i < 3; ++i) TapKey(VK_RIGHT, {VK_CONTROL});
    for (int i = 0; i < 2; ++i) TapKey(VK_UP, {VK_CONTROL});
    pair.dx = -3;
    pair.dy = 2;
    TapKey('D');
    const Picture difference = DifferenceView(pair, Metric::Absolute);
    auto expectBoth = [&](const std::string& context) {
        ExpectView(a, {&difference, modelA.zoom(), modelA.srcX(), modelA.srcY()}, context.c_str());
        ExpectView(b, {&pair.b, modelB.zoom(), modelB.srcX(), modelB.srcY()}, context.c_str());
    };
    TapKey('L', {VK_CONTROL});
    modelB.Follow(modelA, pair.dx, pair.dy);
    expectBoth("linking turned on");
    const int32_t page = 200 - PAGE_OVERLAP;
    Send(a, WM_HSCROLL, SB_PAGERIGHT, 0);
    modelA.ScrollBy(page, 0);
    modelB.Follow(modelA, pair.dx, pair.dy);
    expectBoth("a scrolled a page right");
    MoveCursorToClient(a, 60, 50);
    ZoomNotches(a, 1, WHEEL_UP, false);
    modelA.Step(60, 50, true, false);
    modelB.Follow(modelA, pair.dx, pair.dy);
    expectBoth("a zoomed in");
    Send(b, WM_VSCROLL, SB_LINEDOWN, 0);
    modelB.ScrollBy(0, LINE_STEP);
    modelA.Follow(modelB, -pair.dx, -pair.dy);
    expectBoth("the reference scrolled a line down");
    Send(b, WM_HSCROLL, SB_LEFT, 0);
    modelB.ScrollBy(-(1 << 30), 0);
    modelA.Follow(modelB, -pair.dx, -pair.dy);
    expectBoth("the reference scrolled to the left end");
}

E2E_CASE(compare, the_reference_steps_and_closes) {
    Session s("compare_reference");
    const Picture other = Made(64, 48, [](int x, int y) { return Nearby(y, x); });
    REQUIRE(WriteBytes(s.kiv.Dir() + "\\c.bmp", EncodeBmp(other)), "cannot write c.bmp");
    s.Start();
    TapKey('D');
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Absolute), "against b.bmp");
    // The reference steps to the next picture of its folder: every
    // difference view follows at once.
    s.kiv.Activate(s.b);
    TapKey(VK_SPACE);
    CHECK(WaitUntil([&] { return WindowTextW(s.b) == L"c.bmp [参考]"; }, WAIT_TIMEOUT_MS),
          "after a step the reference is titled \"%s\"", Narrow(WindowTextW(s.b)).c_str());
    s.pair.b = other;
    ExpectShows(s.a, DifferenceView(s.pair, Metric::Absolute), "against c.bmp");
    // Closed, it leaves the pictures as they are.
    s.kiv.SendCommand(IDM_CLOSE);
    s.kiv.WaitChildCount(1);
    ExpectShows(s.a, s.pair.a, "the reference closed");
    ExpectStatus(s.kiv, 0, L"100%", "the reference closed");
    ExpectStatus(s.kiv, 3, L"64 x 48   1/3", "the reference closed");
}

// Only the 32-bit build runs out of address space: pictures of almost half a
// gigabyte are opened until one is refused; a difference view then finds no
// room for its surface, says so and changes nothing, and has it once windows
// are closed. In the memory suite, which ctest shows skipped against x64.
E2E_CASE(memory, no_room_for_a_difference_view_is_told) {
    if (!Is32BitBuild()) Skip("kiv.exe is not a 32-bit program: its address space does not run out");
    constexpr int SIDE = 11000;  // 484 MB of pixels each
    constexpr int MOST_FILES = 12;
    constexpr DWORD DECODE_TIMEOUT_MS = 120000;
    Kiv kiv("compare_memory");
    const std::vector<uint8_t> png = EncodeBilevelPng(SIDE, SIDE, [](int x, int) { return x % 2 == 0; }, SIDE);
    for (int i = 1; i <= MOST_FILES; ++i)
        REQUIRE(WriteBytes(kiv.Dir() + Format("\\big%02d.png", i), png), "cannot write picture %d", i);
    const std::string size = Format("%d x %d", SIDE, SIDE);
    // Each file opens in a window of its own, or is refused with a message.
    auto open = [&](int i) -> bool {
        const std::wstring title = Widen(Format("big%02d.png", i));
        REQUIRE(WaitUntil(
                    [&] {
                        HWND active = kiv.ActiveChild();
                        return kiv.FindMessageBox() ||
                               (active && WindowTextW(active) == title && kiv.Status(3).rfind(size, 0) == 0);
                    },
                    DECODE_TIMEOUT_MS),
                "picture %d neither opened nor was refused", i);
        if (!kiv.FindMessageBox()) return true;
        kiv.AnswerMessageBox(kiv.WaitMessageBox(false));
        return false;
    };
    kiv.Launch({L"big01.png"});
    kiv.WaitFrame();
    REQUIRE(open(1), "the first picture did not open");
    kiv.SendCommand(IDM_SET_REFERENCE);
    int shown = 1;
    for (int i = 2; i <= MOST_FILES; ++i) {
        kiv.Drop(kiv.frame, {kiv.Dir() + Format("\\big%02d.png", i)});
        if (!open(i)) break;
        ++shown;
    }
    REQUIRE(shown >= 3 && shown < MOST_FILES, "%d pictures shown before one was refused", shown);

    // Difference views one window after another, until one finds no room.
    HWND compared = nullptr;
    int refusedAt = 0;
    for (int i = 2; i <= shown && compared == nullptr; ++i) {
        HWND child = Child(kiv, Widen(Format("big%02d.png", i)).c_str());
        kiv.Activate(child);
        TapKey('D');
        REQUIRE(WaitUntil([&] { return kiv.FindMessageBox() || kiv.StatusW(3) == L"相同"; }, DECODE_TIMEOUT_MS),
                "D on picture %d neither showed the difference view nor a message", i);
        if (kiv.FindMessageBox()) {
            compared = child;
            refusedAt = i;
        }
    }
    REQUIRE(compared != nullptr, "every one of %d difference views found room", shown - 1);
    const MessageBoxSeen seen = kiv.WaitMessageBox(false);
    CHECK(seen.text == L"内存不足，无法显示差异视图。" && seen.okButton, "D without room says \"%s\"",
          Narrow(seen.text).c_str());
    kiv.AnswerMessageBox(seen);
    ExpectStatus(kiv, 0, L"100%", "no room for the difference view");
    ExpectStatus(kiv, 3, Widen(Format("%d x %d   %d/%d", SIDE, SIDE, refusedAt, MOST_FILES)),
                 "no room for the difference view");

    // Closing the other windows makes room.
    size_t left = static_cast<size_t>(shown);
    for (int i = 2; i <= shown; ++i) {
        if (i == refusedAt) continue;
        kiv.Activate(Child(kiv, Widen(Format("big%02d.png", i)).c_str()));
        kiv.SendCommand(IDM_CLOSE);
        kiv.WaitChildCount(--left);
    }
    kiv.Activate(compared);
    TapKey('D');
    ExpectStatus(kiv, 0, L"100%  差异 绝对差 ×1  容差 0", "room made");
    ExpectStatus(kiv, 3, L"相同", "room made");
    CHECK(kiv.FindMessageBox() == nullptr, "a message showed once there was room");
}

}  // namespace e2e
