// Choosing between interchangeable kernels (same output bit for bit) by
// timing them on the real work. Which one is fastest depends on more than
// the instruction set: whether a frame written through the caches still fits
// them, how other programs load the memory, how a processor treats stores
// that pass the caches. So the kernels first get a few tries each, in turns
// (a burst of other work then slows them all alike), then the fastest so far
// runs, and every so often another gets a try, so that a change is noticed.
// A run that follows another kernel's is not counted and the same kernel
// runs once more: it pays for the caches the other left (a frame written
// past them must be read back before it is written through them), which
// its own runs in a row do not. Times are per unit of work (per pixel), so
// frames of different sizes compare.
#pragma once

#include <cstdint>

class KernelChoice {
public:
    static constexpr int32_t MAX_KERNELS = 3;
    static constexpr int32_t FIRST_TRIES = 4;     // each kernel's counted tries before any is preferred
    static constexpr int32_t RECENT = 8;          // a kernel's speed: the best of its last RECENT counted tries
    static constexpr int32_t REVISIT_EVERY = 64;  // runs between tries of another kernel
    static constexpr int32_t RUNS_PER_TRY = 2;    // after another kernel: one run not counted, one counted

    // Which of kernels 0 .. available-1 (at most MAX_KERNELS) to run now.
    int32_t Next(int32_t available);
    // What the run of kernel took, per unit of work.
    void Record(int32_t kernel, double secondsPerUnit);

private:
    int32_t Fastest(int32_t available) const;

    double recent_[MAX_KERNELS][RECENT] = {};
    int32_t tries_[MAX_KERNELS] = {};  // counted, up to RECENT
    int32_t slot_[MAX_KERNELS] = {};   // where the next time goes in recent_
    int32_t last_ = -1;                // the kernel of the last run
    bool lastCounted_ = false;
    int32_t runs_ = 0;                 // since the last try of another kernel
    int32_t revisit_ = 0;              // which other kernel is tried next
};
