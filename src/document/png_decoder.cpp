// PNG through libpng: every colour type and bit depth, palettes and
// transparency, interlaced or not. Pictures of 16 bits per channel keep their
// values beside the 8-bit pixels every view paints.
//
// libpng ends a broken file by a longjmp back to RunPng. That function and
// the callbacks libpng calls are plain C-style code: no object with a
// destructor lives in a frame the jump leaves, and every path out frees what
// libpng holds with png_destroy_read_struct. The C++ side's memory (the
// picture, the 16-bit planes, the row buffer) belongs to the caller's frame.
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

#include <png.h>

#include "core/pixels/alpha.h"
#include "document/decoder.h"

namespace {

constexpr size_t EIGHT_BIT_PIXEL_BYTES = 4;  // blue, green, red, alpha
constexpr size_t DEEP_CHANNELS = 4;          // red, green, blue, alpha, 16 bits each
constexpr int DEEP_BIT_DEPTH = 16;
constexpr png_uint_32 EIGHT_BIT_OPAQUE = 0xFF;
constexpr png_uint_32 DEEP_OPAQUE = 0xFFFF;
constexpr uint32_t HIGH_HALF_SHIFT = 16;
constexpr uint32_t LOW_HALF_MASK = 0xFFFFu;
constexpr uint32_t ALPHA_SHIFT = 24;
constexpr uint32_t RED_SHIFT = 16;
constexpr uint32_t GREEN_SHIFT = 8;

enum class PngEnd { Decoded, Damaged, OutOfMemory, TooLarge, Cancelled };

// The file as libpng reads it.
struct PngSource {
    const uint8_t* bytes;
    size_t size;
    size_t at;
};

// Whether an allocation of libpng's failed: its error then says out of memory.
struct PngMemory {
    bool failed;
};

// The 16-bit values of a deep picture: two planes laid out as the picture
// (see Picture::KeepDeepColours), and one row as libpng writes it.
class DeepRows {
public:
    bool Start(uint32_t width, uint32_t height) {
        width_ = width;
        height_ = height;
        const size_t pixels = static_cast<size_t>(width) * height;
        planes_.reset(new (std::nothrow) uint32_t[Picture::DEEP_PLANES * pixels]);
        row_.reset(new (std::nothrow) uint16_t[DEEP_CHANNELS * width]);
        return planes_ && row_;
    }
    uint16_t* Row() { return row_.get(); }
    // The row y as it stands, for the next pass of an interlaced picture.
    void Load(uint32_t y) {
        const uint32_t* redGreen = Plane(0, y);
        const uint32_t* blueAlpha = Plane(1, y);
        uint16_t* out = row_.get();
        for (uint32_t x = 0; x < width_; ++x, out += DEEP_CHANNELS) {
            out[0] = static_cast<uint16_t>(redGreen[x] >> HIGH_HALF_SHIFT);
            out[1] = static_cast<uint16_t>(redGreen[x] & LOW_HALF_MASK);
            out[2] = static_cast<uint16_t>(blueAlpha[x] >> HIGH_HALF_SHIFT);
            out[3] = static_cast<uint16_t>(blueAlpha[x] & LOW_HALF_MASK);
        }
    }
    // Keeps the row libpng wrote as row y, and writes its 8-bit pixels.
    void Store(uint32_t y, uint32_t* eightBit) {
        uint32_t* redGreen = Plane(0, y);
        uint32_t* blueAlpha = Plane(1, y);
        const uint16_t* in = row_.get();
        for (uint32_t x = 0; x < width_; ++x, in += DEEP_CHANNELS) {
            redGreen[x] = uint32_t{in[0]} << HIGH_HALF_SHIFT | in[1];
            blueAlpha[x] = uint32_t{in[2]} << HIGH_HALF_SHIFT | in[3];
            eightBit[x] = uint32_t{EightBitsOf(in[3])} << ALPHA_SHIFT | uint32_t{EightBitsOf(in[0])} << RED_SHIFT |
                          uint32_t{EightBitsOf(in[1])} << GREEN_SHIFT | EightBitsOf(in[2]);
        }
    }
    // Whether any alpha is less than opaque is asked of the finished planes:
    // the rows of an interlaced picture hold more than their pass until the last.
    void HandTo(Picture& picture) {
        const size_t pixels = static_cast<size_t>(width_) * height_;
        const uint32_t* blueAlpha = planes_.get() + pixels;
        bool translucent = false;
        for (size_t i = 0; i < pixels && !translucent; ++i) translucent = (blueAlpha[i] & LOW_HALF_MASK) != DEEP_OPAQUE;
        picture.KeepDeepColours(std::move(planes_), translucent);
    }

private:
    // Rows bottom-up, as the picture's.
    uint32_t* Plane(uint32_t plane, uint32_t y) {
        const size_t pixels = static_cast<size_t>(width_) * height_;
        return planes_.get() + plane * pixels + static_cast<size_t>(height_ - 1 - y) * width_;
    }
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    std::unique_ptr<uint32_t[]> planes_;
    std::unique_ptr<uint16_t[]> row_;
};

// Everything RunPng reads and writes, owned by its caller.
struct PngJob {
    const DecodeInput* input;
    LoadOutcome* outcome;
    StoredRows* rows;
    DeepRows* deep;
    bool withAlpha;
    bool isDeep;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
    PngSource* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->size - source->at) png_error(png, "cut short");
    std::memcpy(out, source->bytes + source->at, count);
    source->at += count;
}

void StopOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Warnings (a damaged ancillary chunk, say) do not stop the picture.
void IgnoreWarning(png_structp, png_const_charp) {}

png_voidp Allocate(png_structp png, png_alloc_size_t size) {
    void* block = std::malloc(size);
    if (block == nullptr) static_cast<PngMemory*>(png_get_mem_ptr(png))->failed = true;
    return block;
}

void Free(png_structp, png_voidp block) { std::free(block); }

// Asks libpng for rows of 32-bit blue, green, red, alpha, or for deep
// pictures red, green, blue, alpha of 16 bits in the machine's byte order.
void AskForPixels(png_structp png, png_infop info, PngJob* job) {
    const png_byte colourType = png_get_color_type(png, info);
    job->isDeep = png_get_bit_depth(png, info) == DEEP_BIT_DEPTH;
    job->withAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);  // palettes to colours, grey below 8 bits to 8, transparency to alpha
    png_set_gray_to_rgb(png);
    if (job->isDeep) {
        png_set_swap(png);
    } else {
        png_set_bgr(png);
    }
    if (!job->withAlpha) png_set_filler(png, job->isDeep ? DEEP_OPAQUE : EIGHT_BIT_OPAQUE, PNG_FILLER_AFTER);
}

PngEnd ReadRows(png_structp png, PngJob* job, int passes, png_uint_32 height) {
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            if (*job->input->cancelled) return PngEnd::Cancelled;
            uint32_t* row = job->rows->Row(y);
            if (!job->isDeep) {
                png_read_row(png, reinterpret_cast<png_bytep>(row), nullptr);
                continue;
            }
            if (pass > 0) job->deep->Load(y);
            png_read_row(png, reinterpret_cast<png_bytep>(job->deep->Row()), nullptr);
            job->deep->Store(y, row);
        }
    }
    return PngEnd::Decoded;
}

// The decode from signature to last row. Only plain data lives here.
PngEnd RunPng(PngJob* job) {
    PngMemory memory = {false};
    PngSource source = {job->input->bytes, job->input->size, 0};
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, StopOnError, IgnoreWarning, &memory,
                                               Allocate, Free);
    if (png == nullptr) return PngEnd::OutOfMemory;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return PngEnd::OutOfMemory;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        const PngEnd end = memory.failed ? PngEnd::OutOfMemory : PngEnd::Damaged;
        png_destroy_read_struct(&png, &info, nullptr);
        return end;
    }
    // The program's own limits decide what is too large, not libpng's.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_read_fn(png, &source, ReadFromMemory);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    PngEnd end = PngEnd::Decoded;
    if (RefusedAsTooLarge(*job->input, width, height, *job->outcome)) {
        end = PngEnd::TooLarge;
    } else if (GivenUp(*job->input, *job->outcome)) {
        end = PngEnd::Cancelled;
    } else {
        AskForPixels(png, info, job);
        const int passes = png_set_interlace_handling(png);
        png_read_update_info(png, info);
        const size_t pixelBytes = job->isDeep ? DEEP_CHANNELS * sizeof(uint16_t) : EIGHT_BIT_PIXEL_BYTES;
        if (png_get_rowbytes(png, info) != pixelBytes * width) {
            end = PngEnd::Damaged;
        } else if (!job->rows->Start(*job->input, width, height, *job->outcome) ||
                   (job->isDeep && !job->deep->Start(width, height))) {
            end = PngEnd::OutOfMemory;
        } else {
            end = ReadRows(png, job, passes, height);
        }
    }
    // No png_read_end: the chunks after the pixels are not needed.
    png_destroy_read_struct(&png, &info, nullptr);
    return end;
}

}  // namespace

void DecodePng(const DecodeInput& input, LoadOutcome& outcome) {
    StoredRows rows;
    DeepRows deep;
    PngJob job = {&input, &outcome, &rows, &deep, false, false};
    switch (RunPng(&job)) {
        case PngEnd::Decoded:
            if (job.isDeep) deep.HandTo(rows.Target());
            rows.Finish(job.withAlpha, outcome);
            return;
        case PngEnd::Damaged: outcome.error = LoadError::Damaged; return;
        case PngEnd::OutOfMemory: outcome.error = LoadError::OutOfMemory; return;
        case PngEnd::Cancelled: outcome.error = LoadError::Cancelled; return;
        case PngEnd::TooLarge: return;  // outcome says so already
    }
}
