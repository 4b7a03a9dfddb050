#include "core/animation/frame_timing.h"

namespace {

constexpr uint32_t GIF_MOST_REPEATS = 0xFFFF;  // the extension's field is 16 bits

}  // namespace

uint32_t ShownDelay(uint32_t fileDelayMs) {
    return fileDelayMs <= SHORTEST_HONOURED_DELAY_MS ? STAND_IN_DELAY_MS : fileDelayMs;
}

uint32_t PlaysOfGifLoopCount(bool hasLoopExtension, uint32_t loopCount) {
    if (!hasLoopExtension) return 1;
    if (loopCount == 0) return PLAYS_FOREVER;
    return (loopCount > GIF_MOST_REPEATS ? GIF_MOST_REPEATS : loopCount) + 1;
}

void FramePlayer::Start(const std::vector<uint32_t>& fileDelays, uint32_t plays, uint64_t now) {
    delays_.clear();
    for (uint32_t delay : fileDelays) delays_.push_back(ShownDelay(delay));
    if (delays_.empty()) delays_.push_back(STAND_IN_DELAY_MS);
    plays_ = plays;
    playsDone_ = 0;
    current_ = 0;
    shownAt_ = now;
    stepTarget_ = NO_FRAME;
    paused_ = false;
    finished_ = false;
}

uint32_t FramePlayer::Due(uint64_t now) {
    if (stepTarget_ != NO_FRAME) return stepTarget_;
    if (paused_ || finished_ || now < shownAt_ + delays_[current_]) return NO_FRAME;
    const bool lastOfPlay = current_ + 1 >= FrameCount();
    if (lastOfPlay && plays_ != PLAYS_FOREVER && playsDone_ + 1 >= plays_) {
        finished_ = true;
        return NO_FRAME;
    }
    return Following(current_);
}

void FramePlayer::Shown(uint32_t frame, uint64_t now) {
    if (frame >= FrameCount()) return;
    if (stepTarget_ != NO_FRAME) {
        if (frame != stepTarget_) return;
        stepTarget_ = NO_FRAME;
        current_ = frame;
        shownAt_ = now;
        return;
    }
    const uint64_t scheduled = shownAt_ + delays_[current_];
    if (frame == 0 && current_ + 1 >= FrameCount()) ++playsDone_;
    current_ = frame;
    shownAt_ = now > scheduled + delays_[frame] ? now : scheduled;
}

uint64_t FramePlayer::Wait(uint64_t now) const {
    if (stepTarget_ != NO_FRAME) return 0;
    if (paused_ || finished_) return WAIT_FOREVER;
    const uint64_t due = shownAt_ + delays_[current_];
    return due > now ? due - now : 0;
}

void FramePlayer::TogglePause(uint64_t now) {
    if (finished_) {
        finished_ = false;
        paused_ = false;
        playsDone_ = 0;
        stepTarget_ = 0;
        return;
    }
    paused_ = !paused_;
    if (!paused_) shownAt_ = now;
}

void FramePlayer::Step(int direction) {
    paused_ = true;
    finished_ = false;
    const uint32_t from = stepTarget_ != NO_FRAME ? stepTarget_ : current_;
    lastStep_ = direction < 0 ? -1 : 1;
    stepTarget_ = lastStep_ < 0 ? (from == 0 ? FrameCount() - 1 : from - 1) : Following(from);
}

void FramePlayer::Truncate(uint32_t frames) {
    if (frames == 0 || frames >= FrameCount()) return;
    delays_.resize(frames);
    if (current_ >= frames) current_ = frames - 1;
    if (stepTarget_ != NO_FRAME && stepTarget_ >= frames) stepTarget_ = lastStep_ < 0 ? frames - 1 : 0;
}
