#include "pixel_copy.h"

#include <cstring>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <immintrin.h>
#define KIV_X86_KERNELS 1
#endif

namespace {

// The part of a surface that can be addressed: a width that the stride
// really holds, and nothing at all without pixels or when its rows are not
// whole 32-bit words apart (no bitmap is laid out so; reading one would
// mean misaligned pixels).
struct Addressable {
    int32_t width;
    int32_t height;
};

Addressable AddressableArea(const PixelSurface& surface) {
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
enum class ColumnShape {
    Identity,   // consecutive picture columns: a plain row copy
    Enlarging,  // each step 0 or 1, as at 100 % and above
    Any,        // increasing by more, or an arbitrary table
    Checked,    // valid and invalid entries interleave: checked per pixel
};

struct ColumnPlan {
    int32_t width;
    int32_t mappedFirst;
    int32_t mappedEnd;
    const uint32_t* columns;
    ColumnShape shape;
};

ColumnPlan PlanColumns(const ScaledCopy& copy, int32_t pictureWidth, int64_t firstColumn, int64_t endColumn) {
    ColumnPlan plan{static_cast<int32_t>(endColumn - firstColumn), 0, 0, nullptr, ColumnShape::Any};
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
            plan.shape = ColumnShape::Checked;
            return plan;
        }
    }
    plan.mappedEnd = plan.mappedFirst + valid;
    bool identity = true;
    bool enlarging = true;
    for (int32_t k = 1; k < valid; ++k) {
        const uint32_t step = columns[k] - columns[k - 1];
        identity = identity && step == 1;
        enlarging = enlarging && step <= 1;
    }
    plan.shape = identity ? ColumnShape::Identity : enlarging ? ColumnShape::Enlarging : ColumnShape::Any;
    return plan;
}

void FillPixels(uint32_t* out, int32_t count, uint32_t colour) {
    for (int32_t k = 0; k < count; ++k) out[k] = colour;
}

void GatherPlain(const uint32_t* in, const uint32_t* columns, uint32_t* out, int32_t count) {
    for (int32_t k = 0; k < count; ++k) out[k] = in[columns[k]];
}

void GatherChecked(const uint32_t* in, const uint32_t* columns, uint32_t* out, int32_t count, uint32_t limit,
                   uint32_t colour) {
    for (int32_t k = 0; k < count; ++k) out[k] = columns[k] < limit ? in[columns[k]] : colour;
}

#if defined(KIV_X86_KERNELS)

// Enlarging: eight output pixels come from at most eight neighbouring
// picture pixels, so one unaligned load and one permute by the table's own
// offsets make them. The load stays inside the row: blocks whose eight
// pixels would pass the picture's width are left to the plain loop.
__attribute__((target("avx2"))) void EnlargeAvx2(const uint32_t* in, const uint32_t* columns, uint32_t* out,
                                                 int32_t count, uint32_t pictureWidth) {
    int32_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const uint32_t base = columns[k];
        if (base + 8 > pictureWidth) break;
        const __m256i indices = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + k));
        const __m256i offsets = _mm256_sub_epi32(indices, _mm256_set1_epi32(static_cast<int>(base)));
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + base));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), _mm256_permutevar8x32_epi32(pixels, offsets));
    }
    GatherPlain(in, columns + k, out + k, count - k);
}

__attribute__((target("avx2"))) void GatherAvx2(const uint32_t* in, const uint32_t* columns, uint32_t* out,
                                                int32_t count) {
    int32_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256i indices = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + k));
        const __m256i pixels = _mm256_i32gather_epi32(reinterpret_cast<const int*>(in), indices, 4);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), pixels);
    }
    GatherPlain(in, columns + k, out + k, count - k);
}

bool HasAvx2() {
    return __builtin_cpu_supports("avx2");
}

#endif

// One row of the mapped columns from picture row in.
struct RowKernel {
    ColumnShape shape;
    bool avx2;
    uint32_t pictureWidth;
    uint32_t fillColour;

    void Build(const uint32_t* in, const ColumnPlan& plan, uint32_t* out) const {
        const int32_t count = plan.mappedEnd - plan.mappedFirst;
        uint32_t* mappedOut = out + plan.mappedFirst;
        switch (shape) {
            case ColumnShape::Identity:
                std::memcpy(mappedOut, in + plan.columns[0], static_cast<size_t>(count) * 4);
                return;
            case ColumnShape::Enlarging:
#if defined(KIV_X86_KERNELS)
                if (avx2) {
                    EnlargeAvx2(in, plan.columns, mappedOut, count, pictureWidth);
                    return;
                }
#endif
                GatherPlain(in, plan.columns, mappedOut, count);
                return;
            case ColumnShape::Any:
#if defined(KIV_X86_KERNELS)
                if (avx2) {
                    GatherAvx2(in, plan.columns, mappedOut, count);
                    return;
                }
#endif
                GatherPlain(in, plan.columns, mappedOut, count);
                return;
            case ColumnShape::Checked:
                GatherChecked(in, plan.columns, mappedOut, count, pictureWidth, fillColour);
                return;
        }
    }
};

}  // namespace

void CopyScaledViewReference(const PixelSurface& picture, const PixelSurface& target,
                             const ScaledCopy& copy, uint32_t fillColour) {
    const Addressable source = AddressableArea(picture);
    const Addressable destination = AddressableArea(target);
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

// Row by row as the reference, with everything that is the same for every row
// worked out once: the column clipping and mapping, and the kernel that fits
// it. A row that shows the same picture row as the last one built (every row
// of a block above 100 %) is a copy of that destination row, which the cache
// still holds. Needs no memory of its own.
void CopyScaledViewUsing(CopyKernels kernels, const PixelSurface& picture, const PixelSurface& target,
                         const ScaledCopy& copy, uint32_t fillColour) {
    const Addressable source = AddressableArea(picture);
    const Addressable destination = AddressableArea(target);
    int64_t firstColumn, endColumn, firstRow, endRow;
    ClipToTarget(copy.destX, copy.visW, destination.width, firstColumn, endColumn);
    ClipToTarget(copy.destY, copy.visH, destination.height, firstRow, endRow);
    if (firstColumn >= endColumn || firstRow >= endRow) {
        return;
    }
    const ColumnPlan plan = PlanColumns(copy, source.width, firstColumn, endColumn);
    RowKernel kernel{plan.shape, false, static_cast<uint32_t>(source.width), fillColour};
#if defined(KIV_X86_KERNELS)
    kernel.avx2 = kernels == CopyKernels::Best && HasAvx2();
#else
    (void)kernels;
#endif
    const size_t rowBytes = static_cast<size_t>(plan.width) * 4;
    const int32_t firstOut = static_cast<int32_t>(copy.destX + firstColumn);
    int64_t builtSourceRow = -1;
    const uint32_t* builtRow = nullptr;
    for (int64_t j = firstRow; j < endRow; ++j) {
        uint32_t* out = RowPointer(target, static_cast<int32_t>(copy.destY + j)) + firstOut;
        const int64_t sourceRow = SourceAt(copy, copy.srcY + j, source.height);
        if (sourceRow < 0) {
            FillPixels(out, plan.width, fillColour);
            continue;
        }
        if (sourceRow == builtSourceRow) {
            std::memcpy(out, builtRow, rowBytes);
            continue;
        }
        FillPixels(out, plan.mappedFirst, fillColour);
        if (plan.mappedEnd > plan.mappedFirst) {
            kernel.Build(RowPointer(picture, static_cast<int32_t>(sourceRow)), plan, out);
        }
        FillPixels(out + plan.mappedEnd, plan.width - plan.mappedEnd, fillColour);
        builtSourceRow = sourceRow;
        builtRow = out;
    }
}

void CopyScaledView(const PixelSurface& picture, const PixelSurface& target, const ScaledCopy& copy,
                    uint32_t fillColour) {
    CopyScaledViewUsing(CopyKernels::Best, picture, target, copy, fillColour);
}
