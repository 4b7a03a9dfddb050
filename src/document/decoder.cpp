#include "document/decoder.h"

#include <cstring>
#include <new>

#include "core/geometry/view_state.h"
#include "core/pixels/alpha.h"
#include "document/decode_gate.h"

bool PictureTooLarge(uint32_t width, uint32_t height, uint64_t limit) {
    const uint64_t bytes = static_cast<uint64_t>(width) * height * Picture::BYTES_PER_PIXEL;
    return width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE || bytes > MAX_PICTURE_BYTES || bytes > limit;
}

bool RefusedAsTooLarge(const DecodeInput& input, uint32_t storedW, uint32_t storedH, LoadOutcome& outcome) {
    if (!PictureTooLarge(storedW, storedH, input.pixelByteLimit)) return false;
    ShownSize(storedW, storedH, input.header.orientation, outcome.width, outcome.height);
    outcome.error = LoadError::TooLarge;
    return true;
}

bool GivenUp(const DecodeInput& input, LoadOutcome& outcome) {
    if (!*input.cancelled) return false;
    outcome.error = LoadError::Cancelled;
    return true;
}

bool StoredRows::Start(const DecodeInput& input, uint32_t storedW, uint32_t storedH, LoadOutcome& outcome) {
    orientation_ = IsOrientation(input.header.orientation) ? input.header.orientation : ORIENTATION_NONE;
    uint32_t shownW = 0, shownH = 0;
    ShownSize(storedW, storedH, orientation_, shownW, shownH);
    picture_ = Picture::Allocate(shownW, shownH, input.identity);
    if (picture_ && orientation_ != ORIENTATION_NONE) {
        scratch_.reset(new (std::nothrow) uint32_t[static_cast<size_t>(storedW) * storedH]);
        if (!scratch_) picture_.reset();
    }
    if (!picture_) {
        outcome.error = LoadError::OutOfMemory;
        return false;
    }
    DecodeGate(input.identity.path);
    stored_ = scratch_ ? PixelSurface{reinterpret_cast<uint8_t*>(scratch_.get()), static_cast<int32_t>(storedW),
                                      static_cast<int32_t>(storedH), static_cast<int32_t>(storedW) * Picture::BYTES_PER_PIXEL}
                       : picture_->Surface();
    return true;
}

uint32_t* StoredRows::Row(uint32_t y) {
    // Bottom-up: the top row is the last in memory.
    const size_t fromBottom = static_cast<size_t>(stored_.height) - 1 - y;
    return reinterpret_cast<uint32_t*>(stored_.bits + fromBottom * static_cast<size_t>(stored_.stride));
}

void StoredRows::Finish(bool mayHaveAlpha, LoadOutcome& outcome) {
    if (scratch_) {
        TransformSurface(stored_, picture_->Surface(), orientation_);
        scratch_.reset();
    }
    if (mayHaveAlpha) KeepTranslucentColours(*picture_);
    outcome.picture = std::move(picture_);
}

void KeepTranslucentColours(Picture& picture) {
    const PixelSurface painted = picture.Surface();
    if (!AnyTranslucent(painted)) return;
    const size_t pixels = static_cast<size_t>(picture.Width()) * picture.Height();
    std::unique_ptr<uint32_t[]> straight(new (std::nothrow) uint32_t[pixels]);
    if (straight) std::memcpy(straight.get(), painted.bits, pixels * sizeof(uint32_t));
    LayOverBlack(painted);
    picture.KeepDecodedColours(std::move(straight));
}
