#include "win32/row_threads.h"

#include <windows.h>

namespace {

// Bands per worker: enough for one core to take over from a busy one, few
// enough that each band is long rows of streaming work.
constexpr int32_t BANDS_PER_WORKER = 8;

struct SharedRows {
    const RowWork* work;
    int32_t rowCount;
    int32_t bandRows;
    volatile LONG nextBand;
};

struct WorkerStart {
    SharedRows* shared;
    int32_t worker;
};

void RunBands(SharedRows& shared, int32_t worker) {
    for (;;) {
        const int64_t band = InterlockedIncrement(&shared.nextBand) - 1;
        const int64_t begin = band * shared.bandRows;
        if (begin >= shared.rowCount) {
            return;
        }
        const int64_t end = begin + shared.bandRows < shared.rowCount ? begin + shared.bandRows : shared.rowCount;
        (*shared.work)(worker, static_cast<int32_t>(begin), static_cast<int32_t>(end));
    }
}

DWORD WINAPI WorkerMain(void* parameter) {
    const WorkerStart* start = static_cast<const WorkerStart*>(parameter);
    RunBands(*start->shared, start->worker);
    return 0;
}

// A started worker thread: waited for and closed when it goes, so nothing it
// uses can go first.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() {
        if (handle_ != nullptr) {
            WaitForSingleObject(handle_, INFINITE);
            CloseHandle(handle_);
        }
    }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void Start(WorkerStart* start) { handle_ = CreateThread(nullptr, 0, WorkerMain, start, 0, nullptr); }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace

int32_t RowWorkerCount() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const int32_t cores = static_cast<int32_t>(system.dwNumberOfProcessors);
    return cores < 1 ? 1 : cores > MAX_ROW_WORKERS ? MAX_ROW_WORKERS : cores;
}

void RunRowsOnAllCores(int32_t rowCount, const RowWork& work) {
    if (rowCount <= 0) {
        return;
    }
    const int32_t workers = RowWorkerCount() < rowCount ? RowWorkerCount() : rowCount;
    if (workers == 1) {
        work(0, 0, rowCount);
        return;
    }
    const int32_t bands = workers * BANDS_PER_WORKER;
    SharedRows shared{&work, rowCount, (rowCount + bands - 1) / bands, 0};
    WorkerStart starts[MAX_ROW_WORKERS];
    {
        WorkerThread threads[MAX_ROW_WORKERS];
        for (int32_t worker = 1; worker < workers; ++worker) {
            starts[worker] = WorkerStart{&shared, worker};
            threads[worker].Start(&starts[worker]);
        }
        RunBands(shared, 0);
    }  // every worker has ended here
}
