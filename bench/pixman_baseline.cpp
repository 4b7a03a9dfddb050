#include "pixman_baseline.h"

#include <pixman.h>

namespace {

// The first row of a bottom-up surface in memory order from the top, and
// the stride that walks down from it.
uint32_t* TopRow(const PixelSurface& surface, int32_t row, int32_t column) {
    return reinterpret_cast<uint32_t*>(surface.bits +
                                       static_cast<intptr_t>(surface.height - 1 - row) * surface.stride) +
           column;
}

// Scale and offset of one axis: the sample point of destination pixel i
// (counted from the first visible one) is (i + 1/2) * scale + offset, in
// coordinates of the sub-image that starts at source pixel first.
void AxisTransform(int32_t scaledStart, uint32_t first, uint32_t small, uint32_t large, bool enlarging,
                   double& scale, double& offset) {
    if (enlarging) {
        scale = static_cast<double>(small) / large;
        offset = scaledStart * scale - first;
    } else {
        scale = static_cast<double>(large) / small;
        offset = scaledStart * scale + 0.5 - 0.5 * scale - first;
    }
}

}  // namespace

PixmanScaling::PixmanScaling(const PixelSurface& picture, const PixelSurface& target, const ScaledCopy& copy,
                             uint32_t small, uint32_t large, bool enlarging)
    : copy_(copy) {
    if (copy.visW <= 0 || copy.visH <= 0) {
        return;
    }
    const uint32_t firstColumn = copy.table[copy.srcX];
    const uint32_t firstRow = copy.table[copy.srcY];
    uint32_t* sourceOrigin = TopRow(picture, static_cast<int32_t>(firstRow), static_cast<int32_t>(firstColumn));
    source_ = pixman_image_create_bits(PIXMAN_a8r8g8b8, picture.width - static_cast<int>(firstColumn),
                                       picture.height - static_cast<int>(firstRow), sourceOrigin, -picture.stride);
    destination_ = pixman_image_create_bits(PIXMAN_a8r8g8b8, target.width, target.height, TopRow(target, 0, 0),
                                            -target.stride);
    if (!Ready()) {
        return;
    }
    double scaleX, offsetX, scaleY, offsetY;
    AxisTransform(copy.srcX, firstColumn, small, large, enlarging, scaleX, offsetX);
    AxisTransform(copy.srcY, firstRow, small, large, enlarging, scaleY, offsetY);
    pixman_transform_t transform;
    pixman_transform_init_identity(&transform);
    transform.matrix[0][0] = pixman_double_to_fixed(scaleX);
    transform.matrix[0][2] = pixman_double_to_fixed(offsetX);
    transform.matrix[1][1] = pixman_double_to_fixed(scaleY);
    transform.matrix[1][2] = pixman_double_to_fixed(offsetY);
    pixman_image_set_transform(source_, &transform);
    pixman_image_set_filter(source_, PIXMAN_FILTER_NEAREST, nullptr, 0);
}

PixmanScaling::~PixmanScaling() {
    if (source_ != nullptr) pixman_image_unref(source_);
    if (destination_ != nullptr) pixman_image_unref(destination_);
}

void PixmanScaling::Run() {
    pixman_image_composite32(PIXMAN_OP_SRC, source_, nullptr, destination_, 0, 0, 0, 0, copy_.destX, copy_.destY,
                             copy_.visW, copy_.visH);
}
