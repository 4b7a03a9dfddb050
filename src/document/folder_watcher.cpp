#include "document/folder_watcher.h"

#include "core/files/paths.h"
#include "win32/win32_owners.h"

namespace {

constexpr DWORD CHANGES_WATCHED =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

// The change notifications of one round of watching, closed together.
class Notifications {
public:
    ~Notifications() {
        for (HANDLE handle : handles_) FindCloseChangeNotification(handle);
    }
    void Add(const std::wstring& folder) {
        const HANDLE handle = FindFirstChangeNotificationW(ExtendedLengthPath(folder).c_str(), FALSE, CHANGES_WATCHED);
        if (handle == INVALID_HANDLE_VALUE) return;  // a folder that went away: nothing to hear from
        handles_.push_back(handle);
        folders_.push_back(folder);
    }
    std::vector<HANDLE>& Handles() { return handles_; }
    const std::wstring& Folder(size_t index) const { return folders_[index]; }

private:
    std::vector<HANDLE> handles_;
    std::vector<std::wstring> folders_;
};

}  // namespace

FolderWatcher::FolderWatcher(HWND notify, UINT message) : notify_(notify), message_(message) {
    wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (wake_ != nullptr) thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
}

FolderWatcher::~FolderWatcher() {
    {
        ExclusiveLock hold(lock_);
        stopping_ = true;
    }
    if (thread_ != nullptr) {
        SetEvent(wake_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    if (wake_ != nullptr) CloseHandle(wake_);
}

void FolderWatcher::Watch(const std::set<std::wstring>& folders) {
    uint64_t wanted = 0;
    {
        ExclusiveLock hold(lock_);
        if (folders == folders_) return;
        folders_ = folders;
        wanted = ++wantedSet_;
    }
    if (wake_ == nullptr || thread_ == nullptr) return;
    SetEvent(wake_);
    const ULONGLONG start = GetTickCount64();
    ExclusiveLock hold(lock_);
    while (watchedSet_ < wanted && !stopping_) {
        const ULONGLONG waited = GetTickCount64() - start;
        if (waited >= ARM_TIMEOUT_MS) break;
        SleepConditionVariableSRW(&armed_, &lock_, static_cast<DWORD>(ARM_TIMEOUT_MS - waited), 0);
    }
}

std::vector<std::wstring> FolderWatcher::TakeChanged() {
    ExclusiveLock hold(lock_);
    std::vector<std::wstring> changed(changed_.begin(), changed_.end());
    changed_.clear();
    return changed;
}

DWORD WINAPI FolderWatcher::ThreadMain(void* self) {
    static_cast<FolderWatcher*>(self)->Work();
    return 0;
}

void FolderWatcher::Work() {
    // A wake for the set this round already took (Watch wakes the thread
    // after handing the set over, which may be before the round began) must
    // not close and reopen the same notifications: a change in between would
    // be missed.
    auto upToDate = [this] {
        ExclusiveLock hold(lock_);
        return !stopping_ && watchedSet_ == wantedSet_;
    };
    for (;;) {
        Notifications notifications;
        {
            ExclusiveLock hold(lock_);
            if (stopping_) return;
            for (const std::wstring& folder : folders_) {
                if (notifications.Handles().size() == MAX_FOLDERS) break;
                notifications.Add(folder);
            }
            watchedSet_ = wantedSet_;
        }
        WakeAllConditionVariable(&armed_);
        std::vector<HANDLE> waits = {wake_};
        waits.insert(waits.end(), notifications.Handles().begin(), notifications.Handles().end());
        for (;;) {
            const DWORD signalled = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
            if (signalled == WAIT_FAILED) {
                // Nothing to wait on that works: only a new set of folders or the stop can help.
                WaitForSingleObject(wake_, INFINITE);
                break;
            }
            if (signalled == WAIT_OBJECT_0 && upToDate()) continue;
            if (signalled == WAIT_OBJECT_0 || signalled >= WAIT_OBJECT_0 + waits.size()) break;  // new folders, or stop
            const size_t index = signalled - WAIT_OBJECT_0 - 1;
            {
                ExclusiveLock hold(lock_);
                changed_.insert(notifications.Folder(index));
            }
            PostMessageW(notify_, message_, 0, 0);
            FindNextChangeNotification(waits[index + 1]);
        }
    }
}
