// What a document window holds of a comparison: its modes, its own offset
// against the reference, and the picture-sized surfaces it paints instead of
// its picture, each with what it was made from.
#pragma once

#include <cstdint>
#include <memory>

#include "document/picture.h"
#include "core/compare/difference.h"
#include "core/pixels/pixel_copy.h"

// One picture-sized surface and what it shows: remade only when one of
// these changes, freed when no mode of the window needs it.
struct CompareSurface {
    std::unique_ptr<uint32_t[]> pixels;
    PixelSurface surface{};  // over pixels, rows bottom-up
    std::shared_ptr<const Picture> picture;    // this window's, as it was made
    std::shared_ptr<const Picture> reference;  // the reference's
    PairOffset offset{};
    CompareSettings settings{};  // metric, exposure and tolerance it was made with
};

// The statistics of the overlap, with what they were computed from.
struct KnownFigures {
    bool known = false;
    CompareFigures figures{};
    std::shared_ptr<const Picture> picture;
    std::shared_ptr<const Picture> reference;
    PairOffset offset{};
    int32_t tolerance = 0;
};

struct ViewCompare {
    bool difference = false;     // the difference view is on (shows while there is a reference)
    bool wipe = false;           // the reference left of the wipe line
    bool autoFlicker = false;    // the reference and the picture take turns
    bool showReference = false;  // the reference shows in the picture's place
    bool keyHeld = false;        // ... because the flicker key is held
    int32_t offsetX = 0;         // this picture moved right and down against the reference
    int32_t offsetY = 0;
    int32_t wipeX = 0;           // client column of the wipe line
    CompareSurface differenceSurface;  // the difference view's colours
    CompareSurface placedReference;    // the reference placed under this picture
    KnownFigures figures;
};
