// The open pictures of the process: which are shared by which file, the
// decodes under way on the worker threads, and the one preloaded picture.
// Used on the window thread only; the workers see nothing but their jobs.
//
// A decode runs on a worker and cannot be stopped once started. Every
// request carries a ticket (a number that only grows); when a job ends, the
// worker posts the notify message to the notify window, which takes the
// finished jobs and hands each result to whichever window still waits for
// that ticket. A result nobody waits for any more is simply dropped.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/folder.h"
#include "document/picture_loader.h"

struct LoadJob;
class LoadWorkers;

struct FinishedLoad {
    uint64_t ticket = 0;
    std::wstring path;
    LoadOutcome outcome;
    std::shared_ptr<const FolderList> folder;  // the file's folder as listed after the decode, if it was
    bool preload = false;
};

class Documents {
public:
    Documents(HWND notifyWindow, UINT notifyMessage);
    // Stops the workers and waits for them: a decode under way is finished
    // first, then dropped.
    ~Documents();
    Documents(const Documents&) = delete;
    Documents& operator=(const Documents&) = delete;

    // Stops the workers (a decode under way is finished and dropped); later
    // requests are never served.
    void Stop();

    // An open picture of this file as it is on disk now, or null.
    std::shared_ptr<const Picture> FindShared(const FileIdentity& identity);
    // Offers a picture for sharing; held only while some window shows it.
    void Remember(const std::shared_ptr<const Picture>& picture);

    // Asks for the file to be decoded for a window. A decode of the same file
    // as it is now that is already under way (a preload, or another window's)
    // is joined instead of started again. Returns the result's ticket.
    uint64_t Request(const std::wstring& fullPath, const FileIdentity& identity);
    // A window no longer waits for the ticket; when nobody does, its decode
    // is cancelled if it has not started, and its result dropped.
    void Release(uint64_t ticket);
    // The jobs that ended since the last call, in the order they ended.
    std::vector<FinishedLoad> TakeFinished();

    // Decodes the file in the background and keeps it, so that a step to it
    // shows at once. At most one picture is preloaded; a new preload replaces
    // the old one. Pictures too large for the preload budget are skipped.
    void Preload(const std::wstring& fullPath);
    void DropPreload();

private:
    // A new job under a new ticket, or under the given one (a retry).
    std::shared_ptr<LoadJob> Submit(const std::wstring& fullPath, const FileIdentity& identity, bool preload,
                                    uint64_t ticket);

    std::unique_ptr<LoadWorkers> workers_;
    std::vector<std::weak_ptr<const Picture>> shared_;
    std::map<uint64_t, std::shared_ptr<LoadJob>> jobs_;  // submitted and not yet taken
    std::shared_ptr<const Picture> preloaded_;
    uint64_t preloadTicket_ = 0;  // the preload under way, if any
    uint64_t nextTicket_ = 1;
};
