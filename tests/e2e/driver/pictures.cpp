#include "pictures.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace e2e {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(value & 0xff);
    out.push_back((value >> 8) & 0xff);
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(value >> 24);
    out.push_back((value >> 16) & 0xff);
    out.push_back((value >> 8) & 0xff);
    out.push_back(value & 0xff);
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

void PutPngChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBigEndian32(out, Crc32(typed.data(), typed.size()));
}

// Writes bits least significant first, as deflate wants them.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    void Bits(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
    }
    // Huffman codes go most significant bit first.
    void Code(uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
    }
    void Flush() {
        if (used_ != 0) out_.push_back(current_);
        current_ = 0;
        used_ = 0;
    }

private:
    void Bit(uint32_t bit) {
        current_ |= static_cast<uint8_t>(bit << used_);
        if (++used_ == 8) Flush();
    }
    std::vector<uint8_t>& out_;
    uint8_t current_ = 0;
    int used_ = 0;
};

void FixedLiteral(BitWriter& bits, int symbol) {
    if (symbol < 144) bits.Code(0x30 + symbol, 8);
    else if (symbol < 256) bits.Code(0x190 + symbol - 144, 9);
    else if (symbol < 280) bits.Code(symbol - 256, 7);
    else bits.Code(0xc0 + symbol - 280, 8);
}

// A back-reference of the given length (3 ... 258) at distance 1.
void FixedRepeat(BitWriter& bits, int length) {
    static const int base[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int extra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    int code = 28;
    while (base[code] > length) --code;
    FixedLiteral(bits, 257 + code);
    bits.Bits(length - base[code], extra[code]);
    bits.Code(0, 5);  // distance code 0: distance 1
}

std::vector<uint8_t> DeflateRuns(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out;
    BitWriter bits(out);
    bits.Bits(1, 1);  // final block
    bits.Bits(1, 2);  // fixed Huffman codes
    size_t i = 0;
    while (i < raw.size()) {
        FixedLiteral(bits, raw[i]);
        size_t run = 1;
        while (i + run < raw.size() && raw[i + run] == raw[i]) ++run;
        size_t repeat = run - 1;
        while (repeat >= 3) {
            int length = repeat > 258 ? 258 : static_cast<int>(repeat);
            if (repeat - length > 0 && repeat - length < 3) length -= 3;  // keep the tail encodable
            FixedRepeat(bits, length);
            repeat -= length;
        }
        for (size_t k = 0; k < repeat; ++k) FixedLiteral(bits, raw[i]);
        i += run;
    }
    FixedLiteral(bits, 256);
    bits.Flush();
    return out;
}

ULONG_PTR gdiplusToken;
bool gdiplusStarted = false;

struct GdiplusStartupInputRecord {
    UINT32 version;
    void* debugEventCallback;
    BOOL suppressBackgroundThread;
    BOOL suppressExternalCodecs;
};

constexpr int PIXEL_FORMAT_32BPP_RGB = 0x00022009;
constexpr int PIXEL_FORMAT_24BPP_RGB = 0x00021808;
// The encoders' class identifiers, fixed by GDI+.
constexpr CLSID JPEG_ENCODER = {0x557cf401, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
constexpr CLSID PNG_ENCODER = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

bool SaveScan0(const std::string& path, int width, int height, int stride, int format,
               uint8_t* rows, const CLSID& encoder);

}  // namespace

extern "C" {
int __stdcall GdiplusStartup(ULONG_PTR*, const GdiplusStartupInputRecord*, void*);
int __stdcall GdipCreateBitmapFromScan0(int, int, int, int, BYTE*, void**);
int __stdcall GdipSaveImageToFile(void*, const WCHAR*, const CLSID*, const void*);
int __stdcall GdipDisposeImage(void*);
}

namespace {

bool SaveScan0(const std::string& path, int width, int height, int stride, int format,
               uint8_t* rows, const CLSID& encoder) {
    if (!StartGdiplus()) return false;
    void* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, stride, format, rows, &bitmap) != 0) return false;
    std::wstring wide = Widen(path);
    const bool saved = GdipSaveImageToFile(bitmap, wide.c_str(), &encoder, nullptr) == 0;
    GdipDisposeImage(bitmap);
    return saved;
}

}  // namespace

std::wstring Widen(const std::string& text) {
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(length - 1);
    return wide;
}

std::wstring FileSystemPath(const std::string& path) {
    std::wstring wide = Widen(path);
    // CreateDirectoryW stops at 248 code units, the other functions at 260.
    constexpr size_t SHORTEST_LONG_PATH = 240;
    const bool drivePath = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
    if (drivePath && wide.size() >= SHORTEST_LONG_PATH) wide = L"\\\\?\\" + wide;
    return wide;
}

Picture PatternPicture(int width, int height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.colour = [](int x, int y) -> uint32_t {
        const uint32_t red = x & 0xff;
        const uint32_t green = y & 0xff;
        const uint32_t blue = 0x80 | (((x >> 8) * 5 + (y >> 8) * 11) & 0x7f);
        return (red << 16) | (green << 8) | blue;
    };
    return picture;
}

Picture BlockPicture(int width, int height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.colour = [](int x, int y) -> uint32_t {
        static const uint32_t palette[] = {0xe02020, 0x20c020, 0x2040e0, 0xf0f020,
                                           0x20e0e0, 0xe020e0, 0xf0f0f0, 0x202020};
        return palette[((x / 16) * 3 + (y / 16) * 5) % 8];
    };
    return picture;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::wstring wide = FileSystemPath(path);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24));
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    CloseHandle(file);
    return ok;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::wstring wide = FileSystemPath(path);
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), size, &read, nullptr)) read = 0;
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

std::vector<uint8_t> EncodeBmp(const Picture& picture) {
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * picture.height;
    std::vector<uint8_t> out;
    out.reserve(54 + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + pixelBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, picture.width);
    Put32(out, picture.height);  // positive: bottom-up rows
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.colour(x, y);
            out.push_back(c & 0xff);
            out.push_back((c >> 8) & 0xff);
            out.push_back((c >> 16) & 0xff);
        }
        for (uint32_t pad = picture.width * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

namespace {

// A PNG of one IDAT chunk holding the filtered rows `raw`.
std::vector<uint8_t> PngFile(int width, int height, uint8_t bitDepth, uint8_t colourType,
                             const std::vector<uint8_t>& raw) {
    uint32_t adlerA = 1, adlerB = 0;
    for (uint8_t byte : raw) {
        adlerA = (adlerA + byte) % 65521;
        adlerB = (adlerB + adlerA) % 65521;
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    std::vector<uint8_t> deflated = DeflateRuns(raw);
    zlib.insert(zlib.end(), deflated.begin(), deflated.end());
    PutBigEndian32(zlib, (adlerB << 16) | adlerA);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    std::vector<uint8_t> header;
    PutBigEndian32(header, width);
    PutBigEndian32(header, height);
    header.push_back(bitDepth);
    header.push_back(colourType);
    header.push_back(0);  // deflate
    header.push_back(0);  // adaptive filtering
    header.push_back(0);  // no interlace
    PutPngChunk(png, "IHDR", header);
    PutPngChunk(png, "IDAT", zlib);
    PutPngChunk(png, "IEND", {});
    return png;
}

}  // namespace

std::vector<uint8_t> EncodeBilevelPng(int width, int height,
                                      const std::function<bool(int, int)>& white, int rowsAlike) {
    const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        if (rowsAlike > 1 && y % rowsAlike != 0) {
            const size_t previous = raw.size() - 1 - rowBytes;
            raw.resize(raw.size() + rowBytes);
            std::copy_n(raw.begin() + previous, rowBytes, raw.end() - rowBytes);
            continue;
        }
        for (size_t b = 0; b < rowBytes; ++b) {
            uint8_t byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = static_cast<int>(b * 8) + bit;
                if (x < width && white(x, y)) byte |= 0x80 >> bit;
            }
            raw.push_back(byte);
        }
    }
    return PngFile(width, height, 1, 0, raw);  // one-bit greyscale
}

std::vector<uint8_t> EncodeRgbaPng(const Picture& picture, const std::function<uint8_t(int, int)>& alpha) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.colour(x, y);
            raw.insert(raw.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                   static_cast<uint8_t>(c), alpha(x, y)});
        }
    }
    return PngFile(picture.width, picture.height, 8, 6, raw);  // eight-bit RGBA
}

std::vector<uint8_t> EncodeDeepPng(int width, int height, int channels, const std::vector<uint16_t>& values) {
    static const uint8_t colourTypes[] = {0, 0, 4, 2, 6};  // by channel count
    std::vector<uint8_t> raw;
    size_t at = 0;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int i = 0; i < width * channels; ++i, ++at) {
            raw.push_back(static_cast<uint8_t>(values[at] >> 8));  // big-endian
            raw.push_back(static_cast<uint8_t>(values[at]));
        }
    }
    return PngFile(width, height, 16, colourTypes[channels], raw);
}

std::vector<uint8_t> EncodeTga(const Picture& picture, bool topDown, const std::function<uint8_t(int, int)>& alpha) {
    constexpr uint8_t TRUE_COLOUR = 2;
    constexpr uint8_t TOP_LEFT_ORIGIN = 0x20;
    constexpr uint8_t ALPHA_BITS = 8;
    std::vector<uint8_t> tga = {0, 0, TRUE_COLOUR, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(tga, picture.width);
    Put16(tga, picture.height);
    tga.push_back(alpha ? 32 : 24);
    tga.push_back(static_cast<uint8_t>((topDown ? TOP_LEFT_ORIGIN : 0) | (alpha ? ALPHA_BITS : 0)));
    for (int row = 0; row < picture.height; ++row) {
        const int y = topDown ? row : picture.height - 1 - row;
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.colour(x, y);
            tga.insert(tga.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)});
            if (alpha) tga.push_back(alpha(x, y));
        }
    }
    return tga;
}

namespace {

// The next whitespace-separated word of a Netpbm header; comments skipped.
std::string HeaderWord(const std::vector<uint8_t>& bytes, size_t& at) {
    std::string word;
    while (at < bytes.size()) {
        const char c = static_cast<char>(bytes[at]);
        if (c == '#' && word.empty()) {
            while (at < bytes.size() && bytes[at] != '\n') ++at;
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            if (!word.empty()) break;
            ++at;
        } else {
            word += c;
            ++at;
        }
    }
    return word;
}

}  // namespace

bool ReadNetpbm(const std::string& path, Picture& picture, std::vector<uint8_t>* alpha) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    size_t at = 0;
    const std::string magic = HeaderWord(bytes, at);
    int width = 0, height = 0, depth = 3, maximum = 0;
    if (magic == "P5" || magic == "P6") {
        depth = magic == "P5" ? 1 : 3;
        width = std::atoi(HeaderWord(bytes, at).c_str());
        height = std::atoi(HeaderWord(bytes, at).c_str());
        maximum = std::atoi(HeaderWord(bytes, at).c_str());
    } else if (magic == "P7") {
        for (std::string key = HeaderWord(bytes, at); !key.empty() && key != "ENDHDR"; key = HeaderWord(bytes, at)) {
            const std::string value = HeaderWord(bytes, at);
            if (key == "WIDTH") width = std::atoi(value.c_str());
            else if (key == "HEIGHT") height = std::atoi(value.c_str());
            else if (key == "DEPTH") depth = std::atoi(value.c_str());
            else if (key == "MAXVAL") maximum = std::atoi(value.c_str());
        }
    } else {
        return false;
    }
    ++at;  // the single whitespace byte before the samples
    const size_t count = static_cast<size_t>(width) * height;
    if (width <= 0 || height <= 0 || maximum != 255 || (depth != 1 && depth != 3 && depth != 4) || at > bytes.size() ||
        bytes.size() - at < count * depth) {
        return false;
    }
    auto colours = std::make_shared<std::vector<uint32_t>>(count);
    if (alpha) alpha->assign(count, 255);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = &bytes[at + i * depth];
        const uint8_t green = depth == 1 ? p[0] : p[1], blue = depth == 1 ? p[0] : p[2];
        (*colours)[i] = uint32_t{p[0]} << 16 | uint32_t{green} << 8 | blue;
        if (alpha && depth == 4) (*alpha)[i] = p[3];
    }
    picture.width = width;
    picture.height = height;
    picture.colour = [colours, width](int x, int y) { return (*colours)[static_cast<size_t>(y) * width + x]; };
    return true;
}

Picture TintedPicture(const Picture& picture, uint32_t mask) {
    Picture tinted = picture;
    tinted.colour = [picture, mask](int x, int y) { return picture.colour(x, y) ^ mask; };
    return tinted;
}

Picture TurnedPicture(const Picture& picture, Turn turn) {
    Picture turned = picture;
    if (turn != Turn::Mirror) std::swap(turned.width, turned.height);
    turned.colour = [picture, turn, w = turned.width, h = turned.height](int x, int y) {
        int64_t sx = x, sy = y;
        TurnPoint(w, h, Undoing(turn), sx, sy);
        return picture.colour(static_cast<int>(sx), static_cast<int>(sy));
    };
    return turned;
}

bool StartGdiplus() {
    if (gdiplusStarted) return true;
    GdiplusStartupInputRecord input = {1, nullptr, FALSE, FALSE};
    gdiplusStarted = GdiplusStartup(&gdiplusToken, &input, nullptr) == 0;
    return gdiplusStarted;
}

bool WriteJpeg(const std::string& path, const Picture& picture) {
    const int stride = picture.width * 4;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.colour(x, y);
            std::memcpy(&rows[static_cast<size_t>(y) * stride + x * 4], &c, 4);
        }
    }
    return SaveScan0(path, picture.width, picture.height, stride, PIXEL_FORMAT_32BPP_RGB,
                     rows.data(), JPEG_ENCODER);
}

bool WritePngFromPixels(const std::string& path, int width, int height,
                        const std::vector<uint32_t>& pixels) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = pixels[static_cast<size_t>(y) * width + x];
            uint8_t* p = &rows[static_cast<size_t>(y) * stride + x * 3];
            p[0] = c & 0xff;
            p[1] = (c >> 8) & 0xff;
            p[2] = (c >> 16) & 0xff;
        }
    }
    return SaveScan0(path, width, height, stride, PIXEL_FORMAT_24BPP_RGB, rows.data(),
                     PNG_ENCODER);
}

namespace {

// GIF: 8-bit codes, so 9-bit LZW codes; a clear code at least this often
// keeps the decoder's table below 512 entries and the code width at 9 bits.
constexpr int GIF_CODE_BITS = 9;
constexpr int GIF_LITERALS_PER_CLEAR = 250;
constexpr uint32_t GIF_CLEAR = 256;
constexpr uint32_t GIF_END = 257;
constexpr size_t GIF_SUB_BLOCK = 255;

constexpr uint16_t TIFF_SHORT = 3;
constexpr uint16_t TIFF_LONG = 4;

}  // namespace

std::vector<uint8_t> EncodeGif(const Picture& picture) {
    std::vector<uint32_t> palette;
    std::vector<uint8_t> indices;
    indices.reserve(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.colour(x, y);
            auto found = std::find(palette.begin(), palette.end(), c);
            if (found == palette.end()) {
                if (palette.size() == 256) return {};
                found = palette.insert(palette.end(), c);
            }
            indices.push_back(static_cast<uint8_t>(found - palette.begin()));
        }
    }
    palette.resize(256, 0);
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(out, picture.width);
    Put16(out, picture.height);
    out.push_back(0xF7);  // a global table of 256 colours, 8 bits each
    out.push_back(0);     // background colour
    out.push_back(0);     // no aspect ratio
    for (uint32_t c : palette) {
        out.push_back((c >> 16) & 0xff);
        out.push_back((c >> 8) & 0xff);
        out.push_back(c & 0xff);
    }
    out.push_back(0x2C);  // image descriptor
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, picture.width);
    Put16(out, picture.height);
    out.push_back(0);  // no local table, not interlaced
    out.push_back(8);  // LZW minimum code size
    std::vector<uint8_t> codes;
    BitWriter bits(codes);
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % GIF_LITERALS_PER_CLEAR == 0) bits.Bits(GIF_CLEAR, GIF_CODE_BITS);
        bits.Bits(indices[i], GIF_CODE_BITS);
    }
    bits.Bits(GIF_END, GIF_CODE_BITS);
    bits.Flush();
    for (size_t at = 0; at < codes.size(); at += GIF_SUB_BLOCK) {
        const size_t size = std::min(GIF_SUB_BLOCK, codes.size() - at);
        out.push_back(static_cast<uint8_t>(size));
        out.insert(out.end(), codes.begin() + at, codes.begin() + at + size);
    }
    out.push_back(0);     // end of the image data
    out.push_back(0x3B);  // trailer
    return out;
}

std::vector<uint8_t> EncodeTiff(const Picture& picture) {
    struct Entry {
        uint16_t tag;
        uint16_t type;
        uint32_t count;
        uint32_t value;
    };
    constexpr uint32_t ENTRY_COUNT = 10;
    constexpr uint32_t IFD_AT = 8;
    constexpr uint32_t BITS_AT = IFD_AT + 2 + ENTRY_COUNT * 12 + 4;
    constexpr uint32_t PIXELS_AT = BITS_AT + 6;
    const uint32_t pixelBytes = static_cast<uint32_t>(picture.width) * picture.height * 3;
    const Entry entries[ENTRY_COUNT] = {
        {256, TIFF_LONG, 1, static_cast<uint32_t>(picture.width)},   // width
        {257, TIFF_LONG, 1, static_cast<uint32_t>(picture.height)},  // height
        {258, TIFF_SHORT, 3, BITS_AT},                                // 8 bits per sample
        {259, TIFF_SHORT, 1, 1},                                      // no compression
        {262, TIFF_SHORT, 1, 2},                                      // RGB
        {273, TIFF_LONG, 1, PIXELS_AT},                               // strip offset
        {277, TIFF_SHORT, 1, 3},                                      // samples per pixel
        {278, TIFF_LONG, 1, static_cast<uint32_t>(picture.height)},  // rows per strip
        {279, TIFF_LONG, 1, pixelBytes},                              // strip byte count
        {284, TIFF_SHORT, 1, 1},                                      // chunky
    };
    std::vector<uint8_t> out = {'I', 'I', 42, 0};
    Put32(out, IFD_AT);
    Put16(out, ENTRY_COUNT);
    for (const Entry& e : entries) {
        Put16(out, e.tag);
        Put16(out, e.type);
        Put32(out, e.count);
        if (e.type == TIFF_SHORT && e.count == 1) {
            Put16(out, e.value);
            Put16(out, 0);
        } else {
            Put32(out, e.value);
        }
    }
    Put32(out, 0);  // no next IFD
    for (int i = 0; i < 3; ++i) Put16(out, 8);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.colour(x, y);
            out.push_back((c >> 16) & 0xff);
            out.push_back((c >> 8) & 0xff);
            out.push_back(c & 0xff);
        }
    }
    return out;
}

std::vector<uint8_t> EncodeIco(const Picture& picture) {
    constexpr uint32_t DIRECTORY_BYTES = 6 + 16;
    constexpr uint32_t DIB_HEADER_BYTES = 40;
    const uint32_t maskRow = ((static_cast<uint32_t>(picture.width) + 31) / 32) * 4;
    const uint32_t xorBytes = static_cast<uint32_t>(picture.width) * picture.height * 4;
    const uint32_t dataBytes = DIB_HEADER_BYTES + xorBytes + maskRow * picture.height;
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // an icon
    Put16(out, 1);  // one image
    out.push_back(static_cast<uint8_t>(picture.width));  // 256 is written as 0
    out.push_back(static_cast<uint8_t>(picture.height));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits per pixel
    Put32(out, dataBytes);
    Put32(out, DIRECTORY_BYTES);
    Put32(out, DIB_HEADER_BYTES);
    Put32(out, picture.width);
    Put32(out, picture.height * 2);  // the colour rows and the mask rows
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);  // BI_RGB
    Put32(out, xorBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) Put32(out, 0xFF000000u | picture.colour(x, y));
    }
    out.insert(out.end(), static_cast<size_t>(maskRow) * picture.height, 0);  // every pixel shown
    return out;
}

std::vector<uint8_t> WithExifOrientation(const std::vector<uint8_t>& jpeg, uint16_t orientation) {
    std::vector<uint8_t> exif = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42};
    PutBigEndian32(exif, 8);  // IFD0 right after the TIFF header
    exif.push_back(0);        // one entry
    exif.push_back(1);
    const uint8_t entry[] = {0x01, 0x12, 0, TIFF_SHORT, 0, 0, 0, 1};
    exif.insert(exif.end(), entry, entry + sizeof entry);
    exif.push_back(orientation >> 8);
    exif.push_back(orientation & 0xff);
    exif.push_back(0);
    exif.push_back(0);
    PutBigEndian32(exif, 0);  // no next IFD
    std::vector<uint8_t> segment = {0xFF, 0xE1};
    const size_t length = exif.size() + 2;
    segment.push_back(static_cast<uint8_t>(length >> 8));
    segment.push_back(static_cast<uint8_t>(length & 0xff));
    segment.insert(segment.end(), exif.begin(), exif.end());
    std::vector<uint8_t> out = jpeg;
    if (out.size() >= 2) out.insert(out.begin() + 2, segment.begin(), segment.end());  // after the start marker
    return out;
}

Picture Oriented(const Picture& stored, int orientation) {
    const int w = stored.width, h = stored.height;
    const bool swaps = orientation >= 5 && orientation <= 8;
    Picture shown;
    shown.width = swaps ? h : w;
    shown.height = swaps ? w : h;
    const ColourAt colour = stored.colour;
    shown.colour = [=](int x, int y) -> uint32_t {
        switch (orientation) {
            case 2: return colour(w - 1 - x, y);
            case 3: return colour(w - 1 - x, h - 1 - y);
            case 4: return colour(x, h - 1 - y);
            case 5: return colour(y, x);
            case 6: return colour(y, h - 1 - x);
            case 7: return colour(w - 1 - y, h - 1 - x);
            case 8: return colour(w - 1 - y, x);
            default: return colour(x, y);
        }
    };
    return shown;
}

void SetBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * (size - 1 - i)));
}

void SetLittleEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void FixPngChunkCrc(std::vector<uint8_t>& bytes, size_t at) {
    const uint32_t length = static_cast<uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 |
                            bytes[at + 3];
    SetBigEndian(bytes, at + 8 + length, Crc32(&bytes[at + 4], length + 4), 4);
}

std::vector<uint8_t> EncodePng(const std::string& scratchPath, const Picture& picture) {
    std::vector<uint32_t> pixels(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) pixels[static_cast<size_t>(y) * picture.width + x] = picture.colour(x, y);
    if (!WritePngFromPixels(scratchPath, picture.width, picture.height, pixels)) return {};
    std::vector<uint8_t> bytes = ReadBytes(scratchPath);
    DeleteFileW(FileSystemPath(scratchPath).c_str());
    return bytes;
}

std::vector<uint8_t> EncodeJpeg(const std::string& scratchPath, const Picture& picture) {
    if (!WriteJpeg(scratchPath, picture)) return {};
    std::vector<uint8_t> bytes = ReadBytes(scratchPath);
    DeleteFileW(FileSystemPath(scratchPath).c_str());
    return bytes;
}

}  // namespace e2e
