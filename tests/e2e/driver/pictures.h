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
std::vector<uint8_t> EncodeBilevelPng(int width, int height,
                                      const std::function<bool(int, int)>& white);

// Eight-bit RGBA PNG with the given alpha per pixel (colours straight, not
// laid over black).
std::vector<uint8_t> EncodeRgbaPng(const Picture& picture, const std::function<uint8_t(int, int)>& alpha);

// Encoders of GDI+ (run under Wine, as the program's decoder is).
bool StartGdiplus();
bool WriteJpeg(const std::string& path, const Picture& picture);
// Rows top-down, 0x00RRGGBB per pixel.
bool WritePngFromPixels(const std::string& path, int width, int height,
                        const std::vector<uint32_t>& pixels);

}  // namespace e2e
