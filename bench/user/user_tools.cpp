#include "user_tools.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "win32/gdiplus_flat.h"
#include "kiv.h"
#include "core/geometry/scale_maps.h"

namespace userbench {
namespace {

// Polls come every millisecond at first, then every 1 % of the time waited
// (at most 10 ms): the resolution stays within about 1 %, and a long wait
// does not keep the wineserver and the X server busy.
constexpr double POLL_MIN_MS = 1;
constexpr double POLL_MAX_MS = 10;
constexpr double POLL_SHARE = 0.01;
constexpr double PING_PERIOD_MS = 10;
constexpr UINT PING_TIMEOUT_MS = 10000;
constexpr DWORD THREAD_END_TIMEOUT_MS = 10000;
constexpr UINT CLOSE_TIMEOUT_MS = 5000;
constexpr int BYTES_PER_PIXEL = 4;
constexpr uint32_t RGB_MASK = 0xffffff;
// The bare window's two contents lie this many picture rows apart, as after
// one line of scrolling in the viewer.
constexpr int FLIP_ROW_SHIFT = 16;
constexpr wchar_t BARE_CLASS[] = L"KivBenchBareWindow";

// A top-down 32-bit DIB section.
HBITMAP TopDownSection(int width, int height, uint32_t** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    *bits = static_cast<uint32_t*>(raw);
    return bitmap;
}

struct BareState {
    int width;
    int height;
    int shown = 0;
    HDC dc[2] = {};
};

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<BareState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            if (state) BitBlt(dc, 0, 0, state->width, state->height, state->dc[state->shown], 0, 0, SRCCOPY);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case BareWindow::FLIP:
            if (state) state->shown ^= 1;
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A small deterministic generator for the pictures' parameters.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed * 2654435761u + 0x9e3779b9u) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    double Unit() { return (Next() >> 8) / static_cast<double>(1u << 24); }
    double Between(double low, double high) { return low + (high - low) * Unit(); }

private:
    uint32_t state_;
};

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x9e3779b1u ^ y * 0x85ebca77u ^ seed * 0xc2b2ae3du;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

// Grain of single pixels and texture of 2 x 2 blocks, in levels either way:
// what makes a photograph's file large. Wine's JPEG encoders (GDI+ and WIC)
// always write quality 75, whatever quality is asked for; these levels make
// the files as large as a 24 MP photograph's at quality 90 (5 to 6 MB), so
// the decoder has as many bits to go through.
constexpr int GRAIN_LEVELS = 20;
constexpr int TEXTURE_LEVELS = 30;
constexpr int TEXTURE_BLOCK = 2;
constexpr int DISC_COUNT = 24;
constexpr double PI = 3.14159265358979;
// Slow waves of colour across the picture, in levels, and the two colour
// ranges of sky and ground; the horizon around 42 % of the height.
constexpr double COLUMN_TONE_LEVELS = 30;
constexpr double ROW_TONE_LEVELS = 25;
constexpr double SKY_LOW = 110, SKY_HIGH = 190;
constexpr double GROUND_LOW = 50, GROUND_HIGH = 130;
constexpr double HORIZON_AT = 0.42;
constexpr double HORIZON_WAVE = 0.06;  // of the height
// Discs: radius from 1/60 to 1/7 of the shorter side; colour shift either way.
constexpr double DISC_SMALLEST = 60, DISC_LARGEST = 7;
constexpr double DISC_SHIFT_LEVELS = 70;
// A wave: one to a few periods across the picture, and a third as strong a
// faster one.
constexpr double SLOW_PERIODS_LOW = 0.5, SLOW_PERIODS_HIGH = 2.5;
constexpr double FAST_PERIODS_LOW = 3, FAST_PERIODS_HIGH = 9;
constexpr double FAST_WAVE_DIVISOR = 3;

struct Scene {
    int width = 0;
    int height = 0;
    uint32_t seed = 0;
    std::vector<float> columnTone[3];
    std::vector<float> rowTone[3];
    std::vector<int> horizon;
    float sky[3] = {};
    float ground[3] = {};
    struct Disc {
        int cx, cy, radius;
        float offset[3];
    };
    std::vector<Disc> discs;
};

// Two slow waves along one axis, of random phase and a few periods.
std::vector<float> Waves(Random& random, int length, double amplitude) {
    const double f1 = random.Between(SLOW_PERIODS_LOW, SLOW_PERIODS_HIGH);
    const double f2 = random.Between(FAST_PERIODS_LOW, FAST_PERIODS_HIGH);
    const double p1 = random.Unit(), p2 = random.Unit();
    std::vector<float> tone(length);
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / length;
        tone[i] = static_cast<float>(amplitude * std::sin(2 * PI * (f1 * t + p1)) +
                                     amplitude / FAST_WAVE_DIVISOR * std::sin(2 * PI * (f2 * t + p2)));
    }
    return tone;
}

int Clamp(double value) { return value < 0 ? 0 : value > 255 ? 255 : static_cast<int>(value); }

uint32_t SceneColour(const Scene& scene, int x, int y) {
    const bool inSky = y < scene.horizon[x];
    const float* base = inSky ? scene.sky : scene.ground;
    const uint32_t h = Hash(x, y, scene.seed);
    const uint32_t block = Hash(x / TEXTURE_BLOCK, y / TEXTURE_BLOCK, scene.seed + 1);
    // The sky is smoother than the ground.
    const int textureLevels = inSky ? TEXTURE_LEVELS / 2 : TEXTURE_LEVELS;
    const double texture = static_cast<int>(block % (2 * textureLevels + 1)) - textureLevels;
    double channel[3];
    for (int c = 0; c < 3; ++c) {
        // Each channel its own grain, from its own bits of the hash.
        const double grain = static_cast<int>(((h >> (8 * c)) & 0xff) % (2 * GRAIN_LEVELS + 1)) - GRAIN_LEVELS;
        channel[c] = base[c] + scene.columnTone[c][x] + scene.rowTone[c][y] + grain + texture;
    }
    for (const Scene::Disc& disc : scene.discs) {
        const int dx = x - disc.cx, dy = y - disc.cy;
        if (dx > disc.radius || dx < -disc.radius || dy > disc.radius || dy < -disc.radius) continue;
        if (dx * dx + dy * dy > disc.radius * disc.radius) continue;
        for (int c = 0; c < 3; ++c) channel[c] += disc.offset[c];
    }
    return (Clamp(channel[0]) << 16) | (Clamp(channel[1]) << 8) | Clamp(channel[2]);
}

}  // namespace

double NowMs() {
    static const double msPerTick = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1000.0 / static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * msPerTick;
}

RowProbe::RowProbe(HWND window, std::vector<int> rows) : window_(window), rows_(std::move(rows)) {
    width_ = e2e::ClientSize(window).cx;
    if (width_ <= 0 || rows_.empty()) return;
    screen_ = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen_);
    bitmap_ = TopDownSection(width_, static_cast<int>(rows_.size()), &bits_);
    oldBitmap_ = SelectObject(memory_, bitmap_);
}

RowProbe::~RowProbe() {
    if (memory_) {
        SelectObject(memory_, oldBitmap_);
        DeleteDC(memory_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    if (screen_) ReleaseDC(nullptr, screen_);
}

std::vector<uint32_t> RowProbe::Read() {
    if (!bits_ || e2e::ClientSize(window_).cx != width_) return {};
    POINT origin = {0, 0};
    ClientToScreen(window_, &origin);
    for (size_t i = 0; i < rows_.size(); ++i) {
        BitBlt(memory_, 0, static_cast<int>(i), width_, 1, screen_, origin.x, origin.y + rows_[i], SRCCOPY);
    }
    GdiFlush();
    std::vector<uint32_t> pixels(bits_, bits_ + static_cast<size_t>(width_) * rows_.size());
    for (uint32_t& pixel : pixels) pixel &= RGB_MASK;
    return pixels;
}

double PollUntil(const std::function<bool()>& shown, HANDLE process, double timeoutMs) {
    const double start = NowMs();
    for (;;) {
        if (shown()) return NowMs();
        if (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return -1;
        const double waited = NowMs() - start;
        if (waited > timeoutMs) return -1;
        Sleep(static_cast<DWORD>(std::clamp(waited * POLL_SHARE, POLL_MIN_MS, POLL_MAX_MS)));
    }
}

FramePinger::FramePinger() {
    InitializeCriticalSection(&lock_);
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
}

FramePinger::~FramePinger() {
    stop_ = true;
    if (thread_) {
        WaitForSingleObject(thread_, THREAD_END_TIMEOUT_MS);
        CloseHandle(thread_);
    }
    DeleteCriticalSection(&lock_);
}

void FramePinger::SetFrame(HWND frame) { frame_ = frame; }

DWORD WINAPI FramePinger::ThreadMain(void* self) {
    static_cast<FramePinger*>(self)->Run();
    return 0;
}

void FramePinger::Run() {
    while (!stop_) {
        const HWND frame = frame_.load();
        if (!frame) {
            Sleep(static_cast<DWORD>(PING_PERIOD_MS));
            continue;
        }
        const double sent = NowMs();
        DWORD_PTR answer = 0;
        SetLastError(0);
        const LRESULT ok = SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, PING_TIMEOUT_MS, &answer);
        const double answered = NowMs();
        // A frame that is gone answers nothing, but is no frame that hangs.
        if (ok || GetLastError() == ERROR_TIMEOUT) {
            EnterCriticalSection(&lock_);
            pings_.push_back({sent, answered});
            LeaveCriticalSection(&lock_);
        }
        const double wait = sent + PING_PERIOD_MS - NowMs();
        if (wait > 0) Sleep(static_cast<DWORD>(wait));
    }
}

double FramePinger::LongestUnanswered(double from, double to) {
    double longest = -1;
    EnterCriticalSection(&lock_);
    for (const Ping& ping : pings_) {
        if (ping.sent <= to && ping.answered >= from) longest = std::max(longest, ping.answered - ping.sent);
    }
    LeaveCriticalSection(&lock_);
    return longest;
}

BareWindow::BareWindow(int x, int y, int width, int height, const e2e::Picture& content)
    : x_(x), y_(y), width_(width), height_(height), content_(content) {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (thread_) WaitForSingleObject(ready_, INFINITE);
}

BareWindow::~BareWindow() {
    if (window_) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window_, WM_CLOSE, 0, 0, SMTO_NORMAL, CLOSE_TIMEOUT_MS, &answer);
    }
    if (thread_) {
        WaitForSingleObject(thread_, THREAD_END_TIMEOUT_MS);
        CloseHandle(thread_);
    }
    CloseHandle(ready_);
}

DWORD WINAPI BareWindow::ThreadMain(void* self) {
    static_cast<BareWindow*>(self)->Run();
    return 0;
}

void BareWindow::Run() {
    BareState state{width_, height_};
    HBITMAP sections[2] = {};
    HGDIOBJ old[2] = {};
    for (int k = 0; k < 2; ++k) {
        uint32_t* bits = nullptr;
        sections[k] = TopDownSection(width_, height_, &bits);
        state.dc[k] = CreateCompatibleDC(nullptr);
        if (!bits) continue;
        old[k] = SelectObject(state.dc[k], sections[k]);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                bits[static_cast<size_t>(y) * width_ + x] = content_.colour(x % content_.width, (y + k * FLIP_ROW_SHIFT) % content_.height);
            }
        }
    }
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = BARE_CLASS;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, BARE_CLASS, L"", WS_POPUP, x_, y_, width_, height_, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (window) {
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    window_ = window;
    SetEvent(ready_);
    MSG message;
    while (window && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    for (int k = 0; k < 2; ++k) {
        if (old[k]) SelectObject(state.dc[k], old[k]);
        DeleteDC(state.dc[k]);
        if (sections[k]) DeleteObject(sections[k]);
    }
}

double BareDecodeMs(const std::string& path, std::string* error) {
    if (!e2e::StartGdiplus()) {
        *error = "GDI+ did not start";
        return -1;
    }
    const double start = NowMs();
    HANDLE file = CreateFileW(e2e::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = "cannot open " + path;
        return -1;
    }
    const DWORD size = GetFileSize(file, nullptr);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    DWORD read = 0;
    const bool readAll = memory && ReadFile(file, GlobalLock(memory), size, &read, nullptr) && read == size;
    if (memory) GlobalUnlock(memory);
    CloseHandle(file);
    IStream* stream = nullptr;
    if (!readAll || CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
        if (memory) GlobalFree(memory);
        *error = "cannot read " + path;
        return -1;
    }
    GpImage* image = nullptr;
    double elapsed = -1;
    if (GdipCreateBitmapFromStream(stream, &image) == GDIPLUS_OK && image) {
        UINT width = 0, height = 0;
        GdipGetImageWidth(image, &width);
        GdipGetImageHeight(image, &height);
        const size_t bytes = static_cast<size_t>(width) * height * BYTES_PER_PIXEL;
        void* pixels = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (pixels) {
            const GpRect whole = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
            GpBitmapData data = {};
            data.Width = width;
            data.Height = height;
            data.Stride = static_cast<INT>(width) * BYTES_PER_PIXEL;
            // The same 32-bit format as kiv's loader asks for.
            INT decodedFormat = 0;
            GdipGetImagePixelFormat(image, &decodedFormat);
            data.PixelFormat = PaintedFormat(decodedFormat);
            data.Scan0 = pixels;
            if (GdipBitmapLockBits(image, &whole, GDIPLUS_LOCK_READ | GDIPLUS_LOCK_USER_BUFFER,
                                   data.PixelFormat, &data) == GDIPLUS_OK &&
                GdipBitmapUnlockBits(image, &data) == GDIPLUS_OK) {
                elapsed = NowMs() - start;
            }
            VirtualFree(pixels, 0, MEM_RELEASE);
        }
        GdipDisposeImage(image);
    }
    stream->Release();
    if (elapsed < 0) *error = "GDI+ could not decode " + path;
    return elapsed;
}

e2e::Picture PhotoPicture(int width, int height, uint32_t seed) {
    auto scene = std::make_shared<Scene>();
    scene->width = width;
    scene->height = height;
    scene->seed = seed;
    Random random(seed);
    for (int c = 0; c < 3; ++c) {
        scene->columnTone[c] = Waves(random, width, COLUMN_TONE_LEVELS);
        scene->rowTone[c] = Waves(random, height, ROW_TONE_LEVELS);
        scene->sky[c] = static_cast<float>(random.Between(SKY_LOW, SKY_HIGH));
        scene->ground[c] = static_cast<float>(random.Between(GROUND_LOW, GROUND_HIGH));
    }
    const std::vector<float> wave = Waves(random, width, height * HORIZON_WAVE);
    scene->horizon.resize(width);
    for (int x = 0; x < width; ++x) scene->horizon[x] = static_cast<int>(height * HORIZON_AT + wave[x]);
    const int shortSide = std::min(width, height);
    for (int i = 0; i < DISC_COUNT && shortSide > 1; ++i) {
        Scene::Disc disc;
        disc.cx = static_cast<int>(random.Between(0, width));
        disc.cy = static_cast<int>(random.Between(0, height));
        disc.radius = static_cast<int>(random.Between(shortSide / DISC_SMALLEST, shortSide / DISC_LARGEST));
        for (float& offset : disc.offset) {
            offset = static_cast<float>(random.Between(-DISC_SHIFT_LEVELS, DISC_SHIFT_LEVELS));
        }
        scene->discs.push_back(disc);
    }
    e2e::Picture picture;
    picture.width = width;
    picture.height = height;
    picture.colour = [scene](int x, int y) { return SceneColour(*scene, x, y); };
    return picture;
}

size_t TableBytes(uint32_t longerSide) {
    const ScaleMapCapacity capacity = CapacityForPicture(longerSide + 1);
    return (static_cast<size_t>(capacity.major) + capacity.minor) * sizeof(uint32_t);
}

}  // namespace userbench
