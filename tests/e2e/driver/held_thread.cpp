#include "harness.h"
#include "kiv.h"
#include "steps.h"

namespace e2e {
namespace {

constexpr char VIEWER_CLASS[] = "DbgWinClass";

}  // namespace

DWORD WINAPI HeldWindowThread::ViewerThread(void* self) {
    auto* hold = static_cast<HeldWindowThread*>(self);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = VIEWER_CLASS;
    RegisterClassA(&windowClass);
    HWND viewer = CreateWindowA(VIEWER_CLASS, "held", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    CreateWindowA("Edit", "", WS_CHILD | ES_MULTILINE, 0, 0, 200, 100, viewer, nullptr, windowClass.hInstance,
                  nullptr);
    SetEvent(hold->ready_);
    // A message sent to the viewer waits in its queue until this thread asks
    // for messages: the sender, kiv's window thread, waits with it.
    const DWORD woke = MsgWaitForMultipleObjects(1, &hold->release_, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0 + 1) {
        SetEvent(hold->held_);
        WaitForSingleObject(hold->release_, INFINITE);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    DestroyWindow(viewer);
    UnregisterClassA(VIEWER_CLASS, windowClass.hInstance);
    return 0;
}

HeldWindowThread::HeldWindowThread(HWND view)
    : ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      held_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = CreateThread(nullptr, 0, ViewerThread, this, 0, &threadId_);
    if (thread_ == nullptr || WaitForSingleObject(ready_, WAIT_TIMEOUT_MS) != WAIT_OBJECT_0) return;
    POINT cursor;
    GetCursorPos(&cursor);
    PostMessageW(view, WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<uint16_t>(WHEEL_DOWN)) << 16,
                 MAKELPARAM(cursor.x, cursor.y));
    WaitUntil([&] { return WaitForSingleObject(held_, 0) == WAIT_OBJECT_0; }, WAIT_TIMEOUT_MS);
}

bool HeldWindowThread::Holding() const { return WaitForSingleObject(held_, 0) == WAIT_OBJECT_0 && !released_; }

void HeldWindowThread::Release() {
    SetEvent(release_);
    released_ = true;
}

HeldWindowThread::~HeldWindowThread() {
    Release();
    // The viewer answers kiv until it is told to go.
    if (thread_ != nullptr) {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_, WAIT_TIMEOUT_MS);
        CloseHandle(thread_);
    }
    for (HANDLE event : {ready_, held_, release_}) CloseHandle(event);
}

}  // namespace e2e
