#include "kiv.h"

#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstring>
#include <cwchar>

#include "harness.h"

namespace e2e {

const wchar_t* const FRAME_TITLE = L"Win32KIV MDI 多文档示例";
const wchar_t* const INFO_CAPTION = L"信息";
const wchar_t* const DECODE_FAILED = L"无法创建GdihBitmap";
const wchar_t* const HBITMAP_FAILED = L"无法创建HBITMAP2";
const wchar_t* const SURFACE_FAILED = L"无法取得设备无关位图";
const wchar_t* const PICTURE_TOO_LARGE = L"图片太大，无法显示";

const wchar_t* const REASON_NOT_FOUND = L"找不到该文件。";
const wchar_t* const REASON_IS_FOLDER = L"这是一个文件夹，不是文件。";
const wchar_t* const REASON_UNREADABLE = L"无法读取该文件。";
const wchar_t* const REASON_EMPTY = L"文件是空的。";
const wchar_t* const REASON_NOT_A_PICTURE =
    L"不是本程序能打开的图片（JPEG、PNG、WebP、BMP、GIF、TIFF、ICO，以及本机已安装解码器的格式）。";
const wchar_t* const REASON_DAMAGED = L"图片已损坏或不完整。";
const wchar_t* const REASON_OUT_OF_MEMORY = L"内存不足，无法打开这张图片。";
const wchar_t* const REASON_TWELVE_BIT_JPEG = L"这是每通道 12 位的 JPEG 图片，本程序无法解码。";

std::wstring TooLargeReason(uint32_t width, uint32_t height) {
    return L"图片太大（" + std::to_wstring(width) + L" x " + std::to_wstring(height) + L" 像素），无法显示。";
}

std::wstring CannotOpenText(const std::string& fullPath, const std::wstring& reason) {
    return L"无法打开文件 " + Widen(fullPath) + L"\n" + reason;
}

namespace {

constexpr DWORD SEND_TIMEOUT_MS = 20000;
constexpr DWORD CRASH_SCAN_INTERVAL_MS = 500;
constexpr SIZE_T REMOTE_BUFFER_BYTES = 4096;
constexpr SIZE_T DROP_BUFFER_BYTES = 1 << 16;
// The Open dialog's file-name field: a combo box in newer dialogs, an edit
// field in older ones.
constexpr int FILE_NAME_COMBO_ID = 0x47c;
constexpr int FILE_NAME_EDIT_ID = 0x480;
constexpr int FRAME_WIDTH = 1200;
constexpr int FRAME_HEIGHT = 960;

struct TopLevelSearch {
    DWORD pid;
    const char* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (ClassName(window) != search->className) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindOpenDialogOf(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window) || ClassName(window) != search->className) return TRUE;
    if (!GetDlgItem(window, FILE_NAME_COMBO_ID) && !GetDlgItem(window, FILE_NAME_EDIT_ID)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND TopLevelOf(DWORD pid, const char* className, bool visibleOnly) {
    TopLevelSearch search = {pid, className, visibleOnly, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<DWORD> ProcessesNamed(const wchar_t* exeName) {
    std::vector<DWORD> pids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName) == 0) pids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return pids;
}

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(pid)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

Config& Settings() {
    static Config config;
    return config;
}

std::string FailureImagePrefix() {
    static std::string lastCase;
    static int count = 0;
    if (Settings().failureImages.empty()) return {};
    if (CurrentCase() != lastCase) {
        lastCase = CurrentCase();
        count = 0;
    }
    return Format("%s.%s.%d", Settings().failureImages.c_str(), lastCase.c_str(), ++count);
}

std::string Narrow(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(length - 1);
    return narrow;
}

std::wstring WindowTextW(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

std::string ClassName(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

SIZE ClientSize(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE WindowSize(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

RECT WindowRectIn(HWND window, HWND parent) {
    RECT r = {};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    DWORD_PTR answer = 0;
    const LRESULT ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL,
                                           SEND_TIMEOUT_MS, &answer);
    if (result) *result = static_cast<LRESULT>(answer);
    return ok != 0;
}

bool SetClientSize(HWND child, int width, int height) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const SIZE client = ClientSize(child);
        if (client.cx == width && client.cy == height) return true;
        const SIZE outer = WindowSize(child);
        SetWindowPos(child, nullptr, 0, 0, outer.cx + width - client.cx,
                     outer.cy + height - client.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Send(child, WM_NULL, 0, 0);
    }
    const SIZE client = ClientSize(child);
    return client.cx == width && client.cy == height;
}

void MoveChild(HWND child, int x, int y) {
    SetWindowPos(child, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Send(child, WM_NULL, 0, 0);
}

bool HasStyle(HWND window, DWORD style) {
    return (static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & style) == style;
}

HWND DropTargetAt(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    for (HWND at = WindowFromPoint(p); at; at = GetParent(at)) {
        if (GetWindowLongW(at, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) return at;
    }
    return nullptr;
}

HWND OpenDialogFileNameField(HWND dialog) {
    HWND combo = GetDlgItem(dialog, FILE_NAME_COMBO_ID);
    return combo ? combo : GetDlgItem(dialog, FILE_NAME_EDIT_ID);
}

bool Is32BitBuild() {
    constexpr size_t PE_OFFSET_AT = 0x3c;
    const std::vector<uint8_t> exe = ReadBytes(Settings().kivPath);
    if (exe.size() < PE_OFFSET_AT + 4) return false;
    uint32_t pe = 0;
    std::memcpy(&pe, &exe[PE_OFFSET_AT], 4);
    if (pe + 6 > exe.size() || std::memcmp(&exe[pe], "PE\0\0", 4) != 0) return false;
    uint16_t machine = 0;
    std::memcpy(&machine, &exe[pe + 4], 2);
    return machine == IMAGE_FILE_MACHINE_I386;
}

bool CrashReporterRunning() { return !ProcessesNamed(L"winedbg.exe").empty(); }

void MakeDirectories(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') CreateDirectoryW(FileSystemPath(path.substr(0, i)).c_str(), nullptr);
    }
}

void RemoveTree(const std::string& path) {
    const std::wstring wide = FileSystemPath(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(wide.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wide + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") RemoveTree(path + "\\" + Narrow(name));
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(wide.c_str());
}

std::string ViewerInstallPath() { return "C:\\qorvel\\bin\\dbgwin.exe"; }

void InstallViewer() {
    MakeDirectories("C:\\qorvel\\bin");
    CopyFileW(Widen(Settings().dbgwinPath).c_str(), Widen(ViewerInstallPath()).c_str(), FALSE);
}

void UninstallViewer() { DeleteFileW(Widen(ViewerInstallPath()).c_str()); }

Started::Started(const std::wstring& exe, const std::vector<std::wstring>& arguments, const std::string& directory) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    for (const std::wstring& argument : arguments) commandLine += L" \"" + argument + L"\"";
    const std::wstring folder = Widen(directory);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    REQUIRE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                           &startup, &info),
            "cannot start %s (error %lu)", Narrow(exe).c_str(), GetLastError());
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
}

Started::Started(Started&& other) noexcept : process_(other.process_), pid_(other.pid_) {
    other.process_ = nullptr;
}

Started::~Started() {
    if (process_ == nullptr) return;
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
}

bool Started::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD Started::WaitExit() {
    WaitUntil([this] { return !Running(); }, WAIT_TIMEOUT_MS);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

std::string KeptSettingsPath() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return Narrow(folder) + "\\kiv\\kiv.ini";
}

void ResetKeptSettings() {
    RemoveTree(KeptSettingsPath());
    RemoveTree(KeptSettingsPath() + ".tmp");
}

std::wstring KeptValue(const std::string& file, const wchar_t* section, const wchar_t* key) {
    std::wstring value(40000, L'\0');
    const DWORD length = GetPrivateProfileStringW(section, key, L"", value.data(), static_cast<DWORD>(value.size()),
                                                  Widen(file).c_str());
    value.resize(length);
    return value;
}

Kiv::Kiv(const std::string& caseName) : dir_(Settings().rootDir + "\\" + caseName) {
    RemoveTree(dir_);
    MakeDirectories(dir_);
    ResetKeptSettings();
}

Kiv::~Kiv() {
    SetPollHook(nullptr);
    if (process_) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 10000);
        }
        CloseHandle(process_);
    }
    // A crash report window left over would hold the next case.
    for (DWORD pid : ProcessesNamed(L"winedbg.exe")) EnumWindows(CloseWindowsOf, pid);
}

void Kiv::WritePicture(const Picture& picture) {
    REQUIRE(WriteBytes(PicturePath(), EncodeBmp(picture)), "cannot write %s", PicturePath().c_str());
}

void Kiv::Launch(const std::vector<std::wstring>& arguments) {
    std::string path = Settings().kivPath;
    if (gated_) path = path.substr(0, path.find_last_of('\\') + 1) + "kiv_gated.exe";
    Adopt(Started(Widen(path), arguments, dir_));
}

void Kiv::Adopt(Started&& started) {
    if (process_) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 10000);
        }
        CloseHandle(process_);
    }
    process_ = started.process_;
    pid_ = started.pid_;
    started.process_ = nullptr;
    exitExpected_ = false;
    frame = mdiClient = statusBar = nullptr;
    remoteBuffer_ = VirtualAllocEx(process_, nullptr, REMOTE_BUFFER_BYTES, MEM_COMMIT | MEM_RESERVE,
                                   PAGE_READWRITE);
    SetPollHook([this] { CheckHealth(); });
}

void Kiv::CheckHealth() {
    if (!exitExpected_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        SetPollHook(nullptr);
        Abort(__FILE__, __LINE__, "kiv ended unexpectedly with exit code 0x%lx", code);
    }
    // The process list is costly to read: looked at every so often, not at every poll.
    const ULONGLONG now = GetTickCount64();
    if (now - lastCrashScan_ >= CRASH_SCAN_INTERVAL_MS) {
        lastCrashScan_ = now;
        if (CrashReporterRunning()) {
            SetPollHook(nullptr);
            Abort(__FILE__, __LINE__, "a Wine crash report (winedbg) is running: kiv crashed");
        }
    }
}

bool Kiv::FindFrame() {
    frame = TopLevelOf(pid_, "MDIKIVClass", true);
    if (!frame) return false;
    mdiClient = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    statusBar = FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr);
    return mdiClient && statusBar;
}

void Kiv::WaitFrame() {
    REQUIRE(WaitUntil([this] { return FindFrame(); }, WAIT_TIMEOUT_MS),
            "no visible frame window of class MDIKIVClass with an MDI client and a status bar");
}

HWND Kiv::Start(const std::vector<std::wstring>& files) {
    Launch(files);
    WaitFrame();
    HWND child = WaitChildCount(files.empty() ? 1 : files.size());
    REQUIRE(WaitUntil([this] { return Status(0) == "100%"; }, WAIT_TIMEOUT_MS),
            "status part 0 reads \"%s\", not \"100%%\"", Status(0).c_str());
    PlaceFrame(FRAME_WIDTH, FRAME_HEIGHT);
    return child;
}

bool Kiv::Alive() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD Kiv::WaitExit() {
    exitExpected_ = true;
    REQUIRE(WaitUntil([this] { return !Alive(); }, WAIT_TIMEOUT_MS), "kiv did not end");
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

std::vector<HWND> Kiv::Children() const {
    std::vector<HWND> children;
    if (!mdiClient) return children;
    for (HWND child = FindWindowExA(mdiClient, nullptr, "Win32kivMDIChild", nullptr); child;
         child = FindWindowExA(mdiClient, child, "Win32kivMDIChild", nullptr)) {
        children.push_back(child);
    }
    return children;
}

HWND Kiv::ActiveChild() const {
    LRESULT active = 0;
    Send(mdiClient, WM_MDIGETACTIVE, 0, 0, &active);
    return reinterpret_cast<HWND>(active);
}

HWND Kiv::WaitChildCount(size_t count) {
    REQUIRE(WaitUntil([&] { return Children().size() == count; }, WAIT_TIMEOUT_MS),
            "expected %u document windows, found %u", static_cast<unsigned>(count),
            static_cast<unsigned>(Children().size()));
    return count ? ActiveChild() : nullptr;
}

std::string Kiv::Status(int part) {
    if (!remoteBuffer_ || !statusBar) return "";
    static const char zeros[256] = {};
    WriteProcessMemory(process_, remoteBuffer_, zeros, sizeof zeros, nullptr);
    if (!Send(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remoteBuffer_))) return "<no answer>";
    char text[256] = {};
    ReadProcessMemory(process_, remoteBuffer_, text, sizeof text - 1, nullptr);
    return text;
}

std::wstring Kiv::StatusW(int part) {
    if (!remoteBuffer_ || !statusBar) return L"";
    static const wchar_t zeros[256] = {};
    WriteProcessMemory(process_, remoteBuffer_, zeros, sizeof zeros, nullptr);
    if (!Send(statusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remoteBuffer_))) return L"<no answer>";
    wchar_t text[256] = {};
    ReadProcessMemory(process_, remoteBuffer_, text, sizeof text - sizeof(wchar_t), nullptr);
    return text;
}

std::vector<int> Kiv::StatusParts() {
    std::vector<int> parts;
    LRESULT count = 0;
    if (!Send(statusBar, SB_GETPARTS, 64, reinterpret_cast<LPARAM>(remoteBuffer_), &count)) return parts;
    if (count <= 0 || count > 64) return parts;
    parts.resize(count);
    ReadProcessMemory(process_, remoteBuffer_, parts.data(), count * sizeof(int), nullptr);
    return parts;
}

void ExpectStatusEdges(Kiv& kiv, const char* context, int partWidth) {
    const int w = ClientSize(kiv.frame).cx;
    const std::vector<int> want = {w - 4 * partWidth, w - 3 * partWidth, w - 2 * partWidth, w - partWidth, w};
    std::vector<int> got;
    // The frame lays its status bar out in its own WM_SIZE; wait for it.
    WaitUntil([&] { return (got = kiv.StatusParts()) == want; }, WAIT_TIMEOUT_MS);
    std::string shown;
    for (int edge : got) shown += Format(" %d", edge);
    CHECK(got == want, "%s: status part edges for client width %d are%s, not %d %d %d %d %d", context, w,
          shown.c_str(), want[0], want[1], want[2], want[3], want[4]);
}

void Kiv::SendCommand(int id) {
    REQUIRE(Send(frame, WM_COMMAND, id, 0), "the frame did not answer command %d", id);
}

void Kiv::PostCommand(int id) { PostMessageW(frame, WM_COMMAND, id, 0); }

HWND Kiv::FindMessageBox() const { return TopLevelOf(pid_, "#32770", true); }

MessageBoxSeen Kiv::WaitMessageBox(bool endsProgram) {
    if (endsProgram) exitExpected_ = true;  // the program ends once the box is answered
    MessageBoxSeen seen;
    REQUIRE(WaitUntil([&] { return (seen.box = FindMessageBox()) != nullptr; }, WAIT_TIMEOUT_MS),
            "no message box appeared");
    // Its texts are set while it is being created; wait for the caption.
    WaitUntil([&] { return !WindowTextW(seen.box).empty(); }, WAIT_TIMEOUT_MS);
    seen.caption = WindowTextW(seen.box);
    seen.owner = GetWindow(seen.box, GW_OWNER);
    for (HWND control = GetWindow(seen.box, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::string kind = ClassName(control);
        if (_stricmp(kind.c_str(), "Static") == 0) {
            std::wstring text = WindowTextW(control);
            if (!text.empty()) seen.text = text;
        } else if (_stricmp(kind.c_str(), "Button") == 0 && IsWindowVisible(control)) {
            ++seen.visibleButtons;
            if (GetDlgCtrlID(control) == IDOK) seen.okButton = true;
        }
    }
    return seen;
}

void Kiv::AnswerMessageBox(const MessageBoxSeen& seen) {
    PostMessageW(seen.box, WM_COMMAND, IDOK, 0);
    REQUIRE(WaitUntil([&] { return !IsWindow(seen.box) || !IsWindowVisible(seen.box); }, WAIT_TIMEOUT_MS),
            "the message box stays after OK");
}

HWND Kiv::FindOpenDialog() const {
    TopLevelSearch search = {pid_, "#32770", true, nullptr};
    EnumWindows(FindOpenDialogOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Kiv::Activate(HWND child) {
    Send(mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    REQUIRE(WaitUntil([&] { return ActiveChild() == child; }, WAIT_TIMEOUT_MS), "the window did not become active");
}

HWND Kiv::ChildTitled(const std::wstring& title) const {
    for (HWND child : Children())
        if (WindowTextW(child) == title) return child;
    return nullptr;
}

void Kiv::Drop(HWND target, const std::vector<std::string>& paths) {
    REQUIRE(target != nullptr, "nothing accepts files where they are dropped");
    std::vector<uint8_t> block(sizeof(DROPFILES), 0);
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, sizeof header);
    for (const std::string& path : paths) {
        const std::wstring wide = Widen(path);
        const auto* bytes = reinterpret_cast<const uint8_t*>(wide.c_str());
        block.insert(block.end(), bytes, bytes + (wide.size() + 1) * sizeof(wchar_t));
    }
    block.insert(block.end(), sizeof(wchar_t), 0);
    REQUIRE(block.size() <= DROP_BUFFER_BYTES, "too many files for one drop");
    // The program frees the block with DragFinish (GlobalFree): a block of
    // its own each time, so it never reads one the next drop overwrites.
    void* remote = VirtualAllocEx(process_, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    REQUIRE(remote && WriteProcessMemory(process_, remote, block.data(), block.size(), nullptr),
            "cannot write the drop into kiv's memory");
    PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

void Kiv::PlaceFrame(int width, int height) {
    SetWindowPos(frame, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Send(frame, WM_NULL, 0, 0);
}

HeldDecodes::HeldDecodes(const std::wstring& fileName)
    : gate_(CreateEventW(nullptr, TRUE, FALSE, (L"kiv-e2e-gate " + fileName).c_str())) {
    REQUIRE(gate_ != nullptr && GetLastError() != ERROR_ALREADY_EXISTS, "cannot make the decode gate for %s",
            Narrow(fileName).c_str());
}

HeldDecodes::~HeldDecodes() {
    SetEvent(gate_);
    CloseHandle(gate_);
}

void HeldDecodes::Open() { SetEvent(gate_); }

void HeldDecodes::Hold() { ResetEvent(gate_); }

size_t Kiv::PrivateBytes() const {
    size_t total = 0;
    uintptr_t address = 0;
    MEMORY_BASIC_INFORMATION region;
    while (VirtualQueryEx(process_, reinterpret_cast<void*>(address), &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const uintptr_t next = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

}  // namespace e2e
