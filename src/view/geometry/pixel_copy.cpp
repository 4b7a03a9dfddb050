#include "pixel_copy.h"

namespace {

// The part of a surface that can be addressed: a width that the stride
// really holds, and nothing at all without pixels.
struct Addressable {
    int32_t width;
    int32_t height;
};

Addressable AddressableArea(const PixelSurface& surface) {
    if (surface.bits == nullptr || surface.width <= 0 || surface.height <= 0 || surface.stride <= 0) {
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
    if (index < 0 || index >= copy.tableEntries) {
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

}  // namespace

void CopyScaledViewReference(const PixelSurface& picture, const PixelSurface& target,
                             const ScaledCopy& copy, uint32_t fillColour) {
    const Addressable source = AddressableArea(picture);
    const Addressable destination = AddressableArea(target);
    for (int64_t j = 0; j < copy.visH; ++j) {
        const int64_t row = copy.destY + j;
        if (row < 0 || row >= destination.height) continue;
        const int64_t sourceRow = copy.table == nullptr ? -1 : SourceAt(copy, copy.srcY + j, source.height);
        for (int64_t i = 0; i < copy.visW; ++i) {
            const int64_t column = copy.destX + i;
            if (column < 0 || column >= destination.width) continue;
            const int64_t sourceColumn =
                copy.table == nullptr ? -1 : SourceAt(copy, copy.srcX + i, source.width);
            uint32_t pixel = fillColour;
            if (sourceRow >= 0 && sourceColumn >= 0) {
                pixel = RowPointer(picture, static_cast<int32_t>(sourceRow))[sourceColumn];
            }
            RowPointer(target, static_cast<int32_t>(row))[column] = pixel;
        }
    }
}

void CopyScaledView(const PixelSurface& picture, const PixelSurface& target, const ScaledCopy& copy,
                    uint32_t fillColour) {
    const Addressable source = AddressableArea(picture);
    const Addressable destination = AddressableArea(target);
    int64_t firstColumn, endColumn, firstRow, endRow;
    ClipToTarget(copy.destX, copy.visW, destination.width, firstColumn, endColumn);
    ClipToTarget(copy.destY, copy.visH, destination.height, firstRow, endRow);
    for (int64_t j = firstRow; j < endRow; ++j) {
        uint32_t* out = RowPointer(target, static_cast<int32_t>(copy.destY + j));
        const int64_t dx = copy.destX;
        const int64_t sourceRow = copy.table == nullptr ? -1 : SourceAt(copy, copy.srcY + j, source.height);
        if (sourceRow < 0) {
            for (int64_t i = firstColumn; i < endColumn; ++i) out[dx + i] = fillColour;
            continue;
        }
        const uint32_t* in = RowPointer(picture, static_cast<int32_t>(sourceRow));
        for (int64_t i = firstColumn; i < endColumn; ++i) {
            const int64_t sourceColumn = SourceAt(copy, copy.srcX + i, source.width);
            out[dx + i] = sourceColumn >= 0 ? in[sourceColumn] : fillColour;
        }
    }
}
