// Change notifications for the folders of the open pictures, on a thread of
// their own: the window thread hears that a folder changed, never polls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class FolderWatcher {
public:
    // Each change is reported by posting message to notify.
    FolderWatcher(HWND notify, UINT message);
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // The folders to watch from now on (an empty set stops watching). Returns
    // once they are watched (or after ARM_TIMEOUT_MS), so that a change made
    // right after the call is heard.
    void Watch(const std::set<std::wstring>& folders);
    // The folders that changed since the last call.
    std::vector<std::wstring> TakeChanged();

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Work();

    // One wait covers the wake event and at most this many folders.
    static constexpr size_t MAX_FOLDERS = MAXIMUM_WAIT_OBJECTS - 1;
    // The longest a new set of folders may take to be watched before Watch
    // returns anyway (a slow network folder must not hold the window thread).
    static constexpr DWORD ARM_TIMEOUT_MS = 2000;

    HWND notify_;
    UINT message_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    HANDLE wake_ = nullptr;  // set when the folders change or the watcher stops
    HANDLE thread_ = nullptr;
    CONDITION_VARIABLE armed_ = CONDITION_VARIABLE_INIT;  // signalled when a set is watched
    bool stopping_ = false;
    uint64_t wantedSet_ = 0;   // counts the sets handed to Watch
    uint64_t watchedSet_ = 0;  // the last of them the thread watches
    std::set<std::wstring> folders_;
    std::set<std::wstring> changed_;
};
