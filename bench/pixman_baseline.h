// pixman's nearest-neighbour scaling of the same region, for comparison.
#pragma once

#include <cstdint>

#include "core/pixels/pixel_copy.h"

union pixman_image;

// One prepared scaling: the picture seen from the first visible source pixel,
// the target from its top row (both through negative strides, since the
// surfaces are bottom-up), and an affine transform that puts each destination
// pixel centre where the table's closed form puts it:
//   enlarging (table = majorMap): source = floor((x + 1/2) * small / large)
//   shrinking (table = minorMap): source = ceil(x * large / small - 1/2)
// pixman rounds the sample point down after subtracting its smallest step and
// works in 16.16 fixed point, so single columns or rows may differ.
class PixmanScaling {
public:
    PixmanScaling(const PixelSurface& picture, const PixelSurface& target, const ScaledCopy& copy,
                  uint32_t small, uint32_t large, bool enlarging);
    ~PixmanScaling();
    PixmanScaling(const PixmanScaling&) = delete;
    PixmanScaling& operator=(const PixmanScaling&) = delete;

    bool Ready() const { return source_ != nullptr && destination_ != nullptr; }
    void Run();

private:
    pixman_image* source_ = nullptr;
    pixman_image* destination_ = nullptr;
    ScaledCopy copy_;
};
