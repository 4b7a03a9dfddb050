#include "bare_decoders.h"

#include <windows.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <webp/decode.h>
#include <webp/encode.h>

#include "user_tools.h"

namespace userbench {
namespace {

constexpr int PIXEL_BYTES = 4;
constexpr int RGB_BYTES = 3;
constexpr float WEBP_QUALITY = 90;

// A block of memory for the decoded pixels, as kiv's picture is one.
class Pixels {
public:
    explicit Pixels(size_t bytes) : bytes_(VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)) {}
    ~Pixels() {
        if (bytes_) VirtualFree(bytes_, 0, MEM_RELEASE);
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;
    uint8_t* Get() const { return static_cast<uint8_t*>(bytes_); }

private:
    void* bytes_;
};

bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileW(e2e::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD read = 0;
    const bool whole = ReadFile(file, bytes.data(), size, &read, nullptr) && read == size;
    CloseHandle(file);
    return whole;
}

struct JpegErrors {
    jpeg_error_mgr manager;
    jmp_buf exit;
};

void JumpOut(j_common_ptr info) { longjmp(reinterpret_cast<JpegErrors*>(info->err)->exit, 1); }

// Plain C-style: nothing with a destructor lives across the jump.
bool DecodeJpegInto(const uint8_t* bytes, size_t size, Pixels** pixels) {
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOut;
    if (setjmp(errors.exit) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    const size_t stride = static_cast<size_t>(info.output_width) * PIXEL_BYTES;
    *pixels = new Pixels(stride * info.output_height);
    uint8_t* rows = (*pixels)->Get();
    bool complete = rows != nullptr;
    while (complete && info.output_scanline < info.output_height) {
        JSAMPROW row = rows + info.output_scanline * stride;
        complete = jpeg_read_scanlines(&info, &row, 1) == 1;
    }
    jpeg_destroy_decompress(&info);
    return complete;
}

bool DecodeJpeg(const std::vector<uint8_t>& bytes) {
    Pixels* pixels = nullptr;
    const bool decoded = DecodeJpegInto(bytes.data(), bytes.size(), &pixels);
    delete pixels;
    return decoded;
}

bool DecodePng(const std::vector<uint8_t>& bytes) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
    image.format = PNG_FORMAT_BGRA;
    Pixels pixels(PNG_IMAGE_SIZE(image));
    if (!pixels.Get()) {
        png_image_free(&image);
        return false;
    }
    return png_image_finish_read(&image, nullptr, pixels.Get(), 0, nullptr) != 0;
}

bool DecodeWebP(const std::vector<uint8_t>& bytes) {
    int width = 0, height = 0;
    if (!WebPGetInfo(bytes.data(), bytes.size(), &width, &height)) return false;
    const size_t stride = static_cast<size_t>(width) * PIXEL_BYTES;
    Pixels pixels(stride * height);
    return pixels.Get() && WebPDecodeBGRAInto(bytes.data(), bytes.size(), pixels.Get(), stride * height,
                                              static_cast<int>(stride)) != nullptr;
}

std::vector<uint8_t> RgbRows(const e2e::Picture& picture, bool bgr) {
    std::vector<uint8_t> rows(static_cast<size_t>(picture.width) * picture.height * RGB_BYTES);
    uint8_t* out = rows.data();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x, out += RGB_BYTES) {
            const uint32_t c = picture.colour(x, y);
            out[bgr ? 2 : 0] = static_cast<uint8_t>(c >> 16);
            out[1] = static_cast<uint8_t>(c >> 8);
            out[bgr ? 0 : 2] = static_cast<uint8_t>(c);
        }
    }
    return rows;
}

}  // namespace

double BareLibraryDecodeMs(Library library, const std::string& path, std::string* error) {
    const double start = NowMs();
    std::vector<uint8_t> bytes;
    if (!ReadWhole(path, bytes)) {
        *error = "cannot read " + path;
        return -1;
    }
    bool decoded = false;
    switch (library) {
        case Library::Jpeg: decoded = DecodeJpeg(bytes); break;
        case Library::Png: decoded = DecodePng(bytes); break;
        case Library::WebP: decoded = DecodeWebP(bytes); break;
    }
    const double elapsed = NowMs() - start;
    if (!decoded) {
        *error = "the library could not decode " + path;
        return -1;
    }
    return elapsed;
}

bool WritePng(const std::string& path, const e2e::Picture& picture) {
    const std::vector<uint8_t> rows = RgbRows(picture, false);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rows.data(), 0, nullptr)) return false;
    std::vector<uint8_t> png(size);
    return png_image_write_to_memory(&image, png.data(), &size, 0, rows.data(), 0, nullptr) &&
           e2e::WriteBytes(path, std::vector<uint8_t>(png.begin(), png.begin() + size));
}

bool WriteWebP(const std::string& path, const e2e::Picture& picture) {
    const std::vector<uint8_t> rows = RgbRows(picture, true);
    uint8_t* encoded = nullptr;
    const size_t size = WebPEncodeBGR(rows.data(), picture.width, picture.height, picture.width * RGB_BYTES,
                                      WEBP_QUALITY, &encoded);
    const bool written = size > 0 && e2e::WriteBytes(path, std::vector<uint8_t>(encoded, encoded + size));
    WebPFree(encoded);
    return written;
}

}  // namespace userbench
