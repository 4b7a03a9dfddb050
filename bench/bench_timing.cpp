#include "bench_timing.h"

#include <chrono>

double NowSeconds() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

double BestSeconds(const std::function<void()>& work, const TimingPlan& plan) {
    work();  // warm-up: caches, page faults of fresh buffers, branch history
    double best = 0.0;
    double total = 0.0;
    int runs = 0;
    while (runs < plan.minRuns || (total < plan.minTotalSeconds && runs < plan.maxRuns)) {
        const double start = NowSeconds();
        work();
        const double elapsed = NowSeconds() - start;
        if (runs == 0 || elapsed < best) {
            best = elapsed;
        }
        total += elapsed;
        ++runs;
    }
    return best;
}
