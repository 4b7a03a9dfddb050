#include "app/one_frame.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>

#include "app/texts.h"
#include "core/files/paths.h"
#include "core/session/hand_over.h"
#include "win32/system_paths.h"

namespace {

// Local: one per user session.
constexpr wchar_t MUTEX_NAME[] = L"Local\\kiv.OneFrame";
// The property that marks the frame of the first start.
constexpr wchar_t FRAME_MARK[] = L"kiv.OneFrame";
const HANDLE MARK_VALUE = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1));

// How long a later start waits for the first one's frame, and how often it
// looks. A frame that answers nothing in the time-out counts as none.
constexpr ULONGLONG FRAME_WAIT_MS = 15000;
constexpr DWORD FRAME_POLL_MS = 50;
constexpr UINT SEND_TIMEOUT_MS = 5000;

BOOL CALLBACK FindMarkedFrame(HWND window, LPARAM found) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (wcscmp(className, FRAME_CLASS_NAME) != 0 || GetPropW(window, FRAME_MARK) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND MarkedFrame() {
    HWND found = nullptr;
    EnumWindows(FindMarkedFrame, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool SendHandOver(HWND frame, const std::vector<uint8_t>& block) {
    // The frame may come to the front: this start is what the user just did.
    DWORD framePid = 0;
    GetWindowThreadProcessId(frame, &framePid);
    AllowSetForegroundWindow(framePid);
    COPYDATASTRUCT data = {};
    data.dwData = HAND_OVER_KIND;
    data.cbData = static_cast<DWORD>(block.size());
    data.lpData = const_cast<uint8_t*>(block.data());
    DWORD_PTR answer = FALSE;
    const LRESULT sent = SendMessageTimeoutW(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                             SMTO_NORMAL | SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &answer);
    return sent != 0 && answer == TRUE;
}

}  // namespace

OneFrameLock::OneFrameLock() : mutex_(CreateMutexW(nullptr, FALSE, MUTEX_NAME)) {}

OneFrameLock::~OneFrameLock() {
    Release();
    if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool OneFrameLock::Claim() {
    if (held_ || mutex_ == nullptr) return held_;
    const DWORD waited = WaitForSingleObject(mutex_, 0);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return held_;
}

void OneFrameLock::Release() {
    if (!held_) return;
    ReleaseMutex(mutex_);
    held_ = false;
}

void OneFrameLock::Mark(HWND frame) {
    if (held_) SetPropW(frame, FRAME_MARK, MARK_VALUE);
}

void OneFrameLock::Unmark(HWND frame) { RemovePropW(frame, FRAME_MARK); }

HandOverOutcome HandToRunningFrame(OneFrameLock& lock) {
    const std::vector<uint8_t> block = HandOverBlock({CurrentFolder(), GetCommandLineW()});
    if (block.empty()) return HandOverOutcome::NoFrame;
    const ULONGLONG deadline = GetTickCount64() + FRAME_WAIT_MS;
    for (;;) {
        if (lock.Claim()) return HandOverOutcome::First;
        const HWND frame = MarkedFrame();
        if (frame != nullptr && SendHandOver(frame, block)) return HandOverOutcome::HandedOver;
        if (GetTickCount64() >= deadline) return HandOverOutcome::NoFrame;
        Sleep(FRAME_POLL_MS);
    }
}

bool ReadHandedFiles(const COPYDATASTRUCT& data, std::vector<std::wstring>& files) {
    HandOver handOver;
    if (data.dwData != HAND_OVER_KIND || !ReadHandOver(data.lpData, data.cbData, handOver)) return false;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(handOver.commandLine.c_str(), &count);
    if (arguments == nullptr) return false;
    for (int i = 1; i < count; ++i) {
        files.push_back(ResolvePath(handOver.folder, arguments[i]));
    }
    LocalFree(arguments);
    return true;
}
