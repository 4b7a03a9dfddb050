// What the user-level benchmark measures with, besides the end-to-end
// driver: a clock, summaries of repeats, screen rows of a window read back
// cheaply, a thread that pings the frame, and the two baselines (a bare GDI+
// decode and a bare repaint window).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pictures.h"
#include "verdicts.h"

namespace userbench {

// Milliseconds on the performance counter.
double NowMs();

// Some whole rows of a window's client area as the screen shows them: one
// small read per row, so that polling them costs little.
class RowProbe {
public:
    RowProbe(HWND window, std::vector<int> rows);
    ~RowProbe();
    RowProbe(const RowProbe&) = delete;
    RowProbe& operator=(const RowProbe&) = delete;

    // The rows one after the other (0xRRGGBB); empty once the client area
    // has another width than it had.
    std::vector<uint32_t> Read();
    int Width() const { return width_; }
    size_t RowCount() const { return rows_.size(); }

private:
    HWND window_;
    std::vector<int> rows_;
    int width_ = 0;
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// Polls shown() until it holds (every millisecond at first, every 1 % of
// the time waited later); returns NowMs() then, or a negative value on
// time-out or when the process has ended.
double PollUntil(const std::function<bool()>& shown, HANDLE process, double timeoutMs);

// Sends WM_NULL to the frame every 10 ms from its own thread, waiting for
// each answer, and keeps when each was sent and answered.
class FramePinger {
public:
    FramePinger();
    ~FramePinger();
    FramePinger(const FramePinger&) = delete;
    FramePinger& operator=(const FramePinger&) = delete;

    void SetFrame(HWND frame);  // null stops the pings
    // The longest wait for an answer among the pings that were out at some
    // time in [from, to].
    double LongestUnanswered(double from, double to);

private:
    struct Ping {
        double sent;
        double answered;
    };
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    std::atomic<HWND> frame_{nullptr};
    std::atomic<bool> stop_{false};
    CRITICAL_SECTION lock_;
    std::vector<Ping> pings_;
    HANDLE thread_ = nullptr;
};

// A top-level window of our own whose paint is one BitBlt of a client-sized
// DIB section; FLIP switches between two such sections (the content 16 rows
// apart, as after a line of scrolling) and invalidates the window, as a step
// of the viewer does. It runs on its own thread.
class BareWindow {
public:
    static constexpr UINT FLIP = WM_APP + 1;
    BareWindow(int x, int y, int width, int height, const e2e::Picture& content);
    ~BareWindow();
    BareWindow(const BareWindow&) = delete;
    BareWindow& operator=(const BareWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    int x_, y_, width_, height_;
    const e2e::Picture& content_;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

// Reads the file and has GDI+ decode it into a fresh 32-bit buffer, as the
// viewer's loader does, in this process; returns the milliseconds taken, or
// a negative value (with *error) on failure.
double BareDecodeMs(const std::string& path, std::string* error);

// A photo-like picture: smooth gradients, a wavy horizon, hard-edged shapes,
// fine texture and grain; seed picks one.
e2e::Picture PhotoPicture(int width, int height, uint32_t seed);

// Bytes of the scale tables the viewer keeps per window for a picture with
// this longer side.
size_t TableBytes(uint32_t longerSide);

}  // namespace userbench
