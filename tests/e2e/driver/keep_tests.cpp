// What kiv keeps for the user: one frame per session (a later start hands its
// files to the running frame, two starts at once end in one frame), settings
// that survive a restart, a damaged settings file that gives the defaults,
// the recent files, and the "Open with" entries under HKCU.
#include <algorithm>
#include <cstring>

#include "harness.h"
#include "kiv.h"
#include "pictures.h"

namespace e2e {
namespace {

// How long a case watches that nothing happens.
constexpr DWORD QUIET_MS = 1500;
constexpr int RACE_ROUNDS = 3;
// The hand-over block as kiv's frame takes it: its kind, then the sender's
// folder and command line in UTF-16, each ended by a zero.
constexpr ULONG_PTR HAND_OVER_KIND = 0x6B697631;
constexpr size_t LONGEST_COMMAND_LINE = 32767;
constexpr wchar_t APPLICATION_KEY[] = L"Software\\Classes\\Applications\\kiv.exe";
// What the first version opens; the list grows with the decoders.
const wchar_t* const FIRST_TYPES[] = {L".bmp", L".dib", L".gif", L".jpg", L".jpeg", L".jpe",
                                      L".jfif", L".png", L".tif", L".tiff", L".ico"};
const wchar_t* const OPEN_WITH_ADDED = L"kiv 已添加到“打开方式”列表。";
const wchar_t* const OPEN_WITH_REMOVED = L"kiv 已从“打开方式”列表中移除。";

std::string WriteBmp(const std::string& path, int width, int height) {
    REQUIRE(WriteBytes(path, EncodeBmp(PatternPicture(width, height))), "cannot write %s", path.c_str());
    return path;
}

std::wstring KivExe() { return Widen(Settings().kivPath); }

BOOL CALLBACK CollectFrames(HWND window, LPARAM frames) {
    if (IsWindowVisible(window) && ClassName(window) == "MDIKIVClass") {
        reinterpret_cast<std::vector<HWND>*>(frames)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> VisibleFrames() {
    std::vector<HWND> frames;
    EnumWindows(CollectFrames, reinterpret_cast<LPARAM>(&frames));
    return frames;
}

HWND FrameOf(DWORD pid) {
    for (HWND frame : VisibleFrames()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(frame, &owner);
        if (owner == pid) return frame;
    }
    return nullptr;
}

RECT WindowRectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<std::wstring> RecentFiles() {
    std::vector<std::wstring> files;
    for (int k = 1; k <= 10; ++k) {
        const std::wstring file = KeptValue(KeptSettingsPath(), L"Recent", (L"File" + std::to_wstring(k)).c_str());
        if (!file.empty()) files.push_back(file);
    }
    return files;
}

bool NewestRecentFileIs(const std::wstring& path) {
    const std::vector<std::wstring> files = RecentFiles();
    return !files.empty() && files.front() == path;
}

std::string Joined(const std::vector<std::wstring>& files) {
    std::string text;
    for (const std::wstring& file : files) text += " \"" + Narrow(file) + "\"";
    return text;
}

void ExpectRecent(const std::vector<std::string>& expected, const char* context) {
    std::vector<std::wstring> wide;
    for (const std::string& file : expected) wide.push_back(Widen(file));
    std::vector<std::wstring> kept;
    CHECK(WaitUntil([&] { return (kept = RecentFiles()) == wide; }, WAIT_TIMEOUT_MS),
          "%s: the recent files are%s, not%s", context, Joined(kept).c_str(), Joined(wide).c_str());
}

void ExitWithCode0(Kiv& kiv, const char* context) {
    kiv.ExpectExit();
    kiv.PostCommand(IDM_EXIT);
    const DWORD code = kiv.WaitExit();
    CHECK(code == 0, "%s: exit code %lu", context, code);
}

// Starts kiv as the user would, without the driver's placing of the frame.
void Restart(Kiv& kiv, const std::vector<std::wstring>& files, size_t windows) {
    kiv.Launch(files);
    kiv.WaitFrame();
    kiv.WaitChildCount(windows);
}

// Types names into the Open dialog's file-name field and presses OK.
void ChooseInOpenDialog(Kiv& kiv, const std::wstring& names) {
    kiv.PostCommand(IDM_OPEN);
    HWND dialog = nullptr;
    REQUIRE(WaitUntil([&] { return (dialog = kiv.FindOpenDialog()) != nullptr; }, WAIT_TIMEOUT_MS),
            "no Open dialog appeared");
    REQUIRE(Send(OpenDialogFileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.c_str())),
            "cannot type into the file-name field");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    REQUIRE(WaitUntil([&] { return !IsWindow(dialog); }, WAIT_TIMEOUT_MS), "the Open dialog stays");
}

// A top-level window of the driver's own at the front, so that a case sees
// kiv's frame come forward.
class DriverWindow {
public:
    DriverWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"e2e", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 500, 200, 150,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {
        SetForegroundWindow(window_);
        WaitUntil([this] { return GetForegroundWindow() == window_; }, WAIT_TIMEOUT_MS);
    }
    ~DriverWindow() { DestroyWindow(window_); }
    bool AtFront() const { return GetForegroundWindow() == window_; }

private:
    HWND window_;
};

std::vector<uint8_t> HandOverBytes(const std::wstring& folder, const std::wstring& commandLine) {
    std::vector<uint8_t> bytes;
    for (const std::wstring* part : {&folder, &commandLine}) {
        const auto* data = reinterpret_cast<const uint8_t*>(part->c_str());
        bytes.insert(bytes.end(), data, data + (part->size() + 1) * sizeof(wchar_t));
    }
    return bytes;
}

// Sends a hand-over as another start would; kiv's answer (TRUE: taken).
LRESULT SendHandOver(Kiv& kiv, ULONG_PTR kind, const std::vector<uint8_t>& bytes) {
    COPYDATASTRUCT data = {};
    data.dwData = kind;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.empty() ? nullptr : const_cast<uint8_t*>(bytes.data());
    LRESULT answer = -1;
    REQUIRE(Send(kiv.frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), &answer), "the frame did not answer");
    return answer;
}

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::wstring RegistryText(const std::wstring& path, const wchar_t* name) {
    wchar_t text[4096] = {};
    DWORD bytes = sizeof text - sizeof(wchar_t);
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY, &type, text, &bytes) != ERROR_SUCCESS) {
        return L"<none>";
    }
    return type == REG_SZ ? text : L"<not a string>";
}

std::vector<std::wstring> ValueNames(const std::wstring& path) {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

// Whatever a case leaves in the registry goes with it.
struct OpenWithCleanup {
    ~OpenWithCleanup() { RegDeleteTreeW(HKEY_CURRENT_USER, APPLICATION_KEY); }
};

}  // namespace

E2E_CASE(keep, later_start_hands_its_files_to_the_running_frame) {
    Kiv kiv("keep_hand_over");
    const std::string a = WriteBmp(kiv.Dir() + "\\a.bmp", 80, 60);
    const std::string sub = kiv.Dir() + "\\sub";
    MakeDirectories(sub);
    WriteBmp(sub + "\\c d.bmp", 70, 50);
    kiv.Start({Widen(a)});

    // A relative name is the later start's own, resolved in its folder; the
    // frame comes to the front.
    {
        DriverWindow front;
        Started later(KivExe(), {L"c d.bmp"}, sub);
        CHECK(later.WaitExit() == 0, "the later start did not end with code 0");
        kiv.WaitChildCount(2);
        CHECK(WaitUntil([&] { return WindowTextW(kiv.ActiveChild()) == L"c d.bmp" && kiv.Status(3) == "70 x 50   1/1"; },
                        WAIT_TIMEOUT_MS),
              "the handed file is not the active window: \"%s\", part 3 \"%s\"",
              Narrow(WindowTextW(kiv.ActiveChild())).c_str(), kiv.Status(3).c_str());
        if (front.AtFront() || GetForegroundWindow() == kiv.frame) {
            CHECK(WaitUntil([&] { return GetForegroundWindow() == kiv.frame; }, WAIT_TIMEOUT_MS),
                  "the frame did not come to the front");
        } else {
            Note("SKIPPED: the driver's window never took the front, so kiv coming forward cannot be seen");
        }
    }

    // Without files: the frame is only restored and brought forward.
    ShowWindow(kiv.frame, SW_MINIMIZE);
    REQUIRE(WaitUntil([&] { return IsIconic(kiv.frame) != FALSE; }, WAIT_TIMEOUT_MS), "cannot minimise the frame");
    {
        Started later(KivExe(), {}, kiv.Dir());
        CHECK(later.WaitExit() == 0, "the later start without files did not end with code 0");
    }
    CHECK(WaitUntil([&] { return !IsIconic(kiv.frame); }, WAIT_TIMEOUT_MS), "the minimised frame was not restored");
    Pause(QUIET_MS);
    CHECK(kiv.Children().size() == 2 && VisibleFrames().size() == 1,
          "a start without files left %u document windows in %u frames", static_cast<unsigned>(kiv.Children().size()),
          static_cast<unsigned>(VisibleFrames().size()));

    // A file that is not there: the running frame says why, as a start would.
    {
        Started later(KivExe(), {L"gone.bmp"}, kiv.Dir());
        CHECK(later.WaitExit() == 0, "the later start with a missing file did not end with code 0");
    }
    const MessageBoxSeen seen = kiv.WaitMessageBox(false);
    CHECK(seen.text == CannotOpenText(kiv.Dir() + "\\gone.bmp", REASON_NOT_FOUND), "the message reads \"%s\"",
          Narrow(seen.text).c_str());
    kiv.AnswerMessageBox(seen);

    // Hand-overs that are not whole are refused whole (the unit tests hold
    // the full list); a well-made one of this driver's own is taken.
    const std::vector<uint8_t> good = HandOverBytes(Widen(sub), L"kiv.exe \"c d.bmp\"");
    const struct {
        const char* what;
        ULONG_PTR kind;
        std::vector<uint8_t> bytes;
    } refused[] = {
        {"another kind", HAND_OVER_KIND + 1, good},
        {"no zero at the end", HAND_OVER_KIND, std::vector<uint8_t>(good.begin(), good.end() - sizeof(wchar_t))},
        {"a relative folder", HAND_OVER_KIND, HandOverBytes(L"sub", L"kiv.exe a.bmp")},
        {"a command line too long", HAND_OVER_KIND, HandOverBytes(Widen(sub), std::wstring(LONGEST_COMMAND_LINE + 1, L'x'))},
        {"nothing", HAND_OVER_KIND, {}},
    };
    for (const auto& block : refused) {
        CHECK(SendHandOver(kiv, block.kind, block.bytes) == FALSE, "a hand-over with %s was taken", block.what);
    }
    CHECK(SendHandOver(kiv, HAND_OVER_KIND, good) == TRUE, "a well-made hand-over was refused");
    kiv.WaitChildCount(3);
    Pause(QUIET_MS);
    CHECK(kiv.Children().size() == 3 && kiv.FindMessageBox() == nullptr, "the refused hand-overs opened something");
    // The taken hand-over's file reaches this frame's recent files, saved;
    // the later frame's save below must come after it to be the last word.
    const std::wstring handedOver = Widen(sub + "\\c d.bmp");
    CHECK(WaitUntil([&] { return NewestRecentFileIs(handedOver); }, WAIT_TIMEOUT_MS),
          "the handed-over file did not reach the recent files");

    // 每次启动新的主窗口: later starts keep frames of their own; turned off
    // again, this frame takes their files once more.
    kiv.SendCommand(IDM_NEW_FRAME_EACH_START);
    CHECK(KeptValue(KeptSettingsPath(), L"Options", L"OneFrame") == L"0", "OneFrame=0 was not kept");
    Started own(KivExe(), {Widen(a)}, kiv.Dir());
    CHECK(WaitUntil([&] { return FrameOf(own.Pid()) != nullptr; }, WAIT_TIMEOUT_MS),
          "with 每次启动新的主窗口 on, a later start has no frame of its own");
    CHECK(own.Running() && kiv.Children().size() == 3, "the later start did not keep its own frame");
    // It writes the settings file too, once its file is open (newest first in
    // its recent files); the mode turned on here must come after that.
    CHECK(WaitUntil([&] { return NewestRecentFileIs(Widen(a)); }, WAIT_TIMEOUT_MS),
          "the later start did not keep its file among the recent ones");
    kiv.SendCommand(IDM_NEW_FRAME_EACH_START);
    Started later(KivExe(), {Widen(a)}, kiv.Dir());
    CHECK(later.WaitExit() == 0, "with the mode back on, the later start did not end with code 0");
    CHECK(WaitUntil([&] { return kiv.Children().size() == 4; }, WAIT_TIMEOUT_MS),
          "with the mode back on, the frame has %u document windows, not 4", static_cast<unsigned>(kiv.Children().size()));
}

E2E_CASE(keep, two_starts_at_once_end_in_one_frame) {
    Kiv kiv("keep_race");
    const std::string a = WriteBmp(kiv.Dir() + "\\a.bmp", 80, 60);
    const std::string b = WriteBmp(kiv.Dir() + "\\b.bmp", 60, 80);
    for (int round = 0; round < RACE_ROUNDS; ++round) {
        std::vector<Started> starts;
        starts.emplace_back(KivExe(), std::vector<std::wstring>{Widen(a)}, kiv.Dir());
        starts.emplace_back(KivExe(), std::vector<std::wstring>{Widen(b)}, kiv.Dir());
        REQUIRE(WaitUntil([&] { return !starts[0].Running() || !starts[1].Running(); }, WAIT_TIMEOUT_MS),
                "round %d: both starts keep running", round);
        const size_t ended = starts[0].Running() ? 1 : 0;
        CHECK(starts[ended].WaitExit() == 0, "round %d: the start that handed over did not end with code 0", round);
        kiv.Adopt(std::move(starts[1 - ended]));
        kiv.WaitFrame();
        kiv.WaitChildCount(2);
        CHECK(WaitUntil([&] { return kiv.ChildTitled(L"a.bmp") && kiv.ChildTitled(L"b.bmp"); }, WAIT_TIMEOUT_MS),
              "round %d: the frame does not hold both files", round);
        CHECK(VisibleFrames().size() == 1, "round %d: %u frames", round, static_cast<unsigned>(VisibleFrames().size()));
        ExitWithCode0(kiv, "after the race");
    }
}

E2E_CASE(keep, settings_survive_a_restart) {
    Kiv kiv("keep_restart");
    const std::string a = WriteBmp(kiv.Dir() + "\\a.bmp", 80, 60);
    MakeDirectories(kiv.Dir() + "\\sub");
    const std::string b = WriteBmp(kiv.Dir() + "\\sub\\b.bmp", 60, 40);
    kiv.Start({Widen(a)});
    // The Open dialog is last used in sub.
    ChooseInOpenDialog(kiv, Widen(b));
    kiv.WaitChildCount(2);
    kiv.SendCommand(IDM_AUTO_RELOAD);
    kiv.SendCommand(IDM_LINK_VIEWS);
    // The compare settings: squared differences, twice the exposure, a
    // tolerance of 16, centres aligned.
    kiv.SendCommand(IDM_METRIC_ABSOLUTE + 1);
    kiv.SendCommand(IDM_EXPOSURE_UP);
    kiv.SendCommand(IDM_TOLERANCE_UP_16);
    kiv.SendCommand(IDM_ALIGN_CENTRE);
    const RECT placed = {60, 40, 60 + 900, 40 + 700};
    SetWindowPos(kiv.frame, nullptr, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Send(kiv.frame, WM_NULL, 0, 0);
    ExitWithCode0(kiv, "first run");

    Restart(kiv, {Widen(a)}, 1);
    const RECT restored = WindowRectOf(kiv.frame);
    CHECK(SameRect(restored, placed), "the frame is at %ld,%ld-%ld,%ld, not where it was closed", restored.left,
          restored.top, restored.right, restored.bottom);
    // Automatic reload is on: a new picture in the file shows by itself.
    REQUIRE(WaitUntil([&] { return kiv.Status(3) == "80 x 60   1/1"; }, WAIT_TIMEOUT_MS), "part 3 reads \"%s\"",
            kiv.Status(3).c_str());
    REQUIRE(WaitUntil([&] { return WriteBytes(a, EncodeBmp(PatternPicture(50, 40))); }, WAIT_TIMEOUT_MS),
            "cannot write %s", a.c_str());
    CHECK(WaitUntil([&] { return kiv.Status(3) == "50 x 40   1/1"; }, WAIT_TIMEOUT_MS),
          "automatic reload did not last: part 3 reads \"%s\"", kiv.Status(3).c_str());
    // Linked views are on: turning them over now turns them off.
    kiv.SendCommand(IDM_LINK_VIEWS);
    CHECK(KeptValue(KeptSettingsPath(), L"Options", L"LinkedViews") == L"0", "linked views did not last");
    // The compare settings came back: one more step of each goes on from them.
    kiv.SendCommand(IDM_EXPOSURE_UP);
    kiv.SendCommand(IDM_TOLERANCE_UP_16);
    const std::wstring compare[] = {KeptValue(KeptSettingsPath(), L"Compare", L"Metric"),
                                    KeptValue(KeptSettingsPath(), L"Compare", L"Exposure"),
                                    KeptValue(KeptSettingsPath(), L"Compare", L"Tolerance"),
                                    KeptValue(KeptSettingsPath(), L"Compare", L"Alignment")};
    CHECK(compare[0] == L"squared" && compare[1] == L"2" && compare[2] == L"32" && compare[3] == L"centre",
          "the compare settings did not last: metric %s, exposure %s, tolerance %s, alignment %s",
          Narrow(compare[0]).c_str(), Narrow(compare[1]).c_str(), Narrow(compare[2]).c_str(),
          Narrow(compare[3]).c_str());

    // A maximised frame comes back maximised.
    ShowWindow(kiv.frame, SW_MAXIMIZE);
    REQUIRE(WaitUntil([&] { return IsZoomed(kiv.frame) != FALSE; }, WAIT_TIMEOUT_MS), "cannot maximise the frame");
    ExitWithCode0(kiv, "second run");
    Restart(kiv, {Widen(a)}, 1);
    CHECK(IsZoomed(kiv.frame), "the frame was closed maximised and is not maximised now");

    // Without a picture to start from, the Open dialog starts where it was
    // last used: a bare name there is sub's b.bmp (there is none beside a.bmp).
    kiv.SendCommand(IDM_CLOSE);
    kiv.WaitChildCount(0);
    ChooseInOpenDialog(kiv, L"b.bmp");
    kiv.WaitChildCount(1);
    CHECK(WaitUntil([&] { return kiv.Status(3) == "60 x 40   1/1"; }, WAIT_TIMEOUT_MS),
          "the Open dialog did not start in its last folder: part 3 reads \"%s\"", kiv.Status(3).c_str());
}

E2E_CASE(keep, portable_settings_beside_the_program) {
    Kiv kiv("keep_portable");
    const std::string a = WriteBmp(kiv.Dir() + "\\a.bmp", 80, 60);
    const std::string folder = kiv.Dir() + "\\portable";
    MakeDirectories(folder);
    const std::string exe = folder + "\\kiv.exe", beside = folder + "\\kiv.ini";
    REQUIRE(CopyFileW(KivExe().c_str(), Widen(exe).c_str(), FALSE), "cannot copy kiv.exe");
    REQUIRE(WriteBytes(beside, {}), "cannot write the empty kiv.ini");

    kiv.Adopt(Started(Widen(exe), {Widen(a)}, kiv.Dir()));
    kiv.WaitFrame();
    kiv.WaitChildCount(1);
    kiv.SendCommand(IDM_AUTO_RELOAD);
    CHECK(KeptValue(beside, L"Options", L"AutoReload") == L"1", "the kiv.ini beside the program was not written");
    CHECK(KeptValue(beside, L"Recent", L"File1") == Widen(a), "the recent file is not in the kiv.ini beside it");
    CHECK(GetFileAttributesW(Widen(KeptSettingsPath()).c_str()) == INVALID_FILE_ATTRIBUTES,
          "settings were written to the application data folder as well");
    CHECK(GetFileAttributesW(Widen(beside + ".tmp").c_str()) == INVALID_FILE_ATTRIBUTES,
          "the temporary file stays after saving");
}

E2E_CASE(keep, damaged_settings_file_gives_the_defaults) {
    Kiv kiv("keep_damaged");
    const std::string a = WriteBmp(kiv.Dir() + "\\a.bmp", 80, 60);
    // Where the frame goes without settings.
    Restart(kiv, {Widen(a)}, 1);
    const RECT fresh = WindowRectOf(kiv.frame);
    ExitWithCode0(kiv, "without settings");

    std::vector<uint8_t> noise(4096);
    uint32_t state = 12345;
    for (uint8_t& byte : noise) byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    const std::string wrongKinds =
        "[Frame]\r\nLeft=abc\r\nTop=1e3\r\nRight=999999999999\r\nBottom=-\r\nMaximized=yes\r\n"
        "[Options]\r\nOneFrame=2\r\nAutoReload=on\r\nLinkedViews=\r\nLanguage=klingon\r\nOpenFolder=relative\\x\r\n"
        "[Compare]\r\nExposure=99\r\nMetric=\xff\xfe\r\n"
        "[Recent]\r\nFile1=not full.bmp\r\nFile2=C:\\x\x01y.bmp\r\nFile3=\\\\\r\n";
    const std::string offScreen = "[Frame]\r\nLeft=5000\r\nTop=5000\r\nRight=5800\r\nBottom=5600\r\nMaximized=1\r\n";
    const std::string longLine = "[Options]\r\nAutoReload=" + std::string(1 << 20, '1') + "\r\n[Recent]\r\nFile1=C:\\" +
                                 std::string(40000, 'x') + ".bmp\r\n";
    const struct {
        const char* what;
        std::string text;
        bool folder;
    } damages[] = {
        {"random bytes", std::string(noise.begin(), noise.end()), false},
        {"values of the wrong kind", wrongKinds, false},
        {"a frame on no screen", offScreen, false},
        {"values longer than any path", longLine, false},
        {"a folder named kiv.ini", "", true},
    };
    for (const auto& damage : damages) {
        ResetKeptSettings();
        MakeDirectories(KeptSettingsPath().substr(0, KeptSettingsPath().rfind('\\')));
        if (damage.folder) {
            MakeDirectories(KeptSettingsPath());
        } else {
            REQUIRE(WriteBytes(KeptSettingsPath(), std::vector<uint8_t>(damage.text.begin(), damage.text.end())),
                    "cannot write kiv.ini");
        }
        Restart(kiv, {Widen(a)}, 1);
        const RECT rect = WindowRectOf(kiv.frame);
        CHECK(SameRect(rect, fresh) && !IsZoomed(kiv.frame), "%s: the frame is at %ld,%ld-%ld,%ld%s, not %ld,%ld-%ld,%ld",
              damage.what, rect.left, rect.top, rect.right, rect.bottom, IsZoomed(kiv.frame) ? " maximised" : "",
              fresh.left, fresh.top, fresh.right, fresh.bottom);
        // No recent files but the one just opened: the second entry opens nothing.
        kiv.SendCommand(IDM_RECENT_FIRST + 1);
        Pause(QUIET_MS);
        CHECK(kiv.Children().size() == 1 && kiv.FindMessageBox() == nullptr, "%s: a message or a recent file showed",
              damage.what);
        if (!damage.folder) ExpectRecent({a}, damage.what);
        // Automatic reload starts off: turning it over writes it on.
        kiv.SendCommand(IDM_AUTO_RELOAD);
        if (!damage.folder) {
            CHECK(KeptValue(KeptSettingsPath(), L"Options", L"AutoReload") == L"1", "%s: automatic reload was not off",
                  damage.what);
        } else {
            const DWORD attributes = GetFileAttributesW(Widen(KeptSettingsPath()).c_str());
            CHECK(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY),
                  "the folder named kiv.ini was replaced");
        }
        ExitWithCode0(kiv, damage.what);
    }
}

E2E_CASE(keep, recent_files) {
    Kiv kiv("keep_recent");
    kiv.WritePicture(PatternPicture(40, 30));
    const std::string a = WriteBmp(kiv.Dir() + "\\a.bmp", 80, 60);
    const std::string b = WriteBmp(kiv.Dir() + "\\b.bmp", 60, 80);
    const std::string many = kiv.Dir() + "\\many";
    MakeDirectories(many);
    std::vector<std::string> dropped;
    for (int k = 0; k <= 10; ++k) dropped.push_back(WriteBmp(many + "\\c" + std::to_string(k) + ".bmp", 20 + k, 20));

    kiv.Start({Widen(a), Widen(b)});
    ExpectRecent({b, a}, "two files named at the start");
    // An entry opens its file again and becomes the newest.
    kiv.SendCommand(IDM_RECENT_FIRST + 1);
    kiv.WaitChildCount(3);
    CHECK(WaitUntil([&] { return WindowTextW(kiv.ActiveChild()) == L"a.bmp"; }, WAIT_TIMEOUT_MS),
          "the second entry did not open a.bmp");
    ExpectRecent({a, b}, "after opening the second entry");

    // Eleven files at once: the last ten, newest first.
    kiv.Drop(kiv.frame, dropped);
    kiv.WaitChildCount(14);
    std::vector<std::string> expected(dropped.rbegin(), dropped.rend() - 1);
    ExpectRecent(expected, "eleven files dropped");
    // The same file by another spelling moves to the front, once.
    const std::string upper = kiv.Dir() + "\\MANY\\C5.BMP";
    kiv.Drop(kiv.frame, {upper});
    kiv.WaitChildCount(15);
    expected.erase(std::find(expected.begin(), expected.end(), dropped[5]));
    expected.insert(expected.begin(), upper);
    ExpectRecent(expected, "c5.bmp again as C5.BMP");

    // A file that is gone: its reason, and it leaves the list.
    REQUIRE(DeleteFileW(Widen(dropped[9]).c_str()), "cannot delete %s", dropped[9].c_str());
    const size_t gone = std::find(expected.begin(), expected.end(), dropped[9]) - expected.begin();
    kiv.PostCommand(IDM_RECENT_FIRST + static_cast<int>(gone));
    const MessageBoxSeen seen = kiv.WaitMessageBox(false);
    CHECK(seen.text == CannotOpenText(dropped[9], REASON_NOT_FOUND), "the message reads \"%s\"",
          Narrow(seen.text).c_str());
    kiv.AnswerMessageBox(seen);
    expected.erase(expected.begin() + gone);
    ExpectRecent(expected, "after choosing a file that is gone");

    // A name in any script survives the file and a restart.
    const std::string photo = WriteBmp(kiv.Dir() + "\\照片 ñ ✓.bmp", 30, 20);
    kiv.Drop(kiv.frame, {photo});
    kiv.WaitChildCount(16);
    expected.insert(expected.begin(), photo);
    ExpectRecent(expected, "a name outside ASCII");
    ExitWithCode0(kiv, "before the restart");
    Restart(kiv, {}, 1);
    kiv.SendCommand(IDM_RECENT_FIRST);
    kiv.WaitChildCount(2);
    CHECK(WaitUntil([&] { return kiv.ChildTitled(L"照片 ñ ✓.bmp") != nullptr; }, WAIT_TIMEOUT_MS),
          "after the restart the first entry did not open 照片 ñ ✓.bmp");
    ExpectRecent(expected, "after the restart");

    // 清除列表 empties it; the first entry then opens nothing.
    kiv.SendCommand(IDM_RECENT_CLEAR);
    ExpectRecent({}, "after 清除列表");
    kiv.SendCommand(IDM_RECENT_FIRST);
    Pause(QUIET_MS);
    CHECK(kiv.Children().size() == 2 && kiv.FindMessageBox() == nullptr, "an entry of the cleared list opened");
}

E2E_CASE(keep, open_with_entries_under_hkcu) {
    OpenWithCleanup cleanup;
    Kiv kiv("keep_open_with");
    const std::string a = WriteBmp(kiv.Dir() + "\\a.bmp", 80, 60);
    RegDeleteTreeW(HKEY_CURRENT_USER, APPLICATION_KEY);
    const bool pngBefore = KeyExists(L"Software\\Classes\\.png");
    kiv.Start({Widen(a)});

    kiv.PostCommand(IDM_OPEN_WITH_ADD);
    MessageBoxSeen seen = kiv.WaitMessageBox(false);
    CHECK(seen.text == OPEN_WITH_ADDED, "after adding, the message reads \"%s\"", Narrow(seen.text).c_str());
    kiv.AnswerMessageBox(seen);
    const std::wstring application = APPLICATION_KEY;
    const std::wstring command = RegistryText(application + L"\\shell\\open\\command", nullptr);
    const std::wstring expected = L"\"" + KivExe() + L"\" \"%1\"";
    CHECK(_wcsicmp(command.c_str(), expected.c_str()) == 0, "the open command is %s, not %s", Narrow(command).c_str(),
          Narrow(expected).c_str());
    const std::vector<std::wstring> types = ValueNames(application + L"\\SupportedTypes");
    // The decoders' own WebP and, from the system's codecs, DDS join them.
    std::vector<const wchar_t*> wanted(std::begin(FIRST_TYPES), std::end(FIRST_TYPES));
    wanted.insert(wanted.end(), {L".webp", L".dds"});
    for (const wchar_t* type : wanted) {
        CHECK(std::find(types.begin(), types.end(), type) != types.end(), "SupportedTypes lacks %s",
              Narrow(type).c_str());
    }
    for (const std::wstring& type : types) {
        const bool wellFormed = type.size() > 1 && type[0] == L'.' &&
                                std::none_of(type.begin(), type.end(), [](wchar_t c) { return c >= L'A' && c <= L'Z'; });
        CHECK(wellFormed, "SupportedTypes names \"%s\"", Narrow(type).c_str());
    }
    CHECK(KeyExists(L"Software\\Classes\\.png") == pngBefore, "the .png type itself was changed");

    kiv.PostCommand(IDM_OPEN_WITH_REMOVE);
    seen = kiv.WaitMessageBox(false);
    CHECK(seen.text == OPEN_WITH_REMOVED, "after removing, the message reads \"%s\"", Narrow(seen.text).c_str());
    kiv.AnswerMessageBox(seen);
    CHECK(!KeyExists(application), "the entries are still there after removing them");
}

}  // namespace e2e
