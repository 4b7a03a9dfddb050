#include "document/documents.h"

#include <algorithm>

#include "document/load_workers.h"

namespace {

// The decoded bytes a preload may hold: at most one picture, and none larger
// than half of what a process of this build can spare for it.
constexpr uint64_t PRELOAD_BUDGET_BYTES = sizeof(void*) == 4 ? (256ull << 20) : (1024ull << 20);
constexpr uint64_t PRELOAD_LIMIT_BYTES = PRELOAD_BUDGET_BYTES / 2;

}  // namespace

Documents::Documents(HWND notifyWindow, UINT notifyMessage)
    : workers_(new LoadWorkers(notifyWindow, notifyMessage)) {}

Documents::~Documents() = default;

void Documents::Stop() { workers_.reset(); }

std::shared_ptr<const Picture> Documents::FindShared(const FileIdentity& identity) {
    std::shared_ptr<const Picture> found;
    // Pictures nobody shows any more are forgotten on the way.
    shared_.erase(std::remove_if(shared_.begin(), shared_.end(),
                                 [&](const std::weak_ptr<const Picture>& entry) {
                                     std::shared_ptr<const Picture> picture = entry.lock();
                                     if (!picture) return true;
                                     if (!found && SameFile(picture->Identity(), identity)) found = picture;
                                     return false;
                                 }),
                  shared_.end());
    return found;
}

void Documents::Remember(const std::shared_ptr<const Picture>& picture) {
    if (picture && !FindShared(picture->Identity())) shared_.push_back(picture);
}

std::shared_ptr<LoadJob> Documents::Submit(const std::wstring& fullPath, const FileIdentity& identity, bool preload,
                                           uint64_t ticket) {
    auto job = std::make_shared<LoadJob>();
    job->ticket = ticket != 0 ? ticket : nextTicket_++;
    job->path = fullPath;
    job->identity = identity;
    job->preload = preload;
    if (preload) {
        job->pixelByteLimit = PRELOAD_LIMIT_BYTES;
        job->listFolder = false;  // the window stepping here has its folder already
    }
    jobs_[job->ticket] = job;
    if (workers_) workers_->Add(job);
    return job;
}

uint64_t Documents::Request(const std::wstring& fullPath, const FileIdentity& identity) {
    for (auto& [ticket, job] : jobs_) {
        if (!job->cancelled && SameFile(job->identity, identity)) {
            // A preload that a window now waits for is the window's.
            ++job->waiters;
            if (job->preload) preloadTicket_ = 0;
            return ticket;
        }
    }
    std::shared_ptr<LoadJob> job = Submit(fullPath, identity, false, 0);
    job->waiters = 1;
    return job->ticket;
}

void Documents::Release(uint64_t ticket) {
    const auto found = jobs_.find(ticket);
    if (found == jobs_.end()) return;
    LoadJob& job = *found->second;
    if (job.waiters > 0 && --job.waiters == 0 && ticket != preloadTicket_) job.cancelled = true;
}

std::vector<FinishedLoad> Documents::TakeFinished() {
    std::vector<FinishedLoad> finished;
    if (!workers_) return finished;
    for (const std::shared_ptr<LoadJob>& job : workers_->TakeFinished()) {
        jobs_.erase(job->ticket);
        if (job->preload && job->waiters > 0 && job->outcome.error == LoadError::TooLarge) {
            // Too large for a preload is not too large for the window that
            // now waits for it: decode it again under the window's limit.
            Submit(job->path, job->identity, false, job->ticket)->waiters = job->waiters;
            continue;
        }
        if (job->waiters > 0 && job->outcome.error == LoadError::OutOfMemory && preloaded_) {
            // The preloaded picture gives way to the one a window asked for.
            DropPreload();
            Submit(job->path, job->identity, false, job->ticket)->waiters = job->waiters;
            continue;
        }
        const bool wasPreload = job->ticket == preloadTicket_;
        if (wasPreload) preloadTicket_ = 0;
        if (job->outcome.picture) {
            Remember(job->outcome.picture);
            if (wasPreload) preloaded_ = job->outcome.picture;
        }
        FinishedLoad load;
        load.ticket = job->ticket;
        load.path = job->path;
        load.outcome = std::move(job->outcome);
        load.folder = std::move(job->folder);
        load.preload = job->preload;
        finished.push_back(std::move(load));
    }
    return finished;
}

void Documents::Preload(const std::wstring& fullPath) {
    FileIdentity identity;
    if (ReadFileIdentity(fullPath, identity) != LoadError::None) return;
    if (preloaded_ && SameFile(preloaded_->Identity(), identity)) return;
    if (preloadTicket_ != 0) {
        const auto running = jobs_.find(preloadTicket_);
        if (running != jobs_.end() && SameFile(running->second->identity, identity)) return;
    }
    DropPreload();
    if (FindShared(identity)) return;  // a window shows it already
    for (const auto& [ticket, job] : jobs_) {
        if (!job->cancelled && SameFile(job->identity, identity)) return;  // a window waits for it already
    }
    preloadTicket_ = Submit(fullPath, identity, true, 0)->ticket;
}

void Documents::DropPreload() {
    preloaded_.reset();
    if (preloadTicket_ == 0) return;
    const auto running = jobs_.find(preloadTicket_);
    if (running != jobs_.end() && running->second->waiters == 0) running->second->cancelled = true;
    preloadTicket_ = 0;
}
