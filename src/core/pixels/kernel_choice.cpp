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
    for (int32_t kernel = 0; kernel < available; ++kernel) {
        if (tries_[kernel] < FIRST_TRIES) return kernel;
    }
    if (revisitLeft_ > 0 && revisited_ < available) {
        --revisitLeft_;
        return revisited_;
    }
    const int32_t fastest = Fastest(available);
    if (++runs_ < REVISIT_EVERY) {
        return fastest;
    }
    // The others in turn.
    runs_ = 0;
    revisit_ = (revisit_ + 1) % (available - 1);
    revisited_ = revisit_ < fastest ? revisit_ : revisit_ + 1;
    revisitLeft_ = REVISIT_RUNS - 1;
    return revisited_;
}

void KernelChoice::Record(int32_t kernel, double secondsPerUnit) {
    if (kernel < 0 || kernel >= MAX_KERNELS) return;
    const bool followsAnother = kernel != last_;
    last_ = kernel;
    if (followsAnother) return;
    recent_[kernel][slot_[kernel]] = secondsPerUnit;
    slot_[kernel] = (slot_[kernel] + 1) % RECENT;
    if (tries_[kernel] < RECENT) ++tries_[kernel];
}
