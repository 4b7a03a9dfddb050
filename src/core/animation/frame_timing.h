// When each frame of an animation is on the screen: the delays as shown, how
// often it plays, and a player that says which frame is due at a time, with
// pause and single steps. Times are milliseconds on any clock that only grows.
#pragma once

#include <cstdint>
#include <vector>

// Delays of this or less are shown as STAND_IN_DELAY_MS, as browsers do: such
// files were made for players that could not go faster anyway.
constexpr uint32_t SHORTEST_HONOURED_DELAY_MS = 10;
constexpr uint32_t STAND_IN_DELAY_MS = 100;

uint32_t ShownDelay(uint32_t fileDelayMs);

// How many times the whole animation plays; 0 is for ever.
constexpr uint32_t PLAYS_FOREVER = 0;

// A GIF's NETSCAPE extension counts the repeats after the first play (0 for
// ever); without the extension a GIF plays once.
uint32_t PlaysOfGifLoopCount(bool hasLoopExtension, uint32_t loopCount);

constexpr uint32_t NO_FRAME = UINT32_MAX;
constexpr uint64_t WAIT_FOREVER = UINT64_MAX;

class FramePlayer {
public:
    // Starts playing with frame 0 on the screen at now. delays are the file's
    // (each shown through ShownDelay); plays as PlaysOfGifLoopCount gives.
    void Start(const std::vector<uint32_t>& fileDelays, uint32_t plays, uint64_t now);

    uint32_t FrameCount() const { return static_cast<uint32_t>(delays_.size()); }
    uint32_t Current() const { return current_; }  // the frame on the screen
    uint32_t DelayOf(uint32_t frame) const { return delays_[frame]; }
    bool Paused() const { return paused_; }
    bool Finished() const { return finished_; }

    // The frame to put on the screen now, or NO_FRAME. After the last frame
    // of the last play nothing more is due and the player is finished.
    uint32_t Due(uint64_t now);
    // The frame Due named is on the screen as of now. A frame shown less than
    // its own delay late keeps the schedule, so timing never drifts; one later
    // than that (a window that was hidden, a busy machine) starts the schedule
    // again from now rather than rushing through the frames it missed.
    void Shown(uint32_t frame, uint64_t now);
    // How long until Due names a frame: 0 when one is due, WAIT_FOREVER while
    // paused or finished.
    uint64_t Wait(uint64_t now) const;

    // Pauses, or resumes with the frame shown getting its whole delay again;
    // a finished animation plays again from frame 0.
    void TogglePause(uint64_t now);
    // Pauses and asks for the frame one before (-1) or after (+1) the one
    // shown or asked for, wrapping round.
    void Step(int direction);
    // The file holds only frames 0 .. frames-1 after all (a later one could
    // not be read): playing wraps before the missing ones.
    void Truncate(uint32_t frames);

private:
    uint32_t Following(uint32_t frame) const { return frame + 1 < FrameCount() ? frame + 1 : 0; }

    std::vector<uint32_t> delays_;
    uint32_t plays_ = PLAYS_FOREVER;
    uint32_t playsDone_ = 0;
    uint32_t current_ = 0;
    uint64_t shownAt_ = 0;  // when the frame shown is due to have come, by the schedule
    uint32_t stepTarget_ = NO_FRAME;
    int lastStep_ = 1;
    bool paused_ = false;
    bool finished_ = false;
};
