#include "document/load_workers.h"

#include <objbase.h>

#include "core/files/paths.h"
#include "win32/win32_owners.h"


LoadWorkers::LoadWorkers(HWND notify, UINT message) : notify_(notify), message_(message) {
    for (HANDLE& thread : threads_) {
        thread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
        if (thread == nullptr) break;
        ++threadCount_;
    }
}

LoadWorkers::~LoadWorkers() {
    {
        ExclusiveLock hold(lock_);
        stopping_ = true;
        for (const auto& job : waiting_) job->cancelled = true;
    }
    WakeAllConditionVariable(&wake_);
    if (threadCount_ > 0) WaitForMultipleObjects(static_cast<DWORD>(threadCount_), threads_, TRUE, INFINITE);
    for (int i = 0; i < threadCount_; ++i) CloseHandle(threads_[i]);
}

void LoadWorkers::Add(const std::shared_ptr<LoadJob>& job) {
    if (threadCount_ == 0) {
        // No thread could be started: the window thread decodes itself
        // rather than leave the window waiting for ever.
        Run(*job);
        {
            ExclusiveLock hold(lock_);
            finished_.push_back(job);
        }
        PostMessageW(notify_, message_, 0, 0);
        return;
    }
    {
        ExclusiveLock hold(lock_);
        if (job->preload) {
            waiting_.push_back(job);
        } else {
            waiting_.push_front(job);
        }
    }
    WakeConditionVariable(&wake_);
}

std::vector<std::shared_ptr<LoadJob>> LoadWorkers::TakeFinished() {
    ExclusiveLock hold(lock_);
    std::vector<std::shared_ptr<LoadJob>> taken;
    taken.swap(finished_);
    return taken;
}

void LoadWorkers::Run(LoadJob& job) {
    if (job.cancelled) {
        job.outcome.error = LoadError::Cancelled;
        return;
    }
    job.outcome = LoadPicture(job.path, job.pixelByteLimit, job.cancelled);
    // The folder is listed here too, off the window thread, so the window
    // learns its place in the folder with the picture.
    if (job.listFolder && !job.cancelled) job.folder = ListFolder(FolderOf(job.path));
}

DWORD WINAPI LoadWorkers::ThreadMain(void* self) {
    // WIC decodes through COM, and GDI+ may use COM objects of its own.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    static_cast<LoadWorkers*>(self)->Work();
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

void LoadWorkers::Work() {
    for (;;) {
        std::shared_ptr<LoadJob> job;
        {
            ExclusiveLock hold(lock_);
            while (waiting_.empty() && !stopping_) SleepConditionVariableSRW(&wake_, &lock_, INFINITE, 0);
            if (stopping_) return;
            job = waiting_.front();
            waiting_.pop_front();
        }
        Run(*job);
        {
            ExclusiveLock hold(lock_);
            if (stopping_) return;
            finished_.push_back(std::move(job));
        }
        PostMessageW(notify_, message_, 0, 0);
    }
}
