// decoder_probe.exe: proves that the decoder libraries link into a Windows
// program and decode there. For each JPEG, PNG or WebP file on the command
// line it decodes the whole picture to 8-bit RGBA and prints
//   FILE: FORMAT W x H, N frame(s), first pixel R G B A
// (a WebP through the demux library's animation decoder, which also takes
// still files; N counts its frames, the pixels are those of the first).
// With --versions it prints each library's own version next to the one in
// decoder_versions.h. Exit status 1 when a file does not decode, 2 on usage.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <webp/decode.h>
#include <webp/demux.h>
#include <zlib.h>

#include "decoder_versions.h"

namespace {

constexpr int EXIT_UNDECODED = 1;
constexpr int EXIT_USAGE = 2;
constexpr size_t RGBA_BYTES = 4;
// Larger pictures are refused before any buffer is made for them.
constexpr uint64_t MAX_PIXELS = uint64_t{1} << 28;

struct Decoded {
    const char* format = "";
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t frames = 1;
    std::vector<uint8_t> rgba;
};

bool SizeAllowed(uint64_t width, uint64_t height, std::string& error) {
    if (width == 0 || height == 0 || width * height > MAX_PIXELS) {
        error = "size " + std::to_string(width) + " x " + std::to_string(height) + " is out of range";
        return false;
    }
    return true;
}

// libjpeg reports errors through a callback that must not return; it finds
// the job through the decompressor's client_data.
struct JpegJob {
    jpeg_error_mgr errors{};
    std::jmp_buf failed{};
    char message[JMSG_LENGTH_MAX] = {};
    jpeg_decompress_struct info{};
    const std::vector<uint8_t>* bytes = nullptr;
    Decoded* out = nullptr;
    std::string sizeError;
};

void OnJpegError(j_common_ptr info) {
    JpegJob* job = static_cast<JpegJob*>(info->client_data);
    job->errors.format_message(info, job->message);
    std::longjmp(job->failed, 1);
}

void OnJpegWarning(j_common_ptr, int) {}

// All state lives in the job, so nothing local is lost to the long jump.
bool RunJpegJob(JpegJob& job) {
    if (setjmp(job.failed)) {
        jpeg_destroy_decompress(&job.info);
        return false;
    }
    jpeg_create_decompress(&job.info);
    jpeg_mem_src(&job.info, job.bytes->data(), static_cast<unsigned long>(job.bytes->size()));
    jpeg_read_header(&job.info, TRUE);
    job.info.out_color_space = JCS_EXT_RGBA;
    if (!SizeAllowed(job.info.image_width, job.info.image_height, job.sizeError)) {
        jpeg_destroy_decompress(&job.info);
        return false;
    }
    jpeg_start_decompress(&job.info);
    job.out->width = job.info.output_width;
    job.out->height = job.info.output_height;
    job.out->rgba.resize(size_t{job.out->width} * job.out->height * RGBA_BYTES);
    while (job.info.output_scanline < job.info.output_height) {
        JSAMPROW row = job.out->rgba.data() + size_t{job.info.output_scanline} * job.out->width * RGBA_BYTES;
        jpeg_read_scanlines(&job.info, &row, 1);
    }
    jpeg_finish_decompress(&job.info);
    jpeg_destroy_decompress(&job.info);
    return true;
}

bool DecodeJpeg(const std::vector<uint8_t>& bytes, Decoded& out, std::string& error) {
    auto job = std::make_unique<JpegJob>();
    job->info.err = jpeg_std_error(&job->errors);
    job->info.client_data = job.get();  // kept by jpeg_create_decompress
    job->errors.error_exit = OnJpegError;
    job->errors.emit_message = OnJpegWarning;
    job->bytes = &bytes;
    job->out = &out;
    out.format = "JPEG";
    if (RunJpegJob(*job)) return true;
    error = job->sizeError.empty() ? job->message : job->sizeError;
    return false;
}

bool DecodePng(const std::vector<uint8_t>& bytes, Decoded& out, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    out.format = "PNG";
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        error = image.message;
        return false;
    }
    if (!SizeAllowed(image.width, image.height, error)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    out.width = image.width;
    out.height = image.height;
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        error = image.message;
        return false;
    }
    return true;
}

struct AnimDecoderDeleter {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

bool DecodeWebp(const std::vector<uint8_t>& bytes, Decoded& out, std::string& error) {
    out.format = "WebP";
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(bytes.data(), bytes.size(), &features) != VP8_STATUS_OK) {
        error = "damaged WebP header";
        return false;
    }
    if (!SizeAllowed(static_cast<uint32_t>(features.width), static_cast<uint32_t>(features.height), error)) {
        return false;
    }
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    const WebPData data{bytes.data(), bytes.size()};
    std::unique_ptr<WebPAnimDecoder, AnimDecoderDeleter> decoder(WebPAnimDecoderNew(&data, &options));
    WebPAnimInfo info;
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info) ||
        !SizeAllowed(info.canvas_width, info.canvas_height, error) ||
        !WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp)) {
        if (error.empty()) error = "damaged WebP data";
        return false;
    }
    out.width = info.canvas_width;
    out.height = info.canvas_height;
    out.frames = info.frame_count;
    out.rgba.assign(canvas, canvas + size_t{out.width} * out.height * RGBA_BYTES);
    return true;
}

bool StartsWith(const std::vector<uint8_t>& bytes, size_t at, const char* text, size_t length) {
    return bytes.size() >= at + length && std::memcmp(bytes.data() + at, text, length) == 0;
}

bool Decode(const std::vector<uint8_t>& bytes, Decoded& out, std::string& error) {
    static constexpr char JPEG_SIGNATURE[] = "\xFF\xD8\xFF";
    static constexpr char PNG_SIGNATURE[] = "\x89PNG\r\n\x1A\n";
    static constexpr size_t WEBP_FORM_AT = 8;
    if (StartsWith(bytes, 0, JPEG_SIGNATURE, sizeof JPEG_SIGNATURE - 1)) return DecodeJpeg(bytes, out, error);
    if (StartsWith(bytes, 0, PNG_SIGNATURE, sizeof PNG_SIGNATURE - 1)) return DecodePng(bytes, out, error);
    if (StartsWith(bytes, 0, "RIFF", 4) && StartsWith(bytes, WEBP_FORM_AT, "WEBP", 4)) {
        return DecodeWebp(bytes, out, error);
    }
    error = "not a JPEG, PNG or WebP file";
    return false;
}

// "major.minor.patch" from a number holding each part in UNIT steps.
std::string Dotted(unsigned number, unsigned unit) {
    return std::to_string(number / unit / unit) + "." + std::to_string(number / unit % unit) + "." +
           std::to_string(number % unit);
}

void PrintVersions() {
    constexpr unsigned JPEG_VERSION_UNIT = 1000;  // 2001005 is 2.1.5
    constexpr unsigned WEBP_VERSION_UNIT = 256;   // 0x010204 is 1.2.4
    constexpr unsigned PNG_VERSION_UNIT = 100;    // 10639 is 1.6.39
    std::printf("libjpeg-turbo: library %s, decoder_versions.h %s\n",
                Dotted(LIBJPEG_TURBO_VERSION_NUMBER, JPEG_VERSION_UNIT).c_str(), KIV_LIBJPEG_TURBO_VERSION);
    std::printf("libwebp: library %s, decoder_versions.h %s\n",
                Dotted(static_cast<unsigned>(WebPGetDecoderVersion()), WEBP_VERSION_UNIT).c_str(), KIV_LIBWEBP_VERSION);
    std::printf("libwebpdemux: library %s, decoder_versions.h %s\n",
                Dotted(static_cast<unsigned>(WebPGetDemuxVersion()), WEBP_VERSION_UNIT).c_str(), KIV_LIBWEBP_VERSION);
    std::printf("libpng: library %s, decoder_versions.h %s\n",
                Dotted(png_access_version_number(), PNG_VERSION_UNIT).c_str(), KIV_LIBPNG_VERSION);
    std::printf("zlib: library %s, decoder_versions.h %s\n", zlibVersion(), KIV_ZLIB_VERSION);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: decoder_probe --versions | FILE...\n");
        return EXIT_USAGE;
    }
    if (std::string(argv[1]) == "--versions") {
        PrintVersions();
        return EXIT_SUCCESS;
    }
    int status = EXIT_SUCCESS;
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        std::vector<uint8_t> bytes;
        Decoded picture;
        std::string error;
        try {
            if (!file) {
                error = "cannot open the file";
            } else {
                bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
                Decode(bytes, picture, error);
            }
        } catch (const std::bad_alloc&) {
            error = "out of memory";
        }
        if (!error.empty()) {
            std::printf("%s: %s%s%s\n", argv[i], picture.format, *picture.format ? ": " : "", error.c_str());
            status = EXIT_UNDECODED;
            continue;
        }
        const uint8_t* first = picture.rgba.data();
        std::printf("%s: %s %u x %u, %u frame(s), first pixel %u %u %u %u\n", argv[i], picture.format,
                    picture.width, picture.height, picture.frames, first[0], first[1], first[2], first[3]);
    }
    return status;
}
