#include "core/pixels/pixel_copy.h"

#include <chrono>
#include <cstring>

#include "core/pixels/kernel_choice.h"

#include "core/pixels/pixel_copy_rows.h"

SurfaceArea AddressableArea(const PixelSurface& surface) {
    if (surface.bits == nullptr || surface.width <= 0 || surface.height <= 0 || surface.stride <= 0 ||
        surface.stride % 4 != 0 || reinterpret_cast<uintptr_t>(surface.bits) % 4 != 0) {
        return {0, 0};
    }
    const int32_t strideWidth = surface.stride / 4;
    return {surface.width < strideWidth ? surface.width : strideWidth, surface.height};
}

uint32_t* RowPointer(const PixelSurface& surface, int32_t row) {
    return reinterpret_cast<uint32_t*>(surface.bits +
                                       static_cast<intptr_t>(surface.height - 1 - row) * surface.stride);
}

namespace {


// The source position that scaled position index shows, or -1 when the
// table has no entry there or the entry lies outside the picture.
int64_t SourceAt(const ScaledCopy& copy, int64_t index, int32_t pictureExtent) {
    if (copy.table == nullptr || index < 0 || index >= copy.tableEntries) {
        return -1;
    }
    const uint32_t source = copy.table[index];
    return source < static_cast<uint32_t>(pictureExtent) ? static_cast<int64_t>(source) : -1;
}

// The visible indices i (0 .. visible-1) whose destination dest+i lies in 0 .. extent-1.
void ClipToTarget(int32_t dest, int32_t visible, int32_t extent, int64_t& first, int64_t& end) {
    first = dest < 0 ? -static_cast<int64_t>(dest) : 0;
    end = static_cast<int64_t>(extent) - dest;
    if (end > visible) end = visible;
    if (first > end) first = end;
}

// How the clipped columns of one call map to the picture; the same for every
// row, so it is worked out once per call. Columns are counted from the first
// clipped one: [0, mappedFirst) and [mappedEnd, width) get the fill colour,
// [mappedFirst, mappedEnd) show picture columns columns[0 ..].
struct ColumnPlan {
    int32_t width;
    int32_t mappedFirst;
    int32_t mappedEnd;
    const uint32_t* columns;
    RowShape shape;
    uint32_t maxSpan;  // largest column distance across eight output pixels
};

constexpr int32_t SPAN_PIXELS = 8;

// Classifies the steps between neighbouring columns and measures maxSpan.
void ShapeColumns(ColumnPlan& plan, int32_t count) {
    const uint32_t* columns = plan.columns;
    bool identity = true;
    bool enlarging = true;
    bool increasing = true;
    for (int32_t k = 1; k < count; ++k) {
        const uint32_t previous = columns[k - 1];
        identity = identity && columns[k] == previous + 1;
        enlarging = enlarging && columns[k] - previous <= 1;
        increasing = increasing && columns[k] >= previous;
    }
    plan.shape = identity    ? RowShape::Identity
                 : enlarging ? RowShape::Enlarging
                 : increasing ? RowShape::Shrinking
                              : RowShape::Any;
    plan.maxSpan = 0;
    if (plan.shape == RowShape::Shrinking) {
        for (int32_t k = 0; k + 1 < count; ++k) {
            const int32_t last = k + SPAN_PIXELS - 1 < count ? k + SPAN_PIXELS - 1 : count - 1;
            const uint32_t span = columns[last] - columns[k];
            if (span > plan.maxSpan) plan.maxSpan = span;
        }
    }
}

ColumnPlan PlanColumns(const ScaledCopy& copy, int32_t pictureWidth, int64_t firstColumn, int64_t endColumn) {
    ColumnPlan plan{static_cast<int32_t>(endColumn - firstColumn), 0, 0, nullptr, RowShape::Any, 0};
    if (copy.table == nullptr || pictureWidth <= 0) {
        return plan;
    }
    // Clipped columns whose table index exists.
    int64_t first = firstColumn;
    int64_t end = endColumn;
    const int64_t indexFirst = -static_cast<int64_t>(copy.srcX);
    const int64_t indexEnd = static_cast<int64_t>(copy.tableEntries) - copy.srcX;
    if (first < indexFirst) first = indexFirst;
    if (end > indexEnd) end = indexEnd;
    if (first >= end) {
        return plan;
    }
    const uint32_t* columns = copy.table + (copy.srcX + first);
    const int32_t count = static_cast<int32_t>(end - first);
    const uint32_t limit = static_cast<uint32_t>(pictureWidth);
    // The picture may be narrower than the table expects: entries past its
    // width come last in a real (non-decreasing) table.
    int32_t valid = 0;
    while (valid < count && columns[valid] < limit) ++valid;
    plan.mappedFirst = static_cast<int32_t>(first - firstColumn);
    plan.columns = columns;
    for (int32_t k = valid; k < count; ++k) {
        if (columns[k] < limit) {
            plan.mappedEnd = plan.mappedFirst + count;
            plan.shape = RowShape::Checked;
            return plan;
        }
    }
    plan.mappedEnd = plan.mappedFirst + valid;
    ShapeColumns(plan, valid);
    return plan;
}

void FillPixels(uint32_t* out, int32_t count, uint32_t colour) {
    for (int32_t k = 0; k < count; ++k) out[k] = colour;
}

// The portable builders: plain loops the compiler may vectorise as far as
// the build's instruction set allows.
void IdentityPortable(const RowSpan& span) {
    std::memcpy(span.out, span.in + span.columns[0], static_cast<size_t>(span.count) * 4);
}

void GatherPortable(const RowSpan& span) {
    for (int32_t k = 0; k < span.count; ++k) span.out[k] = span.in[span.columns[k]];
}

void CheckedPortable(const RowSpan& span) {
    for (int32_t k = 0; k < span.count; ++k) {
        const uint32_t column = span.columns[k];
        span.out[k] = column < span.pictureWidth ? span.in[column] : span.fillColour;
    }
}

RowBuilder PortableBuilder(RowShape shape) {
    switch (shape) {
        case RowShape::Identity:
            return IdentityPortable;
        case RowShape::Checked:
            return CheckedPortable;
        default:
            return GatherPortable;
    }
}

}  // namespace

void CopyScaledViewReference(const PixelSurface& picture, const PixelSurface& target,
                             const ScaledCopy& copy, uint32_t fillColour) {
    const SurfaceArea source = AddressableArea(picture);
    const SurfaceArea destination = AddressableArea(target);
    for (int64_t j = 0; j < copy.visH; ++j) {
        const int64_t row = copy.destY + j;
        if (row < 0 || row >= destination.height) continue;
        const int64_t sourceRow = SourceAt(copy, copy.srcY + j, source.height);
        for (int64_t i = 0; i < copy.visW; ++i) {
            const int64_t column = copy.destX + i;
            if (column < 0 || column >= destination.width) continue;
            const int64_t sourceColumn = SourceAt(copy, copy.srcX + i, source.width);
            uint32_t pixel = fillColour;
            if (sourceRow >= 0 && sourceColumn >= 0) {
                pixel = RowPointer(picture, static_cast<int32_t>(sourceRow))[sourceColumn];
            }
            RowPointer(target, static_cast<int32_t>(row))[column] = pixel;
        }
    }
}

namespace {

// What one call works with, worked out before its first row.
struct CopyJob {
    const PixelSurface& target;
    const ScaledCopy& copy;
    SurfaceArea source;
    ColumnPlan plan;
    int32_t firstOut;  // target column of the first clipped column
    uint32_t fillColour;
    RowBuilder buildCached;
    RowBuilder buildStreaming;

    uint32_t* Row(int64_t j) const {
        return RowPointer(target, static_cast<int32_t>(copy.destY + j)) + firstOut;
    }

    int64_t SourceRow(int64_t j) const { return SourceAt(copy, copy.srcY + j, source.height); }

    void FillMargins(uint32_t* out) const {
        FillPixels(out, plan.mappedFirst, fillColour);
        FillPixels(out + plan.mappedEnd, plan.width - plan.mappedEnd, fillColour);
    }
};

// Rows first .. end-1, which all show one picture row: the first is built,
// the others are copies of it, which the cache still holds.
void CopyGroupCached(const CopyJob& job, RowSpan& span, int64_t first, int64_t end) {
    uint32_t* built = job.Row(first);
    job.FillMargins(built);
    span.out = built + job.plan.mappedFirst;
    job.buildCached(span);
    const size_t rowBytes = static_cast<size_t>(job.plan.width) * 4;
    for (int64_t j = first + 1; j < end; ++j) {
        std::memcpy(job.Row(j), built, rowBytes);
    }
}

// Groups up to this many rows are each built past the caches on their own:
// building costs about as much as copying, and a row built in the cache
// first costs a read of its destination lines.
constexpr int64_t REBUILT_GROUP_ROWS = 2;

// The same for a frame written past the caches: small groups build every row
// straight from the picture row (which the cache holds after the first);
// larger ones build the first row in the cache and stream it to the others.
void CopyGroupStreaming(const CopyJob& job, RowSpan& span, int64_t first, int64_t end) {
    const int32_t mappedFirst = job.plan.mappedFirst;
    if (end - first <= REBUILT_GROUP_ROWS) {
        for (int64_t j = first; j < end; ++j) {
            uint32_t* out = job.Row(j);
            job.FillMargins(out);
            span.out = out + mappedFirst;
            job.buildStreaming(span);
        }
        return;
    }
    uint32_t* built = job.Row(first);
    job.FillMargins(built);
    span.out = built + mappedFirst;
    job.buildCached(span);
    for (int64_t j = first + 1; j < end; ++j) {
        uint32_t* out = job.Row(j);
        job.FillMargins(out);
        StreamRow(out + mappedFirst, built + mappedFirst, span.count);
    }
}

}  // namespace

namespace {

// The rows of one call with one kernel set: Portable, Wide or Streaming.
void CopyRows(CopyKernels kernels, const PixelSurface& picture, const PixelSurface& target, const ScaledCopy& copy,
              uint32_t fillColour, const SurfaceArea& source, const ColumnPlan& plan, int64_t firstColumn,
              int64_t firstRow, int64_t endRow) {
    const bool wide = kernels != CopyKernels::Portable;
    const bool streaming = CanStream() && kernels == CopyKernels::Streaming;
    RowBuilder buildCached = wide ? WideRowBuilder(plan.shape, plan.maxSpan, false) : nullptr;
    if (buildCached == nullptr) {
        buildCached = PortableBuilder(plan.shape);
    }
    RowBuilder buildStreaming = streaming ? WideRowBuilder(plan.shape, plan.maxSpan, true) : nullptr;
    if (buildStreaming == nullptr) {
        buildStreaming = buildCached;
    }
    const CopyJob job{target, copy, source, plan, static_cast<int32_t>(copy.destX + firstColumn),
                      fillColour, buildCached, buildStreaming};

    RowSpan span{nullptr, nullptr, plan.columns, nullptr, plan.mappedEnd - plan.mappedFirst,
                 static_cast<uint32_t>(source.width), fillColour};
    int64_t j = firstRow;
    int64_t sourceRow = job.SourceRow(j);
    while (j < endRow) {
        if (sourceRow < 0 || span.count == 0) {
            uint32_t* out = job.Row(j);
            if (sourceRow < 0) {
                FillPixels(out, plan.width, fillColour);
            } else {
                job.FillMargins(out);
            }
            sourceRow = ++j < endRow ? job.SourceRow(j) : -1;
            continue;
        }
        // The rows that show this picture row, and the picture row after
        // them: prefetched while these are built.
        int64_t end = j + 1;
        int64_t nextRow = end < endRow ? job.SourceRow(end) : -1;
        while (nextRow == sourceRow) {
            nextRow = ++end < endRow ? job.SourceRow(end) : -1;
        }
        int64_t prefetchRow = nextRow;
        if (prefetchRow < 0) {
            prefetchRow = sourceRow + 1 < source.height ? sourceRow + 1 : sourceRow;
        }
        span.in = RowPointer(picture, static_cast<int32_t>(sourceRow));
        span.next = RowPointer(picture, static_cast<int32_t>(prefetchRow));
        if (streaming) {
            CopyGroupStreaming(job, span, j, end);
        } else {
            CopyGroupCached(job, span, j, end);
        }
        j = end;
        sourceRow = nextRow;
    }
    if (streaming) {
        StreamingDone();
    }
}

// Best times the kernel sets on the real frames, per kind of frame: the
// row shape and the frame's size (whether it can stay in the caches).
constexpr int32_t SHAPE_COUNT = 5;
constexpr int64_t SIZE_CLASS_LIMITS[] = {int64_t{4} << 20, int64_t{16} << 20, int64_t{64} << 20};
constexpr int32_t SIZE_CLASS_COUNT = 4;

// The kernel sets Best chooses from, in the order KernelChoice numbers them.
constexpr CopyKernels CANDIDATES[KernelChoice::MAX_KERNELS] = {CopyKernels::Wide, CopyKernels::Portable,
                                                               CopyKernels::Streaming};

int32_t SizeClassOf(int64_t frameBytes) {
    int32_t sizeClass = 0;
    while (sizeClass < SIZE_CLASS_COUNT - 1 && frameBytes >= SIZE_CLASS_LIMITS[sizeClass]) ++sizeClass;
    return sizeClass;
}

double SecondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

// Row by row as the reference, with everything that is the same for every row
// worked out once: the column clipping and mapping, and the row builder that
// fits them. Consecutive rows that show the same picture row (every block of
// rows above 100 %) are built once. Allocates nothing.
void CopyScaledViewUsing(CopyKernels kernels, const PixelSurface& picture, const PixelSurface& target,
                         const ScaledCopy& copy, uint32_t fillColour) {
    const SurfaceArea source = AddressableArea(picture);
    const SurfaceArea destination = AddressableArea(target);
    int64_t firstColumn, endColumn, firstRow, endRow;
    ClipToTarget(copy.destX, copy.visW, destination.width, firstColumn, endColumn);
    ClipToTarget(copy.destY, copy.visH, destination.height, firstRow, endRow);
    if (firstColumn >= endColumn || firstRow >= endRow) {
        return;
    }
    const ColumnPlan plan = PlanColumns(copy, source.width, firstColumn, endColumn);
    if (kernels != CopyKernels::Best) {
        CopyRows(kernels, picture, target, copy, fillColour, source, plan, firstColumn, firstRow, endRow);
        return;
    }
    // Without the wider instruction sets there is nothing to choose.
    if (WideRowBuilder(plan.shape, plan.maxSpan, false) == nullptr) {
        CopyRows(CopyKernels::Portable, picture, target, copy, fillColour, source, plan, firstColumn, firstRow,
                 endRow);
        return;
    }
    // Streaming is tried only on frames too large for the inner caches.
    const int64_t pixels = static_cast<int64_t>(plan.width) * (endRow - firstRow);
    const int32_t sizeClass = SizeClassOf(pixels * 4);
    const int32_t available = CanStream() && sizeClass > 0 ? 3 : 2;
    // One record per thread: nothing shared, nothing to lock.
    thread_local KernelChoice choices[SHAPE_COUNT][SIZE_CLASS_COUNT];
    KernelChoice& choice = choices[static_cast<int32_t>(plan.shape)][sizeClass];
    const int32_t candidate = choice.Next(available);
    const double start = SecondsNow();
    CopyRows(CANDIDATES[candidate], picture, target, copy, fillColour, source, plan, firstColumn, firstRow, endRow);
    choice.Record(candidate, (SecondsNow() - start) / static_cast<double>(pixels));
}

void CopyScaledView(const PixelSurface& picture, const PixelSurface& target, const ScaledCopy& copy,
                    uint32_t fillColour) {
    CopyScaledViewUsing(CopyKernels::Best, picture, target, copy, fillColour);
}
