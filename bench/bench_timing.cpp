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

std::vector<double> BestSecondsInTurns(const std::vector<std::function<void()>>& works, const TimingPlan& plan) {
    constexpr int RUNS_PER_TURN = 4;
    std::vector<double> best(works.size(), 0.0);
    double total = 0.0;
    int rounds = 0;
    const int minRounds = (plan.minRuns + RUNS_PER_TURN - 2) / (RUNS_PER_TURN - 1);
    const int maxRounds = (plan.maxRuns + RUNS_PER_TURN - 2) / (RUNS_PER_TURN - 1);
    while (rounds < minRounds || (total < plan.minTotalSeconds && rounds < maxRounds)) {
        for (size_t w = 0; w < works.size(); ++w) {
            works[w]();  // the turn's first run: caches and memory as the others left them
            for (int run = 1; run < RUNS_PER_TURN; ++run) {
                const double start = NowSeconds();
                works[w]();
                const double elapsed = NowSeconds() - start;
                if ((rounds == 0 && run == 1) || elapsed < best[w]) {
                    best[w] = elapsed;
                }
                total += elapsed;
            }
        }
        ++rounds;
    }
    return best;
}
