// The difference pass over a 24 MP pair against a memcpy of both pictures.
#pragma once

struct CompareBenchResult {
    int met = 0;
    int checked = 0;
    bool identical = true;  // the wide kernels gave the plain loop's bytes and totals
};

CompareBenchResult RunCompareBench(bool quick);
