// The platform-free part of the user-level benchmark: summaries of repeats,
// when a repaint counts as shown, and the verdict on a target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace userbench {

struct Summary {
    size_t count = 0;
    double best = 0;
    double median = 0;
    double worst = 0;
};
Summary Summarise(std::vector<double> samples);

// Whether each of the rowCount rows of now (rows one after the other)
// differs from before in at least half its pixels: a repaint of the whole
// row has reached the screen.
bool EveryRowChanged(const std::vector<uint32_t>& before, const std::vector<uint32_t>& now, size_t rowCount);

// A target: its text, and its limit as computed from the baselines' medians
// and from their bests (the same for a fixed limit).
struct Target {
    std::string text;
    double onMedians = 0;
    double onBests = 0;
    bool onWorst = false;  // "throughout": the worst repeat counts
};

// "met (0.66; best 0.52)": the median's share of the limit (the worst's for
// a "throughout" target), then the best's share of the limit on bests.
std::string Verdict(const Summary& measured, const Target& target);

}  // namespace userbench
