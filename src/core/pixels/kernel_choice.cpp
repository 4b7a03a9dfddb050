#include "core/pixels/kernel_choice.h"

int32_t KernelChoice::Fastest(int32_t available) const {
    int32_t fastest = 0;
    double fastestTime = 0;
    for (int32_t kernel = 0; kernel < available; ++kernel) {
        const int32_t known = tries_[kernel];
        double best = recent_[kernel][0];
        for (int32_t k = 1; k < known; ++k) best = recent_[kernel][k] < best ? recent_[kernel][k] : best;
        if (kernel == 0 || best < fastestTime) {
            fastest = kernel;
            fastestTime = best;
        }
    }
    return fastest;
}

int32_t KernelChoice::Next(int32_t available) {
    if (available > MAX_KERNELS) available = MAX_KERNELS;
    if (available <= 1) return 0;
    if (last_ >= 0 && last_ < available && !lastCounted_) {
        return last_;
    }
    int32_t fewest = 0;
    for (int32_t kernel = 1; kernel < available; ++kernel) {
        if (tries_[kernel] < tries_[fewest]) fewest = kernel;
    }
    if (tries_[fewest] < FIRST_TRIES) {
        return fewest;
    }
    const int32_t fastest = Fastest(available);
    if (++runs_ < REVISIT_EVERY) {
        return fastest;
    }
    // The others in turn.
    runs_ = 0;
    revisit_ = (revisit_ + 1) % (available - 1);
    return revisit_ < fastest ? revisit_ : revisit_ + 1;
}

void KernelChoice::Record(int32_t kernel, double secondsPerUnit) {
    if (kernel < 0 || kernel >= MAX_KERNELS) return;
    lastCounted_ = kernel == last_;
    last_ = kernel;
    if (!lastCounted_) return;
    recent_[kernel][slot_[kernel]] = secondsPerUnit;
    slot_[kernel] = (slot_[kernel] + 1) % RECENT;
    if (tries_[kernel] < RECENT) ++tries_[kernel];
}
