// make_icon: draws kiv's application icon and writes it as a .ico file.
//   make_icon OUTPUT.ico
// A framed picture (sky, sun, two hills), drawn from shapes at every size the
// shell and the title bars ask for between 100 % and 200 % display scaling,
// each pixel averaged from a grid of samples so the edges are smooth. The
// images are 32-bit with alpha, stored as bottom-up DIBs with an AND mask, the
// form every Windows since XP reads.
// Built and run on the build machine while the Windows program is built.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr std::array<int, 7> ICON_SIZES = {16, 20, 24, 32, 40, 48, 64};
constexpr int SAMPLES_PER_AXIS = 4;  // 16 samples per pixel

struct Colour {
    double r, g, b, a;
};

constexpr Colour TRANSPARENT = {0, 0, 0, 0};
constexpr Colour FRAME = {0x2e, 0x3a, 0x4b, 1};
constexpr Colour SKY_TOP = {0x3d, 0x8f, 0xd9, 1};
constexpr Colour SKY_BOTTOM = {0xb9, 0xe0, 0xfa, 1};
constexpr Colour SUN = {0xff, 0xc8, 0x3d, 1};
constexpr Colour FAR_HILL = {0x2f, 0x7d, 0x3b, 1};
constexpr Colour NEAR_HILL = {0x4c, 0xae, 0x4f, 1};

// The shapes, in units of the icon's side (0 to 1, y downwards).
constexpr double BODY_MARGIN = 0.06;
constexpr double BODY_RADIUS = 0.16;
constexpr double FRAME_WIDTH = 0.08;
constexpr double SUN_X = 0.68, SUN_Y = 0.34, SUN_RADIUS = 0.12;
constexpr double FAR_HILL_X = 0.68, FAR_HILL_Y = 0.50, FAR_HILL_SLOPE = 0.9;
constexpr double NEAR_HILL_X = 0.36, NEAR_HILL_Y = 0.44, NEAR_HILL_SLOPE = 1.1;

bool InRoundedSquare(double x, double y, double margin, double radius) {
    const double low = margin + radius, high = 1 - margin - radius;
    const double dx = x < low ? low - x : (x > high ? x - high : 0);
    const double dy = y < low ? low - y : (y > high ? y - high : 0);
    if (x < margin || x > 1 - margin || y < margin || y > 1 - margin) return false;
    return dx * dx + dy * dy <= radius * radius;
}

bool UnderHill(double x, double y, double peakX, double peakY, double slope) {
    return y >= peakY + slope * std::fabs(x - peakX);
}

// The colour at one sample point.
Colour ShapeAt(double x, double y) {
    if (!InRoundedSquare(x, y, BODY_MARGIN, BODY_RADIUS)) return TRANSPARENT;
    if (!InRoundedSquare(x, y, BODY_MARGIN + FRAME_WIDTH, BODY_RADIUS - FRAME_WIDTH)) return FRAME;
    if (UnderHill(x, y, NEAR_HILL_X, NEAR_HILL_Y, NEAR_HILL_SLOPE)) return NEAR_HILL;
    if (UnderHill(x, y, FAR_HILL_X, FAR_HILL_Y, FAR_HILL_SLOPE)) return FAR_HILL;
    const double sx = x - SUN_X, sy = y - SUN_Y;
    if (sx * sx + sy * sy <= SUN_RADIUS * SUN_RADIUS) return SUN;
    const double t = y;  // the sky lightens towards the horizon
    return {SKY_TOP.r + (SKY_BOTTOM.r - SKY_TOP.r) * t, SKY_TOP.g + (SKY_BOTTOM.g - SKY_TOP.g) * t,
            SKY_TOP.b + (SKY_BOTTOM.b - SKY_TOP.b) * t, 1};
}

uint8_t Channel(double value) { return static_cast<uint8_t>(std::lround(std::fmin(std::fmax(value, 0), 255))); }

// BGRA rows, top-down.
std::vector<uint8_t> Draw(int size) {
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 4);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Colour sum = TRANSPARENT;  // colour premultiplied by coverage
            for (int sy = 0; sy < SAMPLES_PER_AXIS; ++sy) {
                for (int sx = 0; sx < SAMPLES_PER_AXIS; ++sx) {
                    const Colour c = ShapeAt((px + (sx + 0.5) / SAMPLES_PER_AXIS) / size,
                                             (py + (sy + 0.5) / SAMPLES_PER_AXIS) / size);
                    sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
                }
            }
            uint8_t* out = &pixels[(static_cast<size_t>(py) * size + px) * 4];
            const double alpha = sum.a / (SAMPLES_PER_AXIS * SAMPLES_PER_AXIS);
            if (sum.a > 0) {  // the icon holds straight, not premultiplied, colours
                out[0] = Channel(sum.b / sum.a);
                out[1] = Channel(sum.g / sum.a);
                out[2] = Channel(sum.r / sum.a);
            }
            out[3] = Channel(alpha * 255);
        }
    }
    return pixels;
}

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

constexpr uint32_t ICONDIR_BYTES = 6;
constexpr uint32_t ICONDIRENTRY_BYTES = 16;
constexpr uint32_t BITMAPINFOHEADER_BYTES = 40;
constexpr uint32_t ICON_TYPE = 1;
constexpr uint32_t BITS_PER_PIXEL = 32;
constexpr uint32_t MASK_ROW_ALIGN_BITS = 32;

uint32_t MaskRowBytes(int size) { return (size + MASK_ROW_ALIGN_BITS - 1) / MASK_ROW_ALIGN_BITS * 4; }

// One image: the DIB header (twice the height: colours, then mask), the
// colours and the AND mask, both bottom-up; the mask is set where alpha is 0.
std::vector<uint8_t> IconImage(int size) {
    const std::vector<uint8_t> pixels = Draw(size);
    const uint32_t colourBytes = static_cast<uint32_t>(pixels.size());
    const uint32_t maskBytes = MaskRowBytes(size) * size;
    std::vector<uint8_t> out;
    Put32(out, BITMAPINFOHEADER_BYTES);
    Put32(out, size);
    Put32(out, 2 * size);
    Put16(out, 1);  // planes
    Put16(out, BITS_PER_PIXEL);
    Put32(out, 0);  // BI_RGB
    Put32(out, colourBytes + maskBytes);
    for (int i = 0; i < 4; ++i) Put32(out, 0);  // resolution and palette: unused
    for (int row = size - 1; row >= 0; --row) {
        const auto first = pixels.begin() + static_cast<std::ptrdiff_t>(row) * size * 4;
        out.insert(out.end(), first, first + size * 4);
    }
    for (int row = size - 1; row >= 0; --row) {
        std::vector<uint8_t> mask(MaskRowBytes(size), 0);
        for (int x = 0; x < size; ++x) {
            if (pixels[(static_cast<size_t>(row) * size + x) * 4 + 3] == 0) mask[x / 8] |= 0x80 >> (x % 8);
        }
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    std::vector<std::vector<uint8_t>> images;
    for (int size : ICON_SIZES) images.push_back(IconImage(size));

    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, ICON_TYPE);
    Put16(file, static_cast<uint32_t>(images.size()));
    uint32_t offset = ICONDIR_BYTES + ICONDIRENTRY_BYTES * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(ICON_SIZES[i]));
        file.push_back(static_cast<uint8_t>(ICON_SIZES[i]));
        file.push_back(0);  // no palette
        file.push_back(0);
        Put16(file, 1);  // planes
        Put16(file, BITS_PER_PIXEL);
        Put32(file, static_cast<uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());

    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
