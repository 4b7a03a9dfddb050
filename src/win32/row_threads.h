// A picture-sized job split by rows between all cores: the calling thread
// and one worker thread per further core, for passes such as the difference
// view's that must finish before the next paint.
#pragma once

#include <cstdint>
#include <functional>

// The most workers a job uses, the calling thread counted.
constexpr int32_t MAX_ROW_WORKERS = 16;

// How many workers RunRowsOnAllCores splits rows between here: one per core,
// at most MAX_ROW_WORKERS.
int32_t RowWorkerCount();

// work(worker, rowBegin, rowEnd) covers rows rowBegin .. rowEnd-1.
using RowWork = std::function<void(int32_t worker, int32_t rowBegin, int32_t rowEnd)>;

// Rows 0 .. rowCount-1 in bands of consecutive rows, taken in turn by the
// workers, so that a core busy with something else takes fewer. worker is
// 0 .. RowWorkerCount()-1 (0 is the calling thread) and the calls of one
// worker never overlap, so each may add to totals of its own. Returns when
// every row is done; where a thread cannot be started the others do its share.
void RunRowsOnAllCores(int32_t rowCount, const RowWork& work);
