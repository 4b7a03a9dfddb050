// JPEG through libjpeg-turbo (with its SIMD code): baseline, progressive and
// arithmetic-coded files, greyscale, YCbCr, RGB, CMYK and YCCK, decoded at
// full size straight into the picture's rows.
//
// libjpeg ends a broken file through its error exit, which here jumps back
// with longjmp to RunJpeg. That function and everything libjpeg calls back
// are plain C-style code: no object with a destructor lives in a frame the
// jump leaves, and every path out, the jump's included, frees what libjpeg
// holds with jpeg_destroy_decompress. What the C++ side owns (the picture,
// the scratch rows) belongs to the caller's frame, which the jump never
// leaves.
#include <csetjmp>
#include <climits>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "document/decoder.h"

namespace {

constexpr int TWELVE_BIT_PRECISION = 12;
constexpr JDIMENSION ROWS_PER_READ = 16;  // rows asked of libjpeg at a time, cancelled looked at between
constexpr uint32_t CHANNEL_MAX = 255;
constexpr uint32_t OPAQUE_ALPHA = 0xFF000000u;
constexpr uint32_t RED_SHIFT = 16;
constexpr uint32_t GREEN_SHIFT = 8;

// libjpeg sees the first member; the jump target sits beside it.
struct JpegErrors {
    jpeg_error_mgr manager;
    jmp_buf exit;
};

enum class JpegEnd { Decoded, Damaged, OutOfMemory, TwelveBit, TooLarge, Cancelled };

// Everything RunJpeg reads and writes, owned by its caller.
struct JpegJob {
    const DecodeInput* input;
    LoadOutcome* outcome;
    StoredRows* rows;
};

void ExitOnError(j_common_ptr info) {
    longjmp(reinterpret_cast<JpegErrors*>(info->err)->exit, 1);
}

// Warnings (corrupt data, a file cut short) are not shown: libjpeg goes on
// and fills what is missing, and the picture shows what there is.
void IgnoreMessage(j_common_ptr, int) {}

JpegEnd EndOfError(const jpeg_error_mgr& errors) {
    switch (errors.msg_code) {
        case JERR_OUT_OF_MEMORY: return JpegEnd::OutOfMemory;
        case JERR_BAD_PRECISION:
            return errors.msg_parm.i[0] == TWELVE_BIT_PRECISION ? JpegEnd::TwelveBit : JpegEnd::Damaged;
        default: return JpegEnd::Damaged;
    }
}

// Adobe's CMYK as libjpeg hands it over (inverted, as Photoshop writes it)
// to red, green and blue, in place: red = C x K / 255 and so on, rounded, as
// libjpeg-turbo's own djpeg converts it.
void CmykToBgra(uint8_t* row, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x) {
        uint8_t* pixel = row + static_cast<size_t>(x) * Picture::BYTES_PER_PIXEL;
        const uint32_t c = pixel[0], m = pixel[1], y = pixel[2], k = pixel[3];
        const uint32_t red = (c * k + CHANNEL_MAX / 2) / CHANNEL_MAX;
        const uint32_t green = (m * k + CHANNEL_MAX / 2) / CHANNEL_MAX;
        const uint32_t blue = (y * k + CHANNEL_MAX / 2) / CHANNEL_MAX;
        const uint32_t bgra = OPAQUE_ALPHA | red << RED_SHIFT | green << GREEN_SHIFT | blue;
        std::memcpy(pixel, &bgra, sizeof bgra);
    }
}

JpegEnd ReadRows(jpeg_decompress_struct& info, JpegJob* job, bool cmyk) {
    JSAMPROW batch[ROWS_PER_READ];
    while (info.output_scanline < info.output_height) {
        if (*job->input->cancelled) return JpegEnd::Cancelled;
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION left = info.output_height - first;
        const JDIMENSION count = left < ROWS_PER_READ ? left : ROWS_PER_READ;
        for (JDIMENSION i = 0; i < count; ++i) batch[i] = reinterpret_cast<JSAMPROW>(job->rows->Row(first + i));
        const JDIMENSION read = jpeg_read_scanlines(&info, batch, count);
        if (read == 0) return JpegEnd::Damaged;  // suspended: no more data, which a memory source never does
        if (cmyk) {
            for (JDIMENSION i = 0; i < read; ++i) CmykToBgra(batch[i], info.output_width);
        }
    }
    return JpegEnd::Decoded;
}

// The decode from header to last row. Only plain data lives here.
JpegEnd RunJpeg(JpegJob* job) {
    jpeg_decompress_struct info;
    JpegErrors errors;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = ExitOnError;
    errors.manager.emit_message = IgnoreMessage;
    if (setjmp(errors.exit) != 0) {
        const JpegEnd end = EndOfError(errors.manager);
        jpeg_destroy_decompress(&info);
        return end;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, job->input->bytes, static_cast<unsigned long>(job->input->size));
    jpeg_read_header(&info, TRUE);

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_calc_output_dimensions(&info);
    JpegEnd end = JpegEnd::Decoded;
    if (RefusedAsTooLarge(*job->input, info.output_width, info.output_height, *job->outcome)) {
        end = JpegEnd::TooLarge;
    } else if (GivenUp(*job->input, *job->outcome)) {
        end = JpegEnd::Cancelled;
    } else if (!job->rows->Start(*job->input, info.output_width, info.output_height, *job->outcome)) {
        end = JpegEnd::OutOfMemory;
    } else {
        jpeg_start_decompress(&info);
        end = ReadRows(info, job, cmyk);
    }
    // No jpeg_finish_decompress: what follows the last row is not needed.
    jpeg_destroy_decompress(&info);
    return end;
}

}  // namespace

void DecodeJpeg(const DecodeInput& input, LoadOutcome& outcome) {
    if (input.size > ULONG_MAX) {  // libjpeg's memory source counts in unsigned long
        ShownSize(input.header, outcome.width, outcome.height);
        outcome.error = LoadError::TooLarge;
        return;
    }
    StoredRows rows;
    JpegJob job = {&input, &outcome, &rows};
    switch (RunJpeg(&job)) {
        case JpegEnd::Decoded: rows.Finish(false, outcome); return;
        case JpegEnd::Damaged: outcome.error = LoadError::Damaged; return;
        case JpegEnd::OutOfMemory: outcome.error = LoadError::OutOfMemory; return;
        case JpegEnd::TwelveBit: outcome.error = LoadError::TwelveBitJpeg; return;
        case JpegEnd::Cancelled: outcome.error = LoadError::Cancelled; return;
        case JpegEnd::TooLarge: return;  // outcome says so already
    }
}
