#include "verdicts.h"

#include <algorithm>
#include <cstdio>

namespace userbench {

Summary Summarise(std::vector<double> samples) {
    Summary summary;
    summary.count = samples.size();
    if (samples.empty()) return summary;
    std::sort(samples.begin(), samples.end());
    summary.best = samples.front();
    summary.worst = samples.back();
    const size_t middle = samples.size() / 2;
    summary.median = samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    return summary;
}

bool EveryRowChanged(const std::vector<uint32_t>& before, const std::vector<uint32_t>& now, size_t rowCount) {
    if (before.size() != now.size() || now.empty() || rowCount == 0 || now.size() % rowCount != 0) return false;
    const size_t width = now.size() / rowCount;
    for (size_t row = 0; row < rowCount; ++row) {
        size_t changed = 0;
        for (size_t i = row * width; i < (row + 1) * width; ++i) changed += before[i] != now[i];
        if (2 * changed < width) return false;
    }
    return true;
}

std::string Verdict(const Summary& measured, const Target& target) {
    if (measured.count == 0 || target.onMedians <= 0) return "not measured";
    const double share = (target.onWorst ? measured.worst : measured.median) / target.onMedians;
    char text[64];
    if (target.onWorst || target.onBests <= 0) {
        std::snprintf(text, sizeof text, "%s (%.2f)", share <= 1 ? "met" : "MISSED", share);
    } else {
        std::snprintf(text, sizeof text, "%s (%.2f; best %.2f)", share <= 1 ? "met" : "MISSED", share,
                      measured.best / target.onBests);
    }
    return text;
}

}  // namespace userbench
