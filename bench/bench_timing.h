// The benchmark's own timing loop: a warm-up run, then repeated runs until a
// minimum count and a minimum total time are reached; the best run counts,
// since anything slower was disturbed by something else.
#pragma once

#include <functional>
#include <vector>

struct TimingPlan {
    int minRuns;
    int maxRuns;
    double minTotalSeconds;
};

// The shortest of the timed runs, in seconds.
double BestSeconds(const std::function<void()>& work, const TimingPlan& plan);

// The shortest run of each of works, timed in turns: a few runs of each
// (the first of a turn not counted), round after round, so that every work
// meets the same changes of the machine's load and none inherits the
// caches another left behind.
std::vector<double> BestSecondsInTurns(const std::vector<std::function<void()>>& works, const TimingPlan& plan);

double NowSeconds();
