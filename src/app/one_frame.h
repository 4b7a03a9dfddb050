// One frame per user session. The first start owns a named mutex for as long
// as its frame keeps the mode on, and marks its frame; a later start finds
// the marked frame, hands it its current folder and command line through
// WM_COPYDATA, and ends. When two start at once, the mutex decides which is
// first; the other waits for the first one's frame.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class OneFrameLock {
public:
    OneFrameLock();
    ~OneFrameLock();
    OneFrameLock(const OneFrameLock&) = delete;
    OneFrameLock& operator=(const OneFrameLock&) = delete;

    // Takes the session's mutex when no other process holds it (also when
    // its last holder ended without letting go): true while this process
    // holds it.
    bool Claim();
    void Release();
    bool Held() const { return held_; }

    // The frame a later start hands its files to: marked while held.
    void Mark(HWND frame);
    void Unmark(HWND frame);

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

enum class HandOverOutcome {
    HandedOver,  // the running frame took the files: this start ends
    First,       // the first start ended meanwhile: this one holds the lock now
    NoFrame,     // no frame answered in time: this start opens its own
};

// A later start: waits (with a time-out) for the marked frame and hands it
// this process's folder and command line.
HandOverOutcome HandToRunningFrame(OneFrameLock& lock);

// The files a hand-over that reached the frame names: the block checked
// whole, the command line split by the rules of the program's own (the
// program's name left out), each name resolved against the sender's folder.
// False for a message that is no valid hand-over.
bool ReadHandedFiles(const COPYDATASTRUCT& data, std::vector<std::wstring>& files);
