// The worker threads that decode pictures, and the jobs they take.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "document/folder.h"
#include "document/picture_loader.h"

struct LoadJob {
    uint64_t ticket = 0;
    std::wstring path;
    uint64_t pixelByteLimit = MAX_PICTURE_BYTES;
    bool preload = false;
    bool listFolder = true;
    std::atomic<bool> cancelled{false};

    // Written by the worker; read by the window thread once the job is finished.
    LoadOutcome outcome;
    std::shared_ptr<const FolderList> folder;

    // The window thread's own bookkeeping.
    FileIdentity identity;
    int waiters = 0;
};

class LoadWorkers {
public:
    // Starts the threads; each ended job is reported by posting message to notify.
    LoadWorkers(HWND notify, UINT message);
    // Stops taking jobs and waits for the threads.
    ~LoadWorkers();
    LoadWorkers(const LoadWorkers&) = delete;
    LoadWorkers& operator=(const LoadWorkers&) = delete;

    // Jobs for windows go before every preload, the newest first.
    void Add(const std::shared_ptr<LoadJob>& job);
    std::vector<std::shared_ptr<LoadJob>> TakeFinished();

private:
    static DWORD WINAPI ThreadMain(void* self);
    static void Run(LoadJob& job);
    void Work();

    static constexpr int THREADS = 2;
    HWND notify_;
    UINT message_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE wake_ = CONDITION_VARIABLE_INIT;
    bool stopping_ = false;
    std::deque<std::shared_ptr<LoadJob>> waiting_;
    std::vector<std::shared_ptr<LoadJob>> finished_;
    HANDLE threads_[THREADS] = {};
    int threadCount_ = 0;
};
