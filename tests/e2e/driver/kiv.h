// The program under test, seen from outside: started in its own folder, its
// windows found by class, its status bar read across the process boundary,
// its message boxes read and answered, its exit code collected.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pictures.h"

namespace e2e {

struct Config {
    std::string kivPath;     // Windows path of kiv.exe
    std::string dbgwinPath;  // Windows path of dbgwin.exe
    std::string rootDir = "C:\\kivtests";
    std::string failureImages;  // Windows path that failure images' names start with, if any
    // The pictures made by the reference tools (tests/e2e/scripts/make-pictures).
    std::string picturesDir;
};
Config& Settings();

// Where the next pair of images of a failed screen check goes: the
// failureImages setting, the case's name and a number, or empty without the
// setting.
std::string FailureImagePrefix();

// The program's menu commands.
enum Command : int {
    IDM_EXIT = 40001,
    IDM_TILEHORZ = 40002,
    IDM_TILEVERT = 40003,
    IDM_CASCADE = 40004,
    IDM_NEW = 40005,
    IDM_CLOSE = 40006,
    IDM_OPEN = 40007,
    IDM_NEXT = 40008,
    IDM_PREVIOUS = 40009,
    IDM_ZOOM_IN = 40010,
    IDM_ZOOM_OUT = 40011,
    IDM_ZOOM_IN_PRESET = 40012,
    IDM_ZOOM_OUT_PRESET = 40013,
    IDM_ACTUAL_SIZE = 40014,
    IDM_FIT = 40015,
    IDM_ROTATE_CLOCKWISE = 40016,
    IDM_ROTATE_ANTICLOCKWISE = 40017,
    IDM_FLIP = 40018,
    IDM_COPY_PICTURE = 40019,
    IDM_COPY_PATH = 40020,
    IDM_RELOAD = 40021,
    IDM_AUTO_RELOAD = 40022,
    IDM_LINK_VIEWS = 40023,
    IDM_PAUSE_ANIMATION = 40024,
    IDM_PREVIOUS_FRAME = 40025,
    IDM_NEXT_FRAME = 40026,
    IDM_SET_REFERENCE = 40040,
    IDM_DIFFERENCE_VIEW = 40041,
    IDM_METRIC_ABSOLUTE = 40044,  // one per metric, in the order of the 度量 menu
    IDM_METRIC_TOLERANCE_MASK = 40049,
    IDM_EXPOSURE_UP = 40050,
    IDM_TOLERANCE_UP_16 = 40054,
    IDM_TOLERANCE_DOWN_16 = 40055,
    IDM_ALIGN_TOP_LEFT = 40056,
    IDM_ALIGN_CENTRE = 40057,
    IDM_SHOW_REFERENCE = 40058,
    IDM_COMPARE_INFO = 40070,
    IDM_SCROLL_LEFT = 40030,
    IDM_SCROLL_RIGHT = 40031,
    IDM_SCROLL_UP = 40032,
    IDM_SCROLL_DOWN = 40033,
    IDM_PAGE_UP = 40034,
    IDM_PAGE_DOWN = 40035,
    IDM_HOME = 40036,
    IDM_END = 40037,
    IDM_LANGUAGE_CHINESE = 40120,
    IDM_LANGUAGE_ENGLISH = 40121,
    IDM_KEYS = 40122,
    IDM_ABOUT = 40123,
    IDM_NEW_FRAME_EACH_START = 40101,
    IDM_OPEN_WITH_ADD = 40102,
    IDM_OPEN_WITH_REMOVE = 40103,
    IDM_RECENT_CLEAR = 40104,
    IDM_RECENT_FIRST = 40110,  // the newest of the recent files; + 1 the next
};

// Texts the program shows, as UTF-16 so they compare with what Wine reads back.
extern const wchar_t* const FRAME_TITLE;
extern const wchar_t* const INFO_CAPTION;
extern const wchar_t* const DECODE_FAILED;
extern const wchar_t* const HBITMAP_FAILED;
extern const wchar_t* const SURFACE_FAILED;
extern const wchar_t* const PICTURE_TOO_LARGE;

// Why a file named by the user does not open: the second line of the message
// "无法打开文件 <full path>", and what a reload that fails shows in status part 3.
extern const wchar_t* const REASON_NOT_FOUND;
extern const wchar_t* const REASON_IS_FOLDER;
extern const wchar_t* const REASON_UNREADABLE;
extern const wchar_t* const REASON_EMPTY;
extern const wchar_t* const REASON_NOT_A_PICTURE;
extern const wchar_t* const REASON_DAMAGED;
extern const wchar_t* const REASON_OUT_OF_MEMORY;
extern const wchar_t* const REASON_TWELVE_BIT_JPEG;
std::wstring TooLargeReason(uint32_t width, uint32_t height);
std::wstring CannotOpenText(const std::string& fullPath, const std::wstring& reason);

struct MessageBoxSeen {
    HWND box = nullptr;
    std::wstring caption;
    std::wstring text;
    int visibleButtons = 0;
    bool okButton = false;  // the one visible button is IDOK
    HWND owner = nullptr;
};

std::string Narrow(const std::wstring& text);

// A started process: ended (if it still runs) and closed when it goes, unless
// a Kiv adopted it.
class Started {
public:
    Started(const std::wstring& exe, const std::vector<std::wstring>& arguments, const std::string& directory);
    ~Started();
    Started(Started&& other) noexcept;
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    HANDLE Process() const { return process_; }
    DWORD Pid() const { return pid_; }
    bool Running() const;
    // Waits for its end: its exit code, or STILL_ACTIVE if it did not end in time.
    DWORD WaitExit();

private:
    friend class Kiv;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// The settings file kiv uses while no kiv.ini lies beside it: kiv.ini in
// the user's application data folder, inside the run's Wine prefix.
std::string KeptSettingsPath();
// Every case starts from no settings file: the defaults.
void ResetKeptSettings();
// A value of a settings file ("" when there is none).
std::wstring KeptValue(const std::string& file, const wchar_t* section, const wchar_t* key);

class Kiv {
public:
    explicit Kiv(const std::string& caseName);
    ~Kiv();
    Kiv(const Kiv&) = delete;
    Kiv& operator=(const Kiv&) = delete;

    // The case folder (the program's current directory) and its picture file.
    const std::string& Dir() const { return dir_; }
    std::string PicturePath() const { return dir_ + "\\ss6.jpg"; }
    void WritePicture(const Picture& picture);

    // Starts the program in the case folder; each argument is quoted.
    void Launch(const std::vector<std::wstring>& arguments = {});
    // From now on the program under test is this process (a start that kept
    // its frame); the one before, if still running, is ended.
    void Adopt(Started&& started);
    // From now on Launch starts kiv_gated.exe, the program with the tests'
    // decode gate (see HeldDecodes), from the folder of kiv.exe.
    void UseGatedProgram() { gated_ = true; }
    // Finds the visible frame, its MDI client and status bar, if they are there.
    bool FindFrame();
    // Waits for the frame, its MDI client and status bar.
    void WaitFrame();
    // Launch (with the files, if any), wait for the frame and a document
    // window per file (one without) with the last at 100 %, and put the
    // frame at a known place and size.
    HWND Start(const std::vector<std::wstring>& files = {});

    bool Alive() const;
    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_; }
    // From now on an exit of the program is what the case waits for.
    void ExpectExit() { exitExpected_ = true; }
    DWORD WaitExit();

    HWND frame = nullptr;
    HWND mdiClient = nullptr;
    HWND statusBar = nullptr;

    std::vector<HWND> Children() const;
    HWND ActiveChild() const;
    HWND WaitChildCount(size_t count);

    std::string Status(int part);
    std::wstring StatusW(int part);  // for texts outside ASCII
    std::vector<int> StatusParts();

    // Menu commands: Send waits until the frame has handled it; Post does not.
    void SendCommand(int id);
    void PostCommand(int id);

    // A message box of the program, or null when none shows.
    HWND FindMessageBox() const;
    // Waits for a message box; unless it is one after which the program
    // ends, its exit stays a failure.
    MessageBoxSeen WaitMessageBox(bool endsProgram = true);
    // Presses OK and waits until the box has gone.
    void AnswerMessageBox(const MessageBoxSeen& seen);
    // The Open dialog: a dialog of the program with a file-name field, or null.
    HWND FindOpenDialog() const;

    // Brings a document window to the front (it becomes the active one).
    void Activate(HWND child);
    // The document window titled title, or null.
    HWND ChildTitled(const std::wstring& title) const;

    // Hands files to target as the shell does when they are dropped on it: a
    // DROPFILES block in the program's memory, posted as WM_DROPFILES.
    void Drop(HWND target, const std::vector<std::string>& paths);

    // Puts the frame at the screen's top-left corner with the given size.
    void PlaceFrame(int width, int height);

    // Committed private memory of the process, in bytes.
    size_t PrivateBytes() const;

private:
    void CheckHealth();
    std::string dir_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    bool exitExpected_ = false;
    bool gated_ = false;
    void* remoteBuffer_ = nullptr;
    ULONGLONG lastCrashScan_ = 0;
};

// Holds every decode of a file of the given name in kiv_gated.exe at its
// gate, just before the pixels are decoded (their memory is already there),
// until Open; Hold closes the gate again for the decodes that come later.
// Open once it goes.
class HeldDecodes {
public:
    explicit HeldDecodes(const std::wstring& fileName);
    ~HeldDecodes();
    HeldDecodes(const HeldDecodes&) = delete;
    HeldDecodes& operator=(const HeldDecodes&) = delete;
    void Open();
    void Hold();

private:
    HANDLE gate_;
};

// Holds kiv's window thread still, so that things done meanwhile (files
// written, say) all lie before anything it handles next: a debug viewer of
// the driver's own ("DbgWinClass" with an "Edit" child) that does not answer
// until Release. kiv traces a vertical wheel scroll into the viewer and waits
// for each answer; nothing posted to it (a change notification, a timer) is
// handled meanwhile. The view must have a vertical bar: the notch, posted
// with no key held, scrolls it a line down once released.
class HeldWindowThread {
public:
    explicit HeldWindowThread(HWND view);  // returns once kiv waits, or it never came
    ~HeldWindowThread();                    // releases it, if still held
    HeldWindowThread(const HeldWindowThread&) = delete;
    HeldWindowThread& operator=(const HeldWindowThread&) = delete;
    bool Holding() const;
    void Release();

private:
    static DWORD WINAPI ViewerThread(void* self);
    HANDLE ready_ = nullptr;    // the viewer is there
    HANDLE held_ = nullptr;     // kiv waits for its answer
    HANDLE release_ = nullptr;  // it may answer
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    bool released_ = false;
};

// The status parts' right edges: parts 1 to 4 partWidth pixels wide (150 at
// 96 DPI), part 4 ending at the frame's right edge.
constexpr int STATUS_PART_WIDTH = 150;
void ExpectStatusEdges(Kiv& kiv, const char* context, int partWidth = STATUS_PART_WIDTH);

// Window helpers that work across the process boundary.
std::wstring WindowTextW(HWND window);
std::string ClassName(HWND window);
SIZE ClientSize(HWND window);
SIZE WindowSize(HWND window);
RECT WindowRectIn(HWND window, HWND parent);  // window rectangle in parent's client coordinates
// Sizes a document window so that its client area is width x height (scroll
// bars that come or go are allowed for); returns whether it got there.
bool SetClientSize(HWND child, int width, int height);
void MoveChild(HWND child, int x, int y);
bool HasStyle(HWND window, DWORD style);
// Sends a message and waits for it to be handled; false on time-out.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);

// The window that a drop at client point (x, y) of window goes to: the window
// under the point or its nearest ancestor that accepts files (null if none).
HWND DropTargetAt(HWND window, int x, int y);

// The file-name field of the Open dialog.
HWND OpenDialogFileNameField(HWND dialog);

// Whether the kiv.exe under test is a 32-bit program (read from its PE header).
bool Is32BitBuild();

// Whether a Wine crash report (winedbg) is running.
bool CrashReporterRunning();

// Case folders and the debug viewer's launch path on drive C.
void MakeDirectories(const std::string& path);
void RemoveTree(const std::string& path);
std::string ViewerInstallPath();  // C:\qorvel\bin\dbgwin.exe
void InstallViewer();
void UninstallViewer();

}  // namespace e2e
