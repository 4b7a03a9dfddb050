// The decoders of the loader's chain behind one interface, and what they
// share: the size check before any pixel is decoded, the look at cancelled
// between steps, and the way rows reach the picture's DIB section. Every
// decoder writes its pixels straight into the picture (turned upright by the
// header's orientation), its colours laid over black where it is
// transparent, the colours as decoded kept beside them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/files/picture_header.h"
#include "document/picture_loader.h"

class SharedBytes;

// What every decoder is given: the whole file and what its header said.
struct DecodeInput {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    SharedBytes* shared = nullptr;  // the same bytes, for a decoder that reads a stream
    PictureHeader header;           // the format, the orientation, the size when the header holds one
    FileIdentity identity;
    uint64_t pixelByteLimit = 0;
    const std::atomic<bool>* cancelled = nullptr;
};

// Decodes the file into outcome.picture, or sets outcome.error (and on
// TooLarge outcome.width and height, as shown).
using Decoder = void (*)(const DecodeInput& input, LoadOutcome& outcome);

void DecodeJpeg(const DecodeInput& input, LoadOutcome& outcome);         // libjpeg-turbo
void DecodePng(const DecodeInput& input, LoadOutcome& outcome);          // libpng
void DecodeWebP(const DecodeInput& input, LoadOutcome& outcome);         // libwebp
void DecodeWithGdiplus(const DecodeInput& input, LoadOutcome& outcome);  // BMP, GIF, TIFF, ICO
// Whatever codecs the system has installed (WIC). NotAPicture when none
// knows the file.
void DecodeWithWic(const DecodeInput& input, LoadOutcome& outcome);

// --- For the decoders.

// Whether pixels of this size would take more than a picture may: its side
// past MAX_PICTURE_SIDE, its bytes past MAX_PICTURE_BYTES or limit.
bool PictureTooLarge(uint32_t width, uint32_t height, uint64_t limit);

// Whether a picture of the stored size is too large; then outcome says
// TooLarge, with the size as shown once the header's orientation applies.
bool RefusedAsTooLarge(const DecodeInput& input, uint32_t storedW, uint32_t storedH, LoadOutcome& outcome);

// Whether the load was given up; then outcome says Cancelled.
bool GivenUp(const DecodeInput& input, LoadOutcome& outcome);

// Where a decoder puts its pixels, row by row as stored (top row first,
// bytes blue, green, red, alpha, colours straight): the picture's DIB
// section itself when the picture needs no turn, else a scratch surface that
// is turned into it at the end.
class StoredRows {
public:
    StoredRows() = default;
    StoredRows(const StoredRows&) = delete;
    StoredRows& operator=(const StoredRows&) = delete;

    // Makes the picture of the shown size (and the scratch surface); false,
    // with OutOfMemory in outcome, when the memory is not there.
    bool Start(const DecodeInput& input, uint32_t storedW, uint32_t storedH, LoadOutcome& outcome);
    uint32_t* Row(uint32_t y);
    uint32_t Width() const { return static_cast<uint32_t>(stored_.width); }
    uint32_t Height() const { return static_cast<uint32_t>(stored_.height); }
    // The picture being made, for what a decoder keeps beside its pixels.
    Picture& Target() { return *picture_; }

    // Turns the rows into the picture; where mayHaveAlpha and some pixel is
    // translucent, keeps the colours as decoded and lays the painted ones
    // over black. Hands the picture to outcome.
    void Finish(bool mayHaveAlpha, LoadOutcome& outcome);

private:
    std::unique_ptr<Picture> picture_;
    std::unique_ptr<uint32_t[]> scratch_;
    PixelSurface stored_{};
    Orientation orientation_ = ORIENTATION_NONE;
};

// Keeps the straight colours of a picture whose pixels are written straight
// (not laid over black) when any is translucent, then lays them over black.
// Without the memory for the copy the readout shows the painted colours.
void KeepTranslucentColours(Picture& picture);
