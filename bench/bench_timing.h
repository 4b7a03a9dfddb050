// The benchmark's own timing loop: a warm-up run, then repeated runs until a
// minimum count and a minimum total time are reached; the best run counts,
// since anything slower was disturbed by something else.
#pragma once

#include <functional>

struct TimingPlan {
    int minRuns;
    int maxRuns;
    double minTotalSeconds;
};

// The shortest of the timed runs, in seconds.
double BestSeconds(const std::function<void()>& work, const TimingPlan& plan);

double NowSeconds();
