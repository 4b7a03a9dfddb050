// Inside the difference pass: one run of overlapping pixels of a row, the
// kernel that paints and counts it, and the wide kernels chosen at run time.
#pragma once

#include <cstdint>

#include "core/compare/difference.h"

// What is the same for every run of one call.
struct SpanSettings {
    DifferenceMetric metric;
    int32_t exposure;        // EXPOSURE_MIN .. EXPOSURE_MAX
    int32_t tolerance;       // 0 .. TOLERANCE_MAX
    uint32_t aOpaqueBits;    // 0xFF000000 when a has no alpha (its fourth byte counts as 255), else 0
    uint32_t bOpaqueBits;
    const uint8_t* pairBytes;  // DifferenceTable::PairBytes()
    const int32_t* sumBytes;   // DifferenceTable::SumBytes()
    bool streaming;            // write past the caches (aligned stores only)
};

// count pixels of a and b side by side: paints out and adds to totals.
struct SpanPixels {
    const uint32_t* a;
    const uint32_t* b;
    uint32_t* out;
    int32_t count;
};

using SpanKernel = void (*)(const SpanSettings& settings, const SpanPixels& span, DifferenceTotals& totals);

// The plain loop; also paints the wide kernels' heads and tails.
void DifferenceSpanPortable(const SpanSettings& settings, const SpanPixels& span, DifferenceTotals& totals);

// The kernel from the processor's wider instruction sets for these
// settings, or nullptr when it has none.
SpanKernel WideDifferenceKernel(const SpanSettings& settings);

// Orders streaming writes before anything that follows the pass.
void DifferenceStreamingDone();
