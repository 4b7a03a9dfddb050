// Choosing between interchangeable kernels (same output bit for bit) by
// timing them on the real work. Which one is fastest depends on more than
// the instruction set: whether a frame written through the caches still fits
// them, how other programs load the memory, how a processor treats stores
// that pass the caches. So each kernel gets a few tries, then the fastest so
// far runs, and every so often another gets one more try, so that a change
// is noticed. Times are per unit of work (per pixel), so frames of different
// sizes compare.
#pragma once

#include <cstdint>

class KernelChoice {
public:
    static constexpr int32_t MAX_KERNELS = 3;
    static constexpr int32_t FIRST_TRIES = 3;     // each kernel's tries before any is preferred
    static constexpr int32_t RECENT = 4;          // a kernel's speed: the best of its last RECENT tries
    static constexpr int32_t REVISIT_EVERY = 32;  // one run in this many goes to another kernel

    // Which of kernels 0 .. available-1 (at most MAX_KERNELS) to run now.
    int32_t Next(int32_t available);
    // What the run of kernel took, per unit of work.
    void Record(int32_t kernel, double secondsPerUnit);

private:
    int32_t Fastest(int32_t available) const;

    double recent_[MAX_KERNELS][RECENT] = {};
    int32_t tries_[MAX_KERNELS] = {};  // up to RECENT
    int32_t slot_[MAX_KERNELS] = {};   // where the next time goes in recent_
    int32_t runs_ = 0;
    int32_t revisit_ = 0;
};
