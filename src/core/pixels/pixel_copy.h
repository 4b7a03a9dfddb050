// The table-driven copy of the visible scaled picture into the back buffer.
#pragma once

#include <cstdint>

// A 32-bit bottom-up pixel surface: row j (0 at the top) starts at
// bits + (height - 1 - j) * stride.
struct PixelSurface {
    uint8_t* bits;
    int32_t width;
    int32_t height;
    int32_t stride;  // bytes per row
};

// The part of a surface that can be addressed: a width that the stride
// really holds, and nothing at all without pixels or when its rows are not
// whole 32-bit words apart (no bitmap is laid out so; reading one would
// mean misaligned pixels). Every routine on surfaces keeps inside it.
struct SurfaceArea {
    int32_t width;
    int32_t height;
};
SurfaceArea AddressableArea(const PixelSurface& surface);

// Row j (0 at the top) of a surface; j within its addressable height.
uint32_t* RowPointer(const PixelSurface& surface, int32_t row);

// What to copy: scaled columns srcX .. srcX+visW-1 and rows srcY .. srcY+visH-1
// through the scaled -> source table, to client columns and rows from
// destX/destY. tableEntries is how many entries of the table the last build
// wrote.
struct ScaledCopy {
    const uint32_t* table;
    uint32_t tableEntries;
    int32_t srcX, srcY;
    int32_t visW, visH;
    int32_t destX, destY;
};

// Copies the visible scaled picture into target, reading and writing only
// inside both surfaces and the table whatever the inputs: destination pixels
// outside target are skipped, and destination pixels whose source lies
// outside the picture surface (an older view over a smaller picture) get
// fillColour.
void CopyScaledView(const PixelSurface& picture, const PixelSurface& target, const ScaledCopy& copy,
                    uint32_t fillColour);

// Which row kernels the fast copy may use. CopyScaledView takes Best. Tests
// and the benchmark ask for each set to check and measure all of them; where
// the processor lacks what a set needs, it falls back to the portable loops.
enum class CopyKernels {
    Portable,   // plain C++ loops
    Wide,       // wider instruction sets (checked at run time), writing through the caches
    Streaming,  // wider instruction sets, writing past the caches
    // Of the three (Streaming only for frames of 4 MiB and more), the one
    // that has been fastest on this thread for frames of this row shape and
    // size, timed on the frames themselves (KernelChoice): which is fastest
    // depends on the processor's caches and the memory's load, not only on
    // its instruction sets. All give the same bytes.
    Best,
};

void CopyScaledViewUsing(CopyKernels kernels, const PixelSurface& picture, const PixelSurface& target,
                         const ScaledCopy& copy, uint32_t fillColour);

// The plain per-pixel loop over the same clipped region: the reference the
// fast copy must equal bit for bit.
void CopyScaledViewReference(const PixelSurface& picture, const PixelSurface& target,
                             const ScaledCopy& copy, uint32_t fillColour);
