// kiv_userbench: speed as the user feels it. Starts the real kiv.exe and
// drives it from outside, as the end-to-end driver does, on generated
// photo-like pictures; every time ends when the screen shows the result.
// Baselines are measured in the same run; the table gives a verdict per
// target and never fails the run for a missed one.
//   kiv_userbench --kiv PATH --cache DIR [--root DIR] [--quick | --compare-only | --animation-only]
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "kiv.h"
#include "pictures.h"
#include "screen.h"
#include "steps.h"
#include "bare_decoders.h"
#include "user_tools.h"

namespace {

using e2e::Kiv;
using userbench::NowMs;
using userbench::RowProbe;

// The pictures; a new set name whenever the generator changes, so that a
// cached set of another kind is never used.
constexpr char PICTURE_SET[] = "pictures-4";
constexpr int PHOTO_W = 6000;
constexpr int PHOTO_H = 4000;
constexpr uint32_t PHOTO_SEED = 1;
constexpr int WALK_COUNT = 4;  // pictures of the folder stepped through
constexpr uint32_t WALK_SEED = 11;
constexpr uint32_t BARE_CONTENT_SEED = 29;
constexpr uint32_t FLOOR_COLOUR = 0xff8020;  // far from the margin grey

// Places and sizes on the 1280 x 1024 screen.
constexpr int FRAME_W = 1200;
constexpr int FRAME_H = 960;
constexpr int VIEW_W = 1024;  // the client area for scroll and zoom steps
constexpr int VIEW_H = 640;
constexpr int BARE_X = 40;
constexpr int BARE_Y = 40;

constexpr int NEW_WINDOWS = 9;  // ten windows with the first
constexpr DWORD NEXT_PAUSE_MS = 2000;
constexpr double SHOW_TIMEOUT_MS = 30000;
constexpr double STEP_TIMEOUT_MS = 10000;
// An open's answering time is watched until this long after it showed: the
// preload of the neighbour starts then.
constexpr double OPEN_TAIL_MS = 250;
constexpr DWORD SETTLE_MS = 100;
// Before a timed start: the previous kiv process may still be going away.
constexpr DWORD QUIET_BEFORE_START_MS = 1000;
constexpr int SETTLE_TRIES = 100;
constexpr DWORD MEMORY_SETTLE_MS = 300;
constexpr int MEMORY_TRIES = 20;
constexpr double MB = 1024.0 * 1024.0;
constexpr int PIXEL_BYTES = 4;  // kiv keeps a picture as 32-bit pixels
constexpr int PROBE_TIMING_READS = 50;

// Targets: an open within floor + 1.1 x the bare decode by the library kiv
// decodes that format with.
constexpr double START_DECODE_FACTOR = 1.1;
constexpr double NEXT_DECODE_FACTOR = 1.1;
constexpr double NEXT_AFTER_PAUSE_MS = 100;
constexpr double NEW_WINDOW_MS = 50;
constexpr double SCROLL_REPAINT_FACTOR = 2;
constexpr double ZOOM_REPAINT_FACTOR = 3;
constexpr double UNANSWERED_MS = 100;
constexpr double DIFFERENCE_TOGGLE_MS = 150;
constexpr double METRIC_CHANGE_MS = 150;
constexpr double DIFFERENCE_SCROLL_REPAINT_FACTOR = 2;
constexpr double WINDOW_ALLOWANCE_MB = 1;
// The animation: 100 frames of 400 x 300 at 40 ms (a GIF's 4 hundredths),
// played for a few rounds; a frame is late when it reaches the screen more
// than half its delay after it was due.
constexpr int ANIMATION_W = 400;
constexpr int ANIMATION_H = 300;
constexpr int ANIMATION_FRAMES = 100;
constexpr int ANIMATION_DELAY_CS = 4;
constexpr double ANIMATION_DELAY_MS = ANIMATION_DELAY_CS * 10.0;
constexpr double LATE_SHARE = 0.5;
constexpr DWORD ANIMATION_WATCH_MS = 12000;
constexpr double PACE_LIMIT = 1.02;  // 2 % slower than the file at most
constexpr char ANIMATION_FILE[] = "animation-100.gif";

struct Plan {
    int starts;        // timed starts of each kind
    int decodes;       // bare decodes before and again after the opens
    int walkRounds;    // steps right after, and after a pause, each
    int scrollPasses;  // per zoom
    int stepsPerPass;
    int zoomSteps;
    int repaints;      // bare repaints before the view steps and between their passes
    int compares;      // difference view toggles and metric changes, each way
};
constexpr Plan FULL_PLAN = {5, 3, 5, 3, 20, 40, 20, 10};
constexpr Plan QUICK_PLAN = {2, 1, 2, 1, 10, 10, 10, 3};

// Everything measured, by name; the table reads it at the end.
std::map<std::string, std::vector<double>> samples;
std::map<std::string, std::string> labels;  // texts read on the way (zoom readouts)
std::vector<std::string> problems;

void Add(const std::string& key, double value) { samples[key].push_back(value); }

userbench::Summary Of(const std::string& key) { return userbench::Summarise(samples[key]); }

void Progress(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Progress(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::printf("  ");
    std::vprintf(format, args);
    std::printf("\n");
    std::fflush(stdout);
    va_end(args);
}

struct PictureFiles {
    std::string dir;
    std::string photo;      // JPEG
    std::string photoPng;   // the same picture as PNG and WebP
    std::string photoWebP;
    std::string floor;
    std::vector<std::string> walk;
};

bool Exists(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(e2e::Widen(path).c_str(), GetFileExInfoStandard, &data) &&
           (data.nFileSizeLow | data.nFileSizeHigh) != 0;
}

using Writer = bool (*)(const std::string& path, const e2e::Picture& picture);

// Written under a temporary name first, so that an interrupted run leaves
// no half file in the cache.
void EnsurePicture(const std::string& path, const e2e::Picture& picture, Writer write = e2e::WriteJpeg) {
    if (Exists(path)) return;
    Progress("generating %s (%d x %d)", path.c_str(), picture.width, picture.height);
    const std::string partial = path + ".partial";
    REQUIRE(write(partial, picture), "cannot write %s", partial.c_str());
    REQUIRE(MoveFileExW(e2e::Widen(partial).c_str(), e2e::Widen(path).c_str(), MOVEFILE_REPLACE_EXISTING),
            "cannot rename %s", partial.c_str());
}

PictureFiles EnsurePictures(const std::string& cache) {
    PictureFiles files;
    files.dir = cache + "\\" + PICTURE_SET;
    e2e::MakeDirectories(files.dir);
    files.photo = files.dir + "\\photo.jpg";
    files.photoPng = files.dir + "\\photo.png";
    files.photoWebP = files.dir + "\\photo.webp";
    files.floor = files.dir + "\\floor.jpg";
    const e2e::Picture photo = userbench::PhotoPicture(PHOTO_W, PHOTO_H, PHOTO_SEED);
    EnsurePicture(files.photo, photo);
    EnsurePicture(files.photoPng, photo, userbench::WritePng);
    EnsurePicture(files.photoWebP, photo, userbench::WriteWebP);
    e2e::Picture dot;
    dot.width = dot.height = 1;
    dot.colour = [](int, int) { return FLOOR_COLOUR; };
    EnsurePicture(files.floor, dot);
    for (int i = 0; i < WALK_COUNT; ++i) {
        files.walk.push_back(files.dir + e2e::Format("\\walk%d.jpg", i + 1));
        EnsurePicture(files.walk.back(), userbench::PhotoPicture(PHOTO_W, PHOTO_H, WALK_SEED + i));
    }
    return files;
}

double FileMegabytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(e2e::Widen(path).c_str(), GetFileExInfoStandard, &data);
    return data.nFileSizeLow / MB;
}

// Puts a copy of the picture into the case folder; returns its path.
std::string PlaceCopy(const Kiv& kiv, const std::string& source, const std::string& name) {
    const std::string target = kiv.Dir() + "\\" + name;
    REQUIRE(CopyFileW(e2e::Widen(source).c_str(), e2e::Widen(target).c_str(), FALSE),
            "cannot copy %s to %s", source.c_str(), target.c_str());
    return target;
}

// What a window shows once a picture has arrived: some rows of its client
// area, read from a capture that stayed the same for a while.
struct Reference {
    SIZE client = {};
    std::vector<int> rows;
    std::vector<uint32_t> pixels;
};

e2e::Capture SettledClient(HWND child) {
    e2e::Send(child, WM_NULL, 0, 0);
    e2e::Capture last = e2e::CaptureClient(child);
    for (int i = 0; i < SETTLE_TRIES; ++i) {
        e2e::Pause(SETTLE_MS);
        e2e::Capture now = e2e::CaptureClient(child);
        if (now.width == last.width && now.height == last.height && now.pixels == last.pixels) return now;
        last = std::move(now);
    }
    REQUIRE(false, "the window's client area did not settle");
    return last;
}

std::vector<uint32_t> SettledRows(RowProbe& probe) {
    std::vector<uint32_t> last = probe.Read();
    for (int i = 0; i < SETTLE_TRIES; ++i) {
        e2e::Pause(SETTLE_MS);
        std::vector<uint32_t> now = probe.Read();
        if (!now.empty() && now == last) return now;
        last = std::move(now);
    }
    REQUIRE(false, "the probed rows did not settle");
    return last;
}

bool ShowsPicture(const e2e::Capture& shown, int row) {
    for (int x = 0; x < shown.width; ++x) {
        const uint32_t pixel = shown.At(x, row);
        if (pixel != e2e::GREY_BACKGROUND && pixel != e2e::FRAME_PEN) return true;
    }
    return false;
}

// The top, middle and bottom rows; and, if none of them shows any of the
// picture (a tiny one), the picture row nearest the middle.
std::vector<int> ProbeRows(const e2e::Capture& shown) {
    const int middle = shown.height / 2;
    std::vector<int> rows = {0, middle, shown.height - 1};
    bool any = false;
    for (int row : rows) any = any || ShowsPicture(shown, row);
    for (int distance = 1; !any && distance < shown.height; ++distance) {
        for (int row : {middle - distance, middle + distance}) {
            if (!any && row >= 0 && row < shown.height && ShowsPicture(shown, row)) {
                rows.push_back(row);
                any = true;
            }
        }
    }
    return rows;
}

Reference ReferenceOf(const e2e::Capture& shown, const std::vector<int>& rows) {
    Reference reference;
    reference.client = {shown.width, shown.height};
    reference.rows = rows;
    for (int row : rows) {
        for (int x = 0; x < shown.width; ++x) reference.pixels.push_back(shown.At(x, row));
    }
    return reference;
}

void WaitPictureReadout(Kiv& kiv, const std::string& wanted = "") {
    REQUIRE(e2e::WaitUntil(
                [&] {
                    const std::string text = kiv.Status(3);
                    const bool picture = !text.empty() && text[0] >= '0' && text[0] <= '9';
                    return picture && text.find(wanted) != std::string::npos;
                },
                e2e::WAIT_TIMEOUT_MS),
            "status part 3 reads \"%s\", not the picture's size%s", kiv.Status(3).c_str(), wanted.c_str());
}

// Opens (start, step, new window) whose answering is scored once they are over.
struct Open {
    const char* kind;
    double from;
    double shown;
};

void ScoreOpens(std::vector<Open>& opens, userbench::FramePinger& pinger) {
    e2e::Pause(static_cast<DWORD>(OPEN_TAIL_MS) * 2);
    for (const Open& open : opens) {
        const double longest = pinger.LongestUnanswered(open.from, open.shown + OPEN_TAIL_MS);
        if (longest >= 0) Add(std::string("unanswered.") + open.kind, longest);
    }
    opens.clear();
}

size_t SettledPrivateBytes(const Kiv& kiv) {
    size_t last = kiv.PrivateBytes();
    for (int i = 0; i < MEMORY_TRIES; ++i) {
        e2e::Pause(MEMORY_SETTLE_MS);
        const size_t now = kiv.PrivateBytes();
        if (now == last) return now;
        last = now;
    }
    return last;
}

// Launches kiv on the file and waits, untimed, for its window to settle on
// the picture; returns that window.
HWND StartUntimed(Kiv& kiv, const std::string& file) {
    kiv.Launch({e2e::Widen(file)});
    kiv.WaitFrame();
    HWND child = kiv.WaitChildCount(1);
    WaitPictureReadout(kiv);
    return child;
}

// When a start launched kiv, found its frame and saw the picture.
struct StartTimes {
    double launched = 0;
    double frame = 0;
    double shown = 0;
};

// Launches kiv on the file and times until its first window shows the
// reference rows; the frame is pinged from when it is found.
StartTimes TimedStart(Kiv& kiv, const std::string& file, const Reference& reference, userbench::FramePinger& pinger) {
    StartTimes times;
    times.launched = NowMs();
    kiv.Launch({e2e::Widen(file)});
    bool frameFound = false;
    std::unique_ptr<RowProbe> probe;
    times.shown = userbench::PollUntil(
        [&] {
            if (!frameFound) {
                if (!kiv.FindFrame()) return false;
                frameFound = true;
                times.frame = NowMs();
                pinger.SetFrame(kiv.frame);
            }
            if (!probe) {
                const std::vector<HWND> children = kiv.Children();
                if (children.empty()) return false;
                probe = std::make_unique<RowProbe>(children.front(), reference.rows);
            }
            const std::vector<uint32_t> rows = probe->Read();
            if (rows.empty()) probe.reset();  // resized since: probe afresh
            return rows == reference.pixels;
        },
        kiv.Process(), SHOW_TIMEOUT_MS);
    REQUIRE(times.shown >= 0, "the first window did not show the picture within %.0f ms", SHOW_TIMEOUT_MS);
    return times;
}

// Records a timed start under key; returns its time.
double AddStart(const std::string& key, const StartTimes& times, std::vector<Open>& opens) {
    Add(key, times.shown - times.launched);
    Add(key + ".frame", times.frame - times.launched);
    opens.push_back({"start", times.frame, times.shown});
    return times.shown - times.launched;
}

// A step and its repaint: from sending it until every probed row has
// changed on the screen. *handled gets the time until the message returned.
double TimedChange(RowProbe& probe, HANDLE process, const std::function<bool()>& step, double* handled) {
    const std::vector<uint32_t> before = probe.Read();
    const double start = NowMs();
    REQUIRE(step(), "the step was not handled");
    *handled = NowMs() - start;
    const double shown = userbench::PollUntil(
        [&] { return userbench::EveryRowChanged(before, probe.Read(), probe.RowCount()); }, process,
        STEP_TIMEOUT_MS);
    REQUIRE(shown >= 0, "the step did not reach the screen within %.0f ms", STEP_TIMEOUT_MS);
    return shown - start;
}

// The bare decodes of one format by the library kiv uses for it, under key.
void BareLibraryDecodes(userbench::Library library, const std::string& file, const std::string& key, int count) {
    for (int i = 0; i < count; ++i) {
        std::string error;
        const double ms = userbench::BareLibraryDecodeMs(library, file, &error);
        REQUIRE(ms >= 0, "bare decode: %s", error.c_str());
        Add(key, ms);
    }
}

// GDI+ on the JPEG, kept beside the libraries; the libraries on the 24 MP
// picture in each format.
void BareDecodes(const PictureFiles& files, int count) {
    for (int i = 0; i < count; ++i) {
        std::string error;
        const double ms = userbench::BareDecodeMs(files.photo, &error);
        REQUIRE(ms >= 0, "bare decode: %s", error.c_str());
        Add("decode", ms);
    }
    BareLibraryDecodes(userbench::Library::Jpeg, files.photo, "decode.jpeg", count);
    BareLibraryDecodes(userbench::Library::Png, files.photoPng, "decode.png", count);
    BareLibraryDecodes(userbench::Library::WebP, files.photoWebP, "decode.webp", count);
}

void BareRepaints(int count) {
    const e2e::Picture content = userbench::PhotoPicture(VIEW_W, VIEW_H, BARE_CONTENT_SEED);
    userbench::BareWindow bare(BARE_X, BARE_Y, VIEW_W, VIEW_H, content);
    REQUIRE(bare.Handle(), "the bare window was not created");
    RowProbe probe(bare.Handle(), {0, VIEW_H / 2, VIEW_H - 1});
    SettledRows(probe);
    for (int i = 0; i < PROBE_TIMING_READS; ++i) {
        const double start = NowMs();
        probe.Read();
        Add("probe", NowMs() - start);
    }
    for (int i = 0; i < count; ++i) {
        double handled = 0;
        Add("repaint", TimedChange(probe, nullptr, [&] { return e2e::Send(bare.Handle(), userbench::BareWindow::FLIP, 0, 0); },
                                   &handled));
        Add("repaint.handled", handled);
    }
}

void FloorStarts(const PictureFiles& files, const Plan& plan, userbench::FramePinger& pinger) {
    Reference reference;
    {
        Kiv kiv("floor");
        const HWND child = StartUntimed(kiv, PlaceCopy(kiv, files.floor, "ss6.jpg"));
        const e2e::Capture shown = SettledClient(child);
        reference = ReferenceOf(shown, ProbeRows(shown));
    }
    for (int i = 0; i < plan.starts; ++i) {
        Kiv kiv("floor");
        const std::string file = PlaceCopy(kiv, files.floor, "ss6.jpg");
        e2e::Pause(QUIET_BEFORE_START_MS);
        std::vector<Open> opens;
        const double ms = AddStart("start.floor", TimedStart(kiv, file, reference, pinger), opens);
        Add("memory.floor", SettledPrivateBytes(kiv) / MB);
        ScoreOpens(opens, pinger);
        pinger.SetFrame(nullptr);
        Progress("start on 1 x 1: %.1f ms (frame after %.1f ms)", ms, samples["start.floor.frame"].back());
    }
}

// Starts on the 24 MP picture, then nine more windows on it (the same file,
// unchanged), with the memory of one and of ten windows.
void PhotoStartsAndWindows(const PictureFiles& files, const Plan& plan, userbench::FramePinger& pinger) {
    Reference reference;
    {
        Kiv kiv("photo");
        const HWND child = StartUntimed(kiv, PlaceCopy(kiv, files.photo, "ss6.jpg"));
        const e2e::Capture shown = SettledClient(child);
        reference = ReferenceOf(shown, ProbeRows(shown));
    }
    for (int i = 0; i < plan.starts; ++i) {
        Kiv kiv("photo");
        const std::string file = PlaceCopy(kiv, files.photo, "ss6.jpg");
        // The baseline close in time to what it is compared with.
        BareLibraryDecodes(userbench::Library::Jpeg, files.photo, "decode.jpeg", 1);
        e2e::Pause(QUIET_BEFORE_START_MS);
        std::vector<Open> opens;
        const double ms = AddStart("start.photo", TimedStart(kiv, file, reference, pinger), opens);
        kiv.PlaceFrame(FRAME_W, FRAME_H);
        SettledClient(kiv.Children().front());
        Add("memory.one", SettledPrivateBytes(kiv) / MB);
        std::vector<double> windowTimes;
        for (int w = 0; w < NEW_WINDOWS; ++w) {
            const std::vector<HWND> before = kiv.Children();
            const double start = NowMs();
            kiv.SendCommand(e2e::IDM_NEW);
            Add("new_window.handled", NowMs() - start);
            HWND added = nullptr;
            for (HWND child : kiv.Children()) {
                bool old = false;
                for (HWND known : before) old = old || known == child;
                if (!old) added = child;
            }
            REQUIRE(added, "IDM_NEW made no window");
            const SIZE client = e2e::ClientSize(added);
            REQUIRE(client.cx == reference.client.cx && client.cy == reference.client.cy,
                    "the new window's client area is %ld x %ld, the first one's was %ld x %ld", client.cx, client.cy,
                    reference.client.cx, reference.client.cy);
            RowProbe probe(added, reference.rows);
            const double shown = userbench::PollUntil([&] { return probe.Read() == reference.pixels; },
                                                      kiv.Process(), SHOW_TIMEOUT_MS);
            REQUIRE(shown >= 0, "new window %d did not show the picture", w + 2);
            Add("new_window", shown - start);
            windowTimes.push_back(shown - start);
            opens.push_back({"new_window", start, shown});
        }
        SettledClient(kiv.ActiveChild());
        Add("memory.ten", SettledPrivateBytes(kiv) / MB);
        ScoreOpens(opens, pinger);
        pinger.SetFrame(nullptr);
        std::string each;
        for (double t : windowTimes) each += e2e::Format(" %.0f", t);
        Progress("start on 24 MP: %.1f ms (frame after %.1f ms); windows 2 to 10:%s ms", ms,
                 samples["start.photo.frame"].back(), each.c_str());
    }
}

// Starts on the 24 MP picture as PNG and as WebP, each after a bare decode
// of the same file by the library kiv decodes it with.
void OtherFormatStarts(const PictureFiles& files, const Plan& plan, userbench::FramePinger& pinger) {
    const struct {
        const char* key;
        const char* name;
        const std::string* file;
        userbench::Library library;
        const char* decodeKey;
    } formats[] = {{"start.png", "ss6.png", &files.photoPng, userbench::Library::Png, "decode.png"},
                   {"start.webp", "ss6.webp", &files.photoWebP, userbench::Library::WebP, "decode.webp"}};
    for (const auto& format : formats) {
        Reference reference;
        {
            Kiv kiv("formats");
            const HWND child = StartUntimed(kiv, PlaceCopy(kiv, *format.file, format.name));
            const e2e::Capture shown = SettledClient(child);
            reference = ReferenceOf(shown, ProbeRows(shown));
        }
        for (int i = 0; i < plan.starts; ++i) {
            Kiv kiv("formats");
            const std::string file = PlaceCopy(kiv, *format.file, format.name);
            BareLibraryDecodes(format.library, *format.file, format.decodeKey, 1);
            e2e::Pause(QUIET_BEFORE_START_MS);
            std::vector<Open> opens;
            const double ms = AddStart(format.key, TimedStart(kiv, file, reference, pinger), opens);
            ScoreOpens(opens, pinger);
            pinger.SetFrame(nullptr);
            Progress("start on the 24 MP %s: %.1f ms", format.name, ms);
        }
    }
}

// Steps through a folder of 24 MP pictures: right after the previous one
// showed, and after a pause of 2 s.
void FolderSteps(const PictureFiles& files, const Plan& plan, userbench::FramePinger& pinger) {
    Kiv kiv("walk");
    std::vector<std::string> names;
    for (int i = 0; i < WALK_COUNT; ++i) names.push_back(PlaceCopy(kiv, files.walk[i], e2e::Format("walk%d.jpg", i + 1)));
    const HWND child = StartUntimed(kiv, names[0]);
    kiv.PlaceFrame(FRAME_W, FRAME_H);
    // What each picture looks like in this window, learnt on a first round.
    const e2e::Capture first = SettledClient(child);
    const std::vector<int> rows = ProbeRows(first);
    std::vector<std::vector<uint32_t>> shows = {ReferenceOf(first, rows).pixels};
    RowProbe probe(child, rows);
    for (int i = 1; i < WALK_COUNT; ++i) {
        kiv.SendCommand(e2e::IDM_NEXT);
        WaitPictureReadout(kiv, e2e::Format("%d/%d", i + 1, WALK_COUNT));
        shows.push_back(SettledRows(probe));
        REQUIRE(shows.back() != shows[i - 1], "pictures %d and %d look the same", i, i + 1);
    }
    int current = WALK_COUNT - 1;
    pinger.SetFrame(kiv.frame);
    std::vector<Open> opens;
    auto step = [&](const std::string& key) {
        current = (current + 1) % WALK_COUNT;
        const double start = NowMs();
        kiv.SendCommand(e2e::IDM_NEXT);
        if (!key.empty()) Add(key + ".handled", NowMs() - start);
        const double shown = userbench::PollUntil([&] { return probe.Read() == shows[current]; }, kiv.Process(),
                                                  SHOW_TIMEOUT_MS);
        REQUIRE(shown >= 0, "picture %d did not show", current + 1);
        opens.push_back({"next", start, shown});
        return shown - start;
    };
    step("");  // untimed: the first timed step follows a picture that has just showed
    for (int round = 0; round < plan.walkRounds; ++round) {
        const double now = step("next.now");
        Add("next.now", now);
        e2e::Pause(NEXT_PAUSE_MS);
        const double paused = step("next.paused");
        Add("next.paused", paused);
        Progress("next picture: right after %.1f ms, after the pause %.1f ms", now, paused);
    }
    ScoreOpens(opens, pinger);
    pinger.SetFrame(nullptr);
}

// Scroll steps at three zooms and zoom steps, each with its repaint, in a
// window of VIEW_W x VIEW_H.
void ViewSteps(const PictureFiles& files, const Plan& plan) {
    // The baseline first, in the same place, before kiv covers it; then
    // again between the passes, so that both see the same load.
    BareRepaints(plan.repaints);
    Kiv kiv("view");
    const HWND child = StartUntimed(kiv, PlaceCopy(kiv, files.photo, "ss6.jpg"));
    kiv.PlaceFrame(FRAME_W, FRAME_H);
    e2e::MoveChild(child, 0, 0);
    REQUIRE(e2e::SetClientSize(child, VIEW_W, VIEW_H), "the window's client area could not be made %d x %d",
            VIEW_W, VIEW_H);
    e2e::MoveCursorToClient(child, VIEW_W / 2, VIEW_H / 2);
    RowProbe probe(child, {0, VIEW_H / 2, VIEW_H - 1});
    SettledRows(probe);
    struct ZoomChange {
        const char* key;
        int notches;
        int delta;
    };
    // Presets from 100 %: three down to 33 %, back up, two up to 300 %.
    const ZoomChange zooms[] = {{"33", 3, e2e::WHEEL_DOWN}, {"100", 3, e2e::WHEEL_UP}, {"300", 2, e2e::WHEEL_UP}};
    for (const ZoomChange& zoom : zooms) {
        e2e::ZoomNotches(child, zoom.notches, zoom.delta, true);
        const std::string key = std::string("scroll.") + zoom.key;
        labels[key] = kiv.Status(0);
        for (int pass = 0; pass < plan.scrollPasses; ++pass) {
            BareRepaints(plan.repaints);
            REQUIRE(e2e::Send(child, WM_VSCROLL, SB_TOP, 0), "SB_TOP not handled");
            SettledRows(probe);
            for (int i = 0; i < plan.stepsPerPass; ++i) {
                double handled = 0;
                Add(key, TimedChange(probe, kiv.Process(),
                                     [&] { return e2e::Send(child, WM_VSCROLL, SB_LINEDOWN, 0); }, &handled));
                Add(key + ".handled", handled);
            }
        }
        Progress("scroll steps at %s: median %.2f ms", labels[key].c_str(), Of(key).median);
    }
    e2e::ZoomNotches(child, 2, e2e::WHEEL_DOWN, true);
    SettledRows(probe);
    labels["zoom"] = kiv.Status(0);
    BareRepaints(plan.repaints);
    SettledRows(probe);
    e2e::PressKeys({VK_MENU});
    for (int i = 0; i < plan.zoomSteps; ++i) {
        double handled = 0;
        const int delta = i % 2 == 0 ? e2e::WHEEL_UP : e2e::WHEEL_DOWN;
        Add("zoom", TimedChange(probe, kiv.Process(), [&] { return e2e::Wheel(child, delta); }, &handled));
        Add("zoom.handled", handled);
    }
    e2e::ReleaseKeys({VK_MENU});
    e2e::LeaveMenuMode(child);
    Progress("zoom steps from %s: median %.2f ms", labels["zoom"].c_str(), Of("zoom").median);
}

// Comparing a 24 MP pair in a window of VIEW_W x VIEW_H: the difference view
// turned on until the window shows it, a change of metric, and scroll steps
// in the difference view.
void CompareSteps(const PictureFiles& files, const Plan& plan) {
    BareRepaints(plan.repaints);
    Kiv kiv("compare");
    const std::string picture = PlaceCopy(kiv, files.photo, "a.jpg");
    const std::string reference = PlaceCopy(kiv, files.walk[0], "b.jpg");
    kiv.Launch({e2e::Widen(reference), e2e::Widen(picture)});
    kiv.WaitFrame();
    kiv.WaitChildCount(2);
    kiv.PlaceFrame(FRAME_W, FRAME_H);
    const HWND other = kiv.ChildTitled(L"b.jpg"), child = kiv.ChildTitled(L"a.jpg");
    REQUIRE(other && child, "the pair's windows are not titled a.jpg and b.jpg");
    kiv.Activate(other);
    WaitPictureReadout(kiv);
    kiv.SendCommand(e2e::IDM_SET_REFERENCE);
    kiv.Activate(child);
    WaitPictureReadout(kiv);
    e2e::MoveChild(child, 0, 0);
    REQUIRE(e2e::SetClientSize(child, VIEW_W, VIEW_H), "the window's client area could not be made %d x %d",
            VIEW_W, VIEW_H);
    e2e::MoveCursorToClient(child, VIEW_W / 2, VIEW_H / 2);
    RowProbe probe(child, {0, VIEW_H / 2, VIEW_H - 1});
    const HANDLE process = kiv.Process();
    auto command = [&](int id) { return e2e::Send(kiv.frame, WM_COMMAND, static_cast<WPARAM>(id), 0); };
    // What each state looks like, learnt untimed: the picture, its difference
    // view and the tolerance mask.
    const std::vector<uint32_t> plain = SettledRows(probe);
    command(e2e::IDM_DIFFERENCE_VIEW);
    const std::vector<uint32_t> difference = SettledRows(probe);
    command(e2e::IDM_METRIC_TOLERANCE_MASK);
    const std::vector<uint32_t> mask = SettledRows(probe);
    REQUIRE(plain != difference && difference != mask, "the difference view looks like the picture or the mask");
    command(e2e::IDM_METRIC_ABSOLUTE);
    command(e2e::IDM_DIFFERENCE_VIEW);
    SettledRows(probe);
    // Timed until the window shows what it was learnt to show.
    auto timed = [&](const std::string& key, int id, const std::vector<uint32_t>& shows) {
        const double start = NowMs();
        REQUIRE(command(id), "the command was not handled");
        Add(key + ".handled", NowMs() - start);
        const double shown = userbench::PollUntil([&] { return probe.Read() == shows; }, process, SHOW_TIMEOUT_MS);
        REQUIRE(shown >= 0, "the window did not show the result of %s", key.c_str());
        Add(key, shown - start);
    };
    for (int i = 0; i < plan.compares; ++i) {
        timed("compare.toggle", e2e::IDM_DIFFERENCE_VIEW, difference);
        timed("compare.metric", e2e::IDM_METRIC_TOLERANCE_MASK, mask);
        timed("compare.metric", e2e::IDM_METRIC_ABSOLUTE, difference);
        command(e2e::IDM_DIFFERENCE_VIEW);
        SettledRows(probe);
    }
    Progress("difference view on: median %.1f ms; metric change: median %.1f ms", Of("compare.toggle").median,
             Of("compare.metric").median);
    command(e2e::IDM_DIFFERENCE_VIEW);
    for (int pass = 0; pass < plan.scrollPasses; ++pass) {
        BareRepaints(plan.repaints);
        REQUIRE(e2e::Send(child, WM_VSCROLL, SB_TOP, 0), "SB_TOP not handled");
        SettledRows(probe);
        for (int i = 0; i < plan.stepsPerPass; ++i) {
            double handled = 0;
            Add("compare.scroll",
                TimedChange(probe, process, [&] { return e2e::Send(child, WM_VSCROLL, SB_LINEDOWN, 0); }, &handled));
            Add("compare.scroll.handled", handled);
        }
    }
    Progress("scroll steps in the difference view: median %.2f ms", Of("compare.scroll").median);
}

// Frame k of the animation (made by run-user-bench) is one flat colour,
// told apart by its red.
uint32_t AnimationColour(int frame) {
    return static_cast<uint32_t>(40 + 2 * frame) << 16 | static_cast<uint32_t>(200 - frame) << 8 | 0x60;
}

// Watches the middle of the view for a few rounds and notes when each frame
// reached the screen. A frame is late by as much as the frame before it
// stayed on the screen past its delay: one hold-up makes one late frame,
// however the player goes on after it. The pace of the whole run (from the
// first change seen to the last, against the delays of the frames between)
// shows any drift that no single frame does.
void AnimationPlays(const std::string& cache) {
    Kiv kiv("animation");
    const std::string gif = PlaceCopy(kiv, cache + "\\" + ANIMATION_FILE, "ss6.gif");
    const HWND child = StartUntimed(kiv, gif);
    kiv.PlaceFrame(FRAME_W, FRAME_H);
    e2e::MoveChild(child, 0, 0);
    REQUIRE(e2e::SetClientSize(child, ANIMATION_W + 40, ANIMATION_H + 40), "cannot size the window");
    RowProbe probe(child, {(ANIMATION_H + 40) / 2});
    std::map<uint32_t, int> frameOf;
    for (int frame = 0; frame < ANIMATION_FRAMES; ++frame) frameOf[AnimationColour(frame)] = frame;
    struct Seen {
        int64_t frame;  // counted on from the first seen, across rounds
        double at;
    };
    std::vector<Seen> seen;
    const double end = NowMs() + ANIMATION_WATCH_MS;
    int last = -1;
    while (NowMs() < end) {
        const std::vector<uint32_t> row = probe.Read();
        const auto found = row.empty() ? frameOf.end() : frameOf.find(row[row.size() / 2]);
        if (found != frameOf.end() && found->second != last) {
            const int64_t before = seen.empty() ? found->second : seen.back().frame;
            const int64_t step = ((found->second - before % ANIMATION_FRAMES) + ANIMATION_FRAMES) % ANIMATION_FRAMES;
            seen.push_back({seen.empty() ? found->second : before + step, NowMs()});
            last = found->second;
        }
        Sleep(1);
    }
    REQUIRE(seen.size() > ANIMATION_FRAMES, "only %u frames seen in %u ms", static_cast<unsigned>(seen.size()),
            static_cast<unsigned>(ANIMATION_WATCH_MS));
    int missed = 0;
    for (size_t i = 1; i < seen.size(); ++i) {
        const int64_t frames = seen[i].frame - seen[i - 1].frame;
        Add("animation.late", std::max(0.0, seen[i].at - seen[i - 1].at - static_cast<double>(frames) * ANIMATION_DELAY_MS));
        // A frame never shown was at least its delay late: it counts so.
        for (int64_t skipped = 1; skipped < frames; ++skipped, ++missed) Add("animation.late", ANIMATION_DELAY_MS);
    }
    Add("animation.pace", (seen.back().at - seen[1].at) /
                              (static_cast<double>(seen.back().frame - seen[1].frame) * ANIMATION_DELAY_MS));
    Add("animation.missed", missed);
    Progress("animation: %u frames seen, %d never shown, worst %.1f ms late", static_cast<unsigned>(seen.size()),
             missed, Of("animation.late").worst);
}

// Runs one part; a part that fails is named in the table, the others go on.
void RunPart(const char* name, const std::function<void()>& part) {
    Progress("%s", name);
    try {
        part();
    } catch (const e2e::CaseAborted&) {
        problems.push_back(std::string(name) + ": ended early (see above)");
    }
}

// The table.

std::string Ms(double value) { return e2e::Format(value < 10 ? "%.2f" : "%.1f", value); }

// One line: repeats, best, median and worst, the target and its verdict,
// and where measured the medians of the time until the message was handled
// and until the frame appeared.
void Row(const std::string& name, const std::string& key, const userbench::Target& target = {}) {
    const userbench::Summary s = Of(key);
    std::string details;
    if (samples.count(key + ".handled")) details += "handled " + Ms(Of(key + ".handled").median) + "  ";
    if (samples.count(key + ".frame")) details += "frame " + Ms(Of(key + ".frame").median);
    if (s.count == 0) {
        std::printf("%-44s %4s %8s %8s %8s   %-36s %s\n", name.c_str(), "0", "-", "-", "-", target.text.c_str(),
                    "not measured");
        return;
    }
    std::printf("%-44s %4u %8s %8s %8s   %-36s %-24s %s\n", name.c_str(), static_cast<unsigned>(s.count),
                Ms(s.best).c_str(), Ms(s.median).c_str(), Ms(s.worst).c_str(), target.text.c_str(),
                target.text.empty() ? "" : userbench::Verdict(s, target).c_str(), details.c_str());
}

userbench::Target TimesBaseline(const char* baseline, double factor, const userbench::Summary& base, const char* plus = "",
                     double plusMedian = 0, double plusBest = 0) {
    userbench::Target target;
    target.onMedians = plusMedian + factor * base.median;
    target.onBests = plusBest + factor * base.best;
    target.text = e2e::Format("<= %s%g x %s = %s", plus, factor, baseline, Ms(target.onMedians).c_str());
    return target;
}

userbench::Target Fixed(double limit, bool onWorst = false) {
    userbench::Target target;
    target.text = e2e::Format(onWorst ? "<= %g throughout" : "<= %g", limit);
    target.onMedians = target.onBests = limit;
    target.onWorst = onWorst;
    return target;
}

const char* const LEGEND = R"(
How each number is measured (kiv.exe driven from outside by kiv_userbench.exe; n repeats; best, median
and worst of them; the verdict is the median over the limit, and in brackets the best over the limit
taken from the baselines' bests; a verdict is printed, never enforced):
- Times end when the screen shows the result: rows of the window's client area (top, middle, bottom)
  are read back from the X screen through GetDC(NULL) + BitBlt every millisecond (after 100 ms every
  1 % of the time waited, at most 10 ms); one read costs "one probe read". So every time includes
  Wine's flush of the window to the X server.
- bare decode: in kiv_userbench itself, the file read into memory and decoded into a fresh 32-bit
  buffer: by GDI+ from a stream with LockBits (as kiv decoded JPEGs before it had its own decoders),
  and by libjpeg-turbo, libpng (its simplified API) and libwebp, the libraries kiv's decoders use,
  from the same builds; before and after the opens, and before each timed 24 MP start.
- bare repaint: a top-level window of ours, client as large as kiv's view; a message (sent as kiv's
  steps are) switches between two client-sized DIB sections and invalidates; WM_PAINT is one BitBlt.
  Timed like the steps, measured before and between the steps' passes.
- start: from CreateProcess of kiv.exe with the file until its first window shows exactly the rows it
  shows once settled (learnt from an untimed start first). "frame": until the frame was visible.
  The 24 MP picture is one photo-like picture as a JPEG (GDI+'s encoder), an 8-bit RGB PNG
  (libpng, default compression) and a lossy WebP (libwebp, quality 90).
- next picture: IDM_NEXT sent to the frame, in a folder of four 24 MP pictures, until the window shows
  the next one exactly; right after the previous one showed, or 2 s later.
- new window: IDM_NEW (another window on ss6.jpg, the picture already shown, file unchanged) until the
  new window shows it exactly; nine times, from one to ten windows.
- scroll step: WM_VSCROLL SB_LINEDOWN sent to the window until each probed row has changed in at
  least half its pixels; 20 steps down from the top per pass. zoom step: Alt held, WM_MOUSEWHEEL sent
  to the window (cursor in its middle), in and out by turns. "handled": until the message returned.
- comparing: a.jpg against b.jpg (two 24 MP pictures) as the reference; IDM_DIFFERENCE_VIEW, or a
  metric (absolute difference and tolerance mask by turns), sent to the frame until the window shows
  what it was seen to show untimed; scroll steps in the difference view as above, at 100 %.
- answering: WM_NULL sent to the frame with SendMessageTimeout every 10 ms from a thread of ours; per
  open, the longest wait for an answer among the pings out between the start (for a start: the frame
  appearing) and 250 ms after the picture showed.
- animation: a GIF made by ImageMagick (run-user-bench), each frame one flat colour, opened untimed in a window a
  little larger than it; the middle row read back every millisecond for 12 s tells which frame
  shows. A frame's lateness is how much longer than its delay the frame before it stayed on the
  screen; late means over half a delay. Frames never shown are those the readings skipped; each
  counts as a delay late. The pace is the time from the second change seen to the last over the
  delays of the frames between.
- memory: committed private bytes (VirtualQueryEx over kiv's address space), once it stays the same;
  one window on a 1 x 1 picture, one and ten windows on the 24 MP picture.
)";

void PrintTable(const PictureFiles& files) {
    const userbench::Summary jpegDecode = Of("decode.jpeg");
    const userbench::Summary repaint = Of("repaint");
    const userbench::Summary floor = Of("start.floor");
    std::printf("\nkiv, speed as the user feels it: ms from the input until the screen shows the result\n");
    std::printf("%-44s %4s %8s %8s %8s   %-36s %-24s %s\n", "", "n", "best", "median", "worst", "target",
                "verdict (median; best)", "medians of");
    std::printf("baselines\n");
    Row(e2e::Format("  bare decode, 24 MP JPEG of %.1f MB, GDI+", FileMegabytes(files.photo)), "decode");
    Row("  bare decode, the same JPEG, libjpeg-turbo", "decode.jpeg");
    Row(e2e::Format("  bare decode, 24 MP PNG of %.1f MB, libpng", FileMegabytes(files.photoPng)), "decode.png");
    Row(e2e::Format("  bare decode, 24 MP WebP of %.1f MB, libwebp", FileMegabytes(files.photoWebP)), "decode.webp");
    Row(e2e::Format("  bare repaint, %d x %d", VIEW_W, VIEW_H), "repaint");
    Row("  one probe read", "probe");
    std::printf("opening\n");
    Row("  start to first picture, 1 x 1 (floor)", "start.floor");
    Row("  start to first picture, 24 MP JPEG", "start.photo",
        TimesBaseline("libjpeg", START_DECODE_FACTOR, jpegDecode, "floor + ", floor.median, floor.best));
    Row("  start to first picture, 24 MP PNG", "start.png",
        TimesBaseline("libpng", START_DECODE_FACTOR, Of("decode.png"), "floor + ", floor.median, floor.best));
    Row("  start to first picture, 24 MP WebP", "start.webp",
        TimesBaseline("libwebp", START_DECODE_FACTOR, Of("decode.webp"), "floor + ", floor.median, floor.best));
    Row("  next JPEG, right after the previous", "next.now",
        TimesBaseline("libjpeg", NEXT_DECODE_FACTOR, jpegDecode));
    Row("  next picture, after a 2 s pause", "next.paused", Fixed(NEXT_AFTER_PAUSE_MS));
    Row("  new window on an unchanged picture", "new_window", Fixed(NEW_WINDOW_MS));
    std::printf("steps with their repaint, view %d x %d\n", VIEW_W, VIEW_H);
    for (const char* zoom : {"33", "100", "300"}) {
        const std::string key = std::string("scroll.") + zoom;
        Row("  scroll step at " + labels[key], key, TimesBaseline("repaint", SCROLL_REPAINT_FACTOR, repaint));
    }
    Row("  zoom step, " + labels["zoom"] + " and one notch in", "zoom",
        TimesBaseline("repaint", ZOOM_REPAINT_FACTOR, repaint));
    std::printf("comparing a 24 MP pair, view %d x %d\n", VIEW_W, VIEW_H);
    Row("  difference view turned on", "compare.toggle", Fixed(DIFFERENCE_TOGGLE_MS));
    Row("  metric changed", "compare.metric", Fixed(METRIC_CHANGE_MS));
    Row("  scroll step in the difference view at 100%", "compare.scroll",
        TimesBaseline("repaint", DIFFERENCE_SCROLL_REPAINT_FACTOR, repaint));
    std::printf("longest time the frame did not answer, per open\n");
    Row("  starts", "unanswered.start", Fixed(UNANSWERED_MS, true));
    Row("  next picture", "unanswered.next", Fixed(UNANSWERED_MS, true));
    Row("  new windows", "unanswered.new_window", Fixed(UNANSWERED_MS, true));
    std::printf("an animation of %d frames of %d x %d at %g ms\n", ANIMATION_FRAMES, ANIMATION_W, ANIMATION_H,
                ANIMATION_DELAY_MS);
    Row("  each frame's lateness", "animation.late",
        Fixed(ANIMATION_DELAY_MS * LATE_SHARE, true));
    Row("  frames never shown (late by a delay above), per run", "animation.missed");
    userbench::Target pace = Fixed(PACE_LIMIT);
    Row("  pace: time taken over the file's delays", "animation.pace", pace);
    std::printf("committed private memory, MB\n");
    Row("  one window on a 1 x 1 picture (floor)", "memory.floor");
    Row("  one window on the 24 MP picture", "memory.one");
    Row("  ten windows on the 24 MP picture", "memory.ten");
    const double picture = static_cast<double>(PHOTO_W) * PHOTO_H * PIXEL_BYTES / MB;
    const double tables = userbench::TableBytes(PHOTO_W > PHOTO_H ? PHOTO_W : PHOTO_H) / MB;
    for (double ten : samples["memory.ten"]) Add("memory.ten_over_floor", ten - Of("memory.floor").median);
    for (size_t i = 0; i < samples["memory.ten"].size() && i < samples["memory.one"].size(); ++i)
        Add("memory.each_more", (samples["memory.ten"][i] - samples["memory.one"][i]) / NEW_WINDOWS);
    Row("  each window beyond the first", "memory.each_more");
    userbench::Target memory = Fixed(picture + 10 * (tables + WINDOW_ALLOWANCE_MB));
    memory.text = e2e::Format("<= %.1f + 10 x (%.2f + %g) = %.1f", picture, tables, WINDOW_ALLOWANCE_MB,
                              memory.onMedians);
    Row("  ten windows less the floor", "memory.ten_over_floor", memory);
    for (const std::string& problem : problems) std::printf("problem: %s\n", problem.c_str());
    std::printf("%s", LEGEND);
}

}  // namespace

int main(int argc, char** argv) {
    e2e::Config& config = e2e::Settings();
    config.rootDir = "C:\\kivbench";
    std::string cache;
    Plan plan = FULL_PLAN;
    bool compareOnly = false;    // the comparing part and its baseline alone
    bool animationOnly = false;  // the animation part alone, as when working on playback
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--quick") plan = QUICK_PLAN;
        else if (option == "--compare-only") compareOnly = true;
        else if (option == "--animation-only") animationOnly = true;
        else if (option == "--kiv" && i + 1 < argc) config.kivPath = argv[++i];
        else if (option == "--cache" && i + 1 < argc) cache = argv[++i];
        else if (option == "--root" && i + 1 < argc) config.rootDir = argv[++i];
        else {
            std::fprintf(stderr, "usage: kiv_userbench --kiv PATH --cache DIR [--root DIR] [--quick | --compare-only | --animation-only]\n");
            return 2;
        }
    }
    if (config.kivPath.empty() || cache.empty()) {
        std::fprintf(stderr, "usage: kiv_userbench --kiv PATH --cache DIR [--root DIR] [--quick | --compare-only | --animation-only]\n");
        return 2;
    }
    if (animationOnly) {
        RunPart("an animation", [&] { AnimationPlays(cache); });
        PrintTable({});
        return problems.empty() ? 0 : 1;
    }
    PictureFiles files;
    try {
        files = EnsurePictures(cache);
    } catch (const e2e::CaseAborted&) {
        return 1;
    }
    std::string error;
    userbench::BareDecodeMs(files.photo, &error);  // warm-up: GDI+ loads its codecs
    userbench::FramePinger pinger;
    if (compareOnly) {
        RunPart("comparing a pair", [&] { CompareSteps(files, plan); });
        PrintTable(files);
        return problems.empty() ? 0 : 1;
    }
    RunPart("bare decodes", [&] { BareDecodes(files, plan.decodes); });
    RunPart("starts on 1 x 1", [&] { FloorStarts(files, plan, pinger); });
    RunPart("starts on 24 MP and new windows", [&] { PhotoStartsAndWindows(files, plan, pinger); });
    RunPart("starts on 24 MP PNG and WebP", [&] { OtherFormatStarts(files, plan, pinger); });
    RunPart("next pictures", [&] { FolderSteps(files, plan, pinger); });
    RunPart("bare decodes", [&] { BareDecodes(files, plan.decodes); });
    RunPart("scroll and zoom steps, and bare repaints between them", [&] { ViewSteps(files, plan); });
    RunPart("comparing a pair", [&] { CompareSteps(files, plan); });
    RunPart("an animation", [&] { AnimationPlays(cache); });
    PrintTable(files);
    return problems.empty() ? 0 : 1;
}
