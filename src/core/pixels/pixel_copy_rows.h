// Inside the table-driven copy: the row builders it chooses from once per
// call. Each builds the mapped part of one destination row from one picture
// row; the call has already clipped everything and checked every column.
#pragma once

#include <cstdint>

struct RowSpan {
    const uint32_t* in;       // the picture row shown
    const uint32_t* next;     // the picture row likely built next: prefetched
    const uint32_t* columns;  // picture column of each output pixel
    uint32_t* out;
    int32_t count;
    uint32_t pictureWidth;    // wide loads stay below this column
    uint32_t fillColour;      // for columns past the picture (checked rows only)
};

// How the columns step: the call looks at them once and picks a builder.
enum class RowShape {
    Identity,    // consecutive picture columns
    Enlarging,   // steps of 0 or 1 (100 % and above)
    Shrinking,   // never decreasing, steps of any size (below 100 %)
    Any,         // an arbitrary table whose entries all lie inside the picture
    Checked,     // some entries lie outside the picture: checked per pixel
};

using RowBuilder = void (*)(const RowSpan& span);

// The builder for the shape from the processor's wider instruction sets, or
// nullptr when it has none or the shape gains nothing from them. maxSpan is the largest distance between
// the picture columns of eight neighbouring output pixels. Streaming builders
// write past the caches: worth it only for frames larger than the caches,
// and only valid until StreamingDone.
RowBuilder WideRowBuilder(RowShape shape, uint32_t maxSpan, bool streaming);

// Whether streaming builders exist on this processor.
bool CanStream();

// Copies a row the cache holds past the caches; only where CanStream.
void StreamRow(uint32_t* out, const uint32_t* in, int32_t count);

// Orders the streaming writes before anything that follows the copy.
void StreamingDone();
