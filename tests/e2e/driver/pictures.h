// Pictures made by the tests themselves: pixel patterns with known colours,
// written as BMP or PNG (decoded exactly) or JPEG (decoded approximately).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "view_model.h"

namespace e2e {

// Colours are 0xRRGGBB.
using ColourAt = std::function<uint32_t(int x, int y)>;

struct Picture {
    int width = 0;
    int height = 0;
    ColourAt colour;
};

constexpr uint32_t GREY_BACKGROUND = 0x5b5b5b;  // the view's margin colour
constexpr uint32_t FRAME_PEN = 0x778ed2;        // the back buffer's outline pen (R 119, G 210, B 142)

// Neighbouring pixels always differ and no pixel is the margin grey: red and
// green count the column and row, blue (always >= 0x80) folds in the high bits.
Picture PatternPicture(int width, int height);
// Flat 16 x 16 blocks from a palette of strong colours: survives JPEG coding.
Picture BlockPicture(int width, int height);

// UTF-8 to UTF-16.
std::wstring Widen(const std::string& text);
// A path for the file functions: full paths too long for the system's old
// limit get the extended-length prefix.
std::wstring FileSystemPath(const std::string& path);

// Another picture of the same size: every colour with `mask` (a few bits
// under 0x80 of blue) flipped, so no pixel matches the original or the margin.
Picture TintedPicture(const Picture& picture, uint32_t mask);

// The picture turned or mirrored as the R, L and H keys show it.
Picture TurnedPicture(const Picture& picture, Turn turn);

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

// 24-bit bottom-up BMP.
std::vector<uint8_t> EncodeBmp(const Picture& picture);
// One-bit greyscale PNG compressed with fixed-Huffman run-length deflate, so
// that very large pictures stay small files; white where the predicate holds.
// The predicate is asked only for the first of every rowsAlike rows; the
// others repeat it.
std::vector<uint8_t> EncodeBilevelPng(int width, int height,
                                      const std::function<bool(int, int)>& white, int rowsAlike = 1);

// 256-colour GIF (every colour of the picture in its palette, at most 256),
// LZW codes kept at 9 bits by frequent clear codes.
std::vector<uint8_t> EncodeGif(const Picture& picture);
// Uncompressed 24-bit RGB TIFF, little-endian, one strip.
std::vector<uint8_t> EncodeTiff(const Picture& picture);
// An icon of one 32-bit image (sides up to 256), every pixel opaque.
std::vector<uint8_t> EncodeIco(const Picture& picture);
// The JPEG with an Exif block right after its start marker whose IFD0 holds
// only the orientation tag.
std::vector<uint8_t> WithExifOrientation(const std::vector<uint8_t>& jpeg, uint16_t orientation);
// The picture as shown once the Exif orientation is applied (1..8).
Picture Oriented(const Picture& stored, int orientation);

// Big-endian and little-endian fields in a file's bytes, for tests that
// damage headers on purpose.
void SetBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size);
void SetLittleEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size);
// The CRC of a PNG chunk over its type and data (at points to its length field).
void FixPngChunkCrc(std::vector<uint8_t>& bytes, size_t at);

// Eight-bit RGBA PNG with the given alpha per pixel (colours straight, not
// laid over black).
std::vector<uint8_t> EncodeRgbaPng(const Picture& picture, const std::function<uint8_t(int, int)>& alpha);

// A PNG of 16 bits per channel from its values, rows top-down: grey (1
// value per pixel), grey and alpha (2), RGB (3) or RGBA (4).
std::vector<uint8_t> EncodeDeepPng(int width, int height, int channels, const std::vector<uint16_t>& values);

// A TGA of 24 bits (or 32 with alpha, straight), uncompressed, its rows
// stored from the bottom up or, with topDown, from the top.
std::vector<uint8_t> EncodeTga(const Picture& picture, bool topDown,
                               const std::function<uint8_t(int, int)>& alpha = nullptr);

// A reference picture written by the tools (tests/e2e/scripts/make-pictures):
// a binary PGM (P5), PPM (P6) or PAM (P7, RGB or RGB_ALPHA), 8 bits. alpha gets the
// alpha of each pixel, rows top-down (255 without an alpha channel). False
// when the file is not there or not one of those.
bool ReadNetpbm(const std::string& path, Picture& picture, std::vector<uint8_t>* alpha = nullptr);

// Encoders of GDI+ (run under Wine, as the program's decoder is).
bool StartGdiplus();
bool WriteJpeg(const std::string& path, const Picture& picture);
// Rows top-down, 0x00RRGGBB per pixel.
bool WritePngFromPixels(const std::string& path, int width, int height,
                        const std::vector<uint32_t>& pixels);
// The picture as a 24-bit PNG file's bytes, and as a JPEG file's bytes
// (written through a scratch file next to path).
std::vector<uint8_t> EncodePng(const std::string& scratchPath, const Picture& picture);
std::vector<uint8_t> EncodeJpeg(const std::string& scratchPath, const Picture& picture);

}  // namespace e2e
