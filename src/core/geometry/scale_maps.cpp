#include "core/geometry/scale_maps.h"

#include "core/geometry/view_state.h"

uint32_t ScaledLength(uint32_t n, int32_t zoom) {
    const int64_t product = static_cast<int64_t>(n) * zoom;
    int64_t quotient = product / ZOOM_UNIT;
    if (product % ZOOM_UNIT != 0) {
        ++quotient;
    }
    return static_cast<uint32_t>(quotient);
}

ScaleMapCapacity CapacityForPicture(uint32_t mapLength) {
    return {ScaledLength(mapLength, ZOOM_MAX), mapLength + 1};
}

void BuildScaleMaps(uint32_t a, uint32_t b, const ScaleMapCapacity& capacity, uint32_t* majorMap,
                    uint32_t* minorMap) {
    // A length of 0 would never end the inner run, and longer lengths would
    // run past the tables: such a build writes nothing.
    if (!ScaleMapsFit(a, b, capacity)) {
        return;
    }
    uint32_t small = a;
    uint32_t large = b;
    if (b < a) {
        small = b;
        large = a;
    }
    // The error term tracks 2*large*k - (2j+1)*small around the centre of
    // each longer-length cell; it alone ends each run, so the inner loop
    // needs no bound check of its own.
    const int32_t down = static_cast<int32_t>(2 * small);
    const int32_t up = static_cast<int32_t>(2 * large - 2 * small);
    int32_t error = up;
    uint32_t k = 0;
    uint32_t j = 0;
    while (j < large) {
        minorMap[k] = j;
        while (error > static_cast<int32_t>(small)) {
            majorMap[j] = k;
            ++j;
            error -= down;
        }
        majorMap[j] = k;
        error += up;
        ++k;
        ++j;
    }
    minorMap[k] = j;
}

namespace {

// The walk's error terms are twice the lengths, in signed 32 bits.
constexpr uint32_t LONGEST_WALK = 0x3FFFFFFFu;

}  // namespace

bool ScaleMapsFit(uint32_t a, uint32_t b, const ScaleMapCapacity& capacity) {
    const uint32_t small = a < b ? a : b;
    const uint32_t large = a < b ? b : a;
    return small >= 1 && large <= capacity.major && large <= LONGEST_WALK && small < capacity.minor;
}

int32_t HighestFittingZoom(uint32_t mapLength, const ScaleMapCapacity& capacity) {
    if (mapLength == 0 || mapLength >= capacity.minor) {
        return 0;
    }
    // ceil(mapLength * zoom / ZOOM_UNIT) <= major exactly when
    // mapLength * zoom <= major * ZOOM_UNIT.
    const uint32_t major = capacity.major < LONGEST_WALK ? capacity.major : LONGEST_WALK;
    const int64_t limit = static_cast<int64_t>(major) * ZOOM_UNIT / mapLength;
    return limit < ZOOM_MAX ? static_cast<int32_t>(limit) : ZOOM_MAX;
}
