#include "core/files/picture_header.h"

#include <cstring>

#include "core/pixels/orientation.h"

namespace {

// A bounded run of bytes; every read checks that it lies inside.
struct ByteView {
    const uint8_t* data;
    size_t length;
};

enum class ByteOrder { Little, Big };

bool Has(const ByteView& view, size_t offset, size_t count) {
    return offset <= view.length && count <= view.length - offset;
}

// The part [offset, offset + count) of view; the caller has checked Has.
ByteView Slice(const ByteView& view, size_t offset, size_t count) {
    return {view.data + offset, count};
}

bool ReadU8(const ByteView& view, size_t offset, uint8_t& value) {
    if (!Has(view, offset, 1)) return false;
    value = view.data[offset];
    return true;
}

bool ReadU16(const ByteView& view, size_t offset, ByteOrder order, uint16_t& value) {
    if (!Has(view, offset, 2)) return false;
    const uint8_t* at = view.data + offset;
    value = order == ByteOrder::Big ? static_cast<uint16_t>(at[0] << 8 | at[1])
                                    : static_cast<uint16_t>(at[1] << 8 | at[0]);
    return true;
}

bool ReadU32(const ByteView& view, size_t offset, ByteOrder order, uint32_t& value) {
    if (!Has(view, offset, 4)) return false;
    const uint8_t* at = view.data + offset;
    if (order == ByteOrder::Big) {
        value = uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
    } else {
        value = uint32_t{at[3]} << 24 | uint32_t{at[2]} << 16 | uint32_t{at[1]} << 8 | at[0];
    }
    return true;
}

template <size_t N>
bool StartsWith(const ByteView& view, size_t offset, const uint8_t (&signature)[N]) {
    return Has(view, offset, N) && std::memcmp(view.data + offset, signature, N) == 0;
}

constexpr uint8_t BMP_SIGNATURE[] = {'B', 'M'};
constexpr uint8_t GIF87A_SIGNATURE[] = {'G', 'I', 'F', '8', '7', 'a'};
constexpr uint8_t GIF89A_SIGNATURE[] = {'G', 'I', 'F', '8', '9', 'a'};
constexpr uint8_t JPEG_SIGNATURE[] = {0xFF, 0xD8, 0xFF};
constexpr uint8_t PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t TIFF_LITTLE_SIGNATURE[] = {'I', 'I', 42, 0};
constexpr uint8_t TIFF_BIG_SIGNATURE[] = {'M', 'M', 0, 42};
constexpr uint8_t ICO_SIGNATURE[] = {0, 0, 1, 0};  // reserved 0, type 1 (icon)
constexpr uint8_t RIFF_SIGNATURE[] = {'R', 'I', 'F', 'F'};
constexpr size_t RIFF_FORM_AT = 8;  // after the signature and the length
constexpr uint8_t WEBP_FORM[] = {'W', 'E', 'B', 'P'};

// Fills width and height from two size fields, refusing 0.
HeaderStatus SizeFrom(uint32_t width, uint32_t height, PictureHeader& header) {
    if (width == 0 || height == 0) return HeaderStatus::Damaged;
    header.width = width;
    header.height = height;
    return HeaderStatus::Ok;
}

// --- BMP: the file header, then a DIB header that starts with its own size.

constexpr size_t BMP_DIB_HEADER_AT = 14;
constexpr uint32_t BMP_CORE_HEADER_SIZE = 12;  // 16-bit unsigned width and height
constexpr uint32_t BMP_INFO_HEADER_MIN = 16;   // 32-bit signed width and height, every later header
constexpr size_t BMP_WIDTH_AT = BMP_DIB_HEADER_AT + 4;
constexpr size_t BMP_CORE_HEIGHT_AT = BMP_WIDTH_AT + 2;
constexpr size_t BMP_INFO_HEIGHT_AT = BMP_WIDTH_AT + 4;
constexpr uint32_t INT32_MIN_BITS = 0x80000000u;

HeaderStatus ReadBmp(const ByteView& file, PictureHeader& header) {
    uint32_t dibSize;
    if (!ReadU32(file, BMP_DIB_HEADER_AT, ByteOrder::Little, dibSize)) return HeaderStatus::Damaged;
    if (dibSize == BMP_CORE_HEADER_SIZE) {
        uint16_t width, height;
        if (!ReadU16(file, BMP_WIDTH_AT, ByteOrder::Little, width) ||
            !ReadU16(file, BMP_CORE_HEIGHT_AT, ByteOrder::Little, height)) {
            return HeaderStatus::Damaged;
        }
        return SizeFrom(width, height, header);
    }
    if (dibSize < BMP_INFO_HEADER_MIN) return HeaderStatus::Damaged;
    uint32_t widthBits, heightBits;
    if (!ReadU32(file, BMP_WIDTH_AT, ByteOrder::Little, widthBits) ||
        !ReadU32(file, BMP_INFO_HEIGHT_AT, ByteOrder::Little, heightBits)) {
        return HeaderStatus::Damaged;
    }
    // A negative width means nothing; a negative height is a top-down
    // picture of that many rows, except INT32_MIN, which has no magnitude.
    if (widthBits >= INT32_MIN_BITS || heightBits == INT32_MIN_BITS) return HeaderStatus::Damaged;
    const uint32_t height = heightBits > INT32_MIN_BITS ? 0u - heightBits : heightBits;
    return SizeFrom(widthBits, height, header);
}

// --- GIF: the logical screen descriptor after the signature.

constexpr size_t GIF_WIDTH_AT = 6;
constexpr size_t GIF_HEIGHT_AT = 8;

HeaderStatus ReadGif(const ByteView& file, PictureHeader& header) {
    uint16_t width, height;
    if (!ReadU16(file, GIF_WIDTH_AT, ByteOrder::Little, width) ||
        !ReadU16(file, GIF_HEIGHT_AT, ByteOrder::Little, height)) {
        return HeaderStatus::Damaged;
    }
    return SizeFrom(width, height, header);
}

// --- PNG: the IHDR chunk comes first after the signature.

constexpr size_t PNG_FIRST_CHUNK_TYPE_AT = 12;
constexpr uint8_t PNG_IHDR_TYPE[] = {'I', 'H', 'D', 'R'};
constexpr size_t PNG_WIDTH_AT = 16;
constexpr size_t PNG_HEIGHT_AT = 20;
constexpr uint32_t PNG_SIZE_MAX = 0x7FFFFFFFu;

HeaderStatus ReadPng(const ByteView& file, PictureHeader& header) {
    uint32_t width, height;
    if (!StartsWith(file, PNG_FIRST_CHUNK_TYPE_AT, PNG_IHDR_TYPE) ||
        !ReadU32(file, PNG_WIDTH_AT, ByteOrder::Big, width) ||
        !ReadU32(file, PNG_HEIGHT_AT, ByteOrder::Big, height) || width > PNG_SIZE_MAX ||
        height > PNG_SIZE_MAX) {
        return HeaderStatus::Damaged;
    }
    return SizeFrom(width, height, header);
}

// --- TIFF structure, for TIFF files and for the Exif block inside JPEG.

constexpr size_t TIFF_IFD0_OFFSET_AT = 4;
constexpr uint32_t TIFF_HEADER_SIZE = 8;
constexpr size_t TIFF_ENTRY_COUNT_SIZE = 2;
constexpr size_t TIFF_ENTRY_SIZE = 12;
constexpr size_t TIFF_ENTRY_TYPE_AT = 2;
constexpr size_t TIFF_ENTRY_COUNT_AT = 4;
constexpr size_t TIFF_ENTRY_VALUE_AT = 8;
constexpr size_t TIFF_INLINE_VALUE_BYTES = 4;
constexpr uint16_t TIFF_TYPE_SHORT = 3;
constexpr uint16_t TIFF_TYPE_LONG = 4;
constexpr uint16_t TIFF_TAG_WIDTH = 256;
constexpr uint16_t TIFF_TAG_HEIGHT = 257;
constexpr uint16_t TIFF_TAG_ORIENTATION = 0x0112;

// What IFD0 says, the first entry of each tag winning.
struct TiffFields {
    bool hasWidth = false;
    bool hasHeight = false;
    bool hasOrientation = false;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t orientation = 0;
};

// The first value of a SHORT or LONG entry: inline when all values fit in the
// entry, else at the offset it holds.
bool ReadFirstValue(const ByteView& tiff, size_t entry, ByteOrder order, uint32_t& value) {
    uint16_t type;
    uint32_t count;
    if (!ReadU16(tiff, entry + TIFF_ENTRY_TYPE_AT, order, type) ||
        !ReadU32(tiff, entry + TIFF_ENTRY_COUNT_AT, order, count) || count == 0) {
        return false;
    }
    size_t valueSize;
    if (type == TIFF_TYPE_SHORT) {
        valueSize = 2;
    } else if (type == TIFF_TYPE_LONG) {
        valueSize = 4;
    } else {
        return false;
    }
    size_t at = entry + TIFF_ENTRY_VALUE_AT;
    if (count > TIFF_INLINE_VALUE_BYTES / valueSize) {
        uint32_t offset;
        if (!ReadU32(tiff, at, order, offset)) return false;
        at = offset;
    }
    if (valueSize == 2) {
        uint16_t shortValue;
        if (!ReadU16(tiff, at, order, shortValue)) return false;
        value = shortValue;
        return true;
    }
    return ReadU32(tiff, at, order, value);
}

// Reads IFD0 of the TIFF structure that fills tiff. False when the header or
// the IFD's entry count cannot be read; entries past the end are not read.
bool ReadIfd0(const ByteView& tiff, TiffFields& fields) {
    ByteOrder order;
    if (StartsWith(tiff, 0, TIFF_LITTLE_SIGNATURE)) {
        order = ByteOrder::Little;
    } else if (StartsWith(tiff, 0, TIFF_BIG_SIGNATURE)) {
        order = ByteOrder::Big;
    } else {
        return false;
    }
    uint32_t ifd;
    uint16_t declared;
    if (!ReadU32(tiff, TIFF_IFD0_OFFSET_AT, order, ifd) || ifd < TIFF_HEADER_SIZE ||
        !ReadU16(tiff, ifd, order, declared)) {
        return false;
    }
    const size_t first = size_t{ifd} + TIFF_ENTRY_COUNT_SIZE;
    const size_t fitting = (tiff.length - first) / TIFF_ENTRY_SIZE;
    const size_t count = declared < fitting ? declared : fitting;
    for (size_t index = 0; index < count; ++index) {
        const size_t entry = first + index * TIFF_ENTRY_SIZE;
        uint16_t tag;
        uint32_t value;
        if (!ReadU16(tiff, entry, order, tag) || !ReadFirstValue(tiff, entry, order, value)) continue;
        if (tag == TIFF_TAG_WIDTH && !fields.hasWidth) {
            fields.hasWidth = true;
            fields.width = value;
        } else if (tag == TIFF_TAG_HEIGHT && !fields.hasHeight) {
            fields.hasHeight = true;
            fields.height = value;
        } else if (tag == TIFF_TAG_ORIENTATION && !fields.hasOrientation) {
            fields.hasOrientation = true;
            fields.orientation = value;
        }
    }
    return true;
}

uint8_t OrientationFrom(const TiffFields& fields) {
    return fields.hasOrientation && IsOrientation(fields.orientation) ? static_cast<uint8_t>(fields.orientation)
                                                                      : ORIENTATION_NONE;
}

HeaderStatus ReadTiff(const ByteView& file, PictureHeader& header) {
    TiffFields fields;
    if (!ReadIfd0(file, fields) || !fields.hasWidth || !fields.hasHeight) return HeaderStatus::Damaged;
    const HeaderStatus status = SizeFrom(fields.width, fields.height, header);
    if (status == HeaderStatus::Ok) header.orientation = OrientationFrom(fields);
    return status;
}

// --- JPEG: markers and their segments up to the frame header.

constexpr uint8_t JPEG_MARKER_PREFIX = 0xFF;
constexpr uint8_t JPEG_STUFFED_ZERO = 0x00;
constexpr uint8_t JPEG_TEM = 0x01;
constexpr uint8_t JPEG_SOF_FIRST = 0xC0;
constexpr uint8_t JPEG_SOF_LAST = 0xCF;
constexpr uint8_t JPEG_DHT = 0xC4;
constexpr uint8_t JPEG_JPG = 0xC8;
constexpr uint8_t JPEG_DAC = 0xCC;
constexpr uint8_t JPEG_RST_FIRST = 0xD0;
constexpr uint8_t JPEG_SOI = 0xD8;
constexpr uint8_t JPEG_EOI = 0xD9;
constexpr uint8_t JPEG_SOS = 0xDA;
constexpr uint8_t JPEG_APP1 = 0xE1;
constexpr size_t JPEG_FIRST_MARKER_AT = 2;
constexpr uint16_t JPEG_LENGTH_SIZE = 2;
// Segment length, precision, height, width and component count.
constexpr uint16_t JPEG_FRAME_HEADER_MIN = 8;
constexpr size_t JPEG_FRAME_HEIGHT_AT = 3;  // from the length field
constexpr size_t JPEG_FRAME_WIDTH_AT = 5;
constexpr uint8_t EXIF_IDENTIFIER[] = {'E', 'x', 'i', 'f', 0, 0};

bool IsFrameMarker(uint8_t marker) {
    return marker >= JPEG_SOF_FIRST && marker <= JPEG_SOF_LAST && marker != JPEG_DHT && marker != JPEG_JPG &&
           marker != JPEG_DAC;
}

// Markers without a segment.
bool IsStandalone(uint8_t marker) {
    return marker == JPEG_TEM || marker == JPEG_SOI || (marker >= JPEG_RST_FIRST && marker < JPEG_SOI);
}

// The orientation of an APP1 segment's payload, if it is an Exif block
// that holds one; its TIFF structure is bounded by the segment.
void ReadExifOrientation(const ByteView& payload, PictureHeader& header, bool& found) {
    if (!StartsWith(payload, 0, EXIF_IDENTIFIER)) return;
    const size_t tiffAt = sizeof EXIF_IDENTIFIER;
    TiffFields fields;
    if (!ReadIfd0(Slice(payload, tiffAt, payload.length - tiffAt), fields)) return;
    found = true;
    header.orientation = OrientationFrom(fields);
}

HeaderStatus ReadJpeg(const ByteView& file, PictureHeader& header) {
    bool exifFound = false;
    size_t at = JPEG_FIRST_MARKER_AT;
    // Every pass moves at forward by at least one byte.
    while (at < file.length) {
        if (file.data[at] != JPEG_MARKER_PREFIX) {
            ++at;  // stray bytes between segments: skipped as decoders do
            continue;
        }
        while (at < file.length && file.data[at] == JPEG_MARKER_PREFIX) ++at;  // fill bytes
        uint8_t marker;
        if (!ReadU8(file, at, marker)) break;
        ++at;
        if (marker == JPEG_STUFFED_ZERO || IsStandalone(marker)) continue;
        if (marker == JPEG_SOS || marker == JPEG_EOI) break;
        uint16_t segmentLength;
        if (!ReadU16(file, at, ByteOrder::Big, segmentLength) || segmentLength < JPEG_LENGTH_SIZE) break;
        if (IsFrameMarker(marker)) {
            uint16_t height, width;
            if (segmentLength < JPEG_FRAME_HEADER_MIN || !Has(file, at, JPEG_FRAME_HEADER_MIN) ||
                !ReadU16(file, at + JPEG_FRAME_HEIGHT_AT, ByteOrder::Big, height) ||
                !ReadU16(file, at + JPEG_FRAME_WIDTH_AT, ByteOrder::Big, width)) {
                break;
            }
            // A height of 0 defers it to a DNL segment after the first scan,
            // which this reader does not look for.
            return SizeFrom(width, height, header);
        }
        if (!Has(file, at, segmentLength)) break;  // runs past the end
        if (marker == JPEG_APP1 && !exifFound) {
            ReadExifOrientation(Slice(file, at + JPEG_LENGTH_SIZE, segmentLength - JPEG_LENGTH_SIZE), header,
                                exifFound);
        }
        at += segmentLength;
    }
    return HeaderStatus::Damaged;
}

// --- ICO: a directory of entries, each with its own size and data.

constexpr size_t ICO_COUNT_AT = 4;
constexpr size_t ICO_DIRECTORY_AT = 6;
constexpr size_t ICO_ENTRY_SIZE = 16;
constexpr size_t ICO_ENTRY_WIDTH_AT = 0;
constexpr size_t ICO_ENTRY_HEIGHT_AT = 1;
constexpr size_t ICO_ENTRY_DATA_SIZE_AT = 8;
constexpr size_t ICO_ENTRY_DATA_AT = 12;
constexpr uint32_t ICO_ZERO_MEANS = 256;  // a width or height byte of 0

HeaderStatus ReadIco(const ByteView& file, PictureHeader& header) {
    uint16_t count;
    if (!ReadU16(file, ICO_COUNT_AT, ByteOrder::Little, count) || count == 0 ||
        !Has(file, ICO_DIRECTORY_AT, size_t{count} * ICO_ENTRY_SIZE)) {
        return HeaderStatus::Damaged;
    }
    uint64_t largestArea = 0;
    for (size_t index = 0; index < count; ++index) {
        const size_t entry = ICO_DIRECTORY_AT + index * ICO_ENTRY_SIZE;
        uint8_t widthByte, heightByte;
        uint32_t dataSize, dataAt;
        if (!ReadU8(file, entry + ICO_ENTRY_WIDTH_AT, widthByte) ||
            !ReadU8(file, entry + ICO_ENTRY_HEIGHT_AT, heightByte) ||
            !ReadU32(file, entry + ICO_ENTRY_DATA_SIZE_AT, ByteOrder::Little, dataSize) ||
            !ReadU32(file, entry + ICO_ENTRY_DATA_AT, ByteOrder::Little, dataAt) || dataSize == 0 ||
            !Has(file, dataAt, dataSize)) {
            return HeaderStatus::Damaged;
        }
        PictureHeader entrySize;
        entrySize.width = widthByte == 0 ? ICO_ZERO_MEANS : widthByte;
        entrySize.height = heightByte == 0 ? ICO_ZERO_MEANS : heightByte;
        // Large icons hold a whole PNG whose header knows the real size.
        const ByteView data = Slice(file, dataAt, dataSize);
        if (StartsWith(data, 0, PNG_SIGNATURE) && ReadPng(data, entrySize) != HeaderStatus::Ok) {
            return HeaderStatus::Damaged;
        }
        const uint64_t area = uint64_t{entrySize.width} * entrySize.height;
        if (area > largestArea) {
            largestArea = area;
            header.width = entrySize.width;
            header.height = entrySize.height;
        }
    }
    return HeaderStatus::Ok;
}

}  // namespace

HeaderStatus ReadPictureHeader(const uint8_t* bytes, size_t length, PictureHeader& header) {
    header = PictureHeader{};
    if (bytes == nullptr || length == 0) return HeaderStatus::Empty;
    const ByteView file{bytes, length};
    HeaderStatus (*read)(const ByteView&, PictureHeader&) = nullptr;
    if (StartsWith(file, 0, BMP_SIGNATURE)) {
        header.format = PictureFormat::Bmp;
        read = ReadBmp;
    } else if (StartsWith(file, 0, GIF87A_SIGNATURE) || StartsWith(file, 0, GIF89A_SIGNATURE)) {
        header.format = PictureFormat::Gif;
        read = ReadGif;
    } else if (StartsWith(file, 0, JPEG_SIGNATURE)) {
        header.format = PictureFormat::Jpeg;
        read = ReadJpeg;
    } else if (StartsWith(file, 0, PNG_SIGNATURE)) {
        header.format = PictureFormat::Png;
        read = ReadPng;
    } else if (StartsWith(file, 0, TIFF_LITTLE_SIGNATURE) || StartsWith(file, 0, TIFF_BIG_SIGNATURE)) {
        header.format = PictureFormat::Tiff;
        read = ReadTiff;
    } else if (StartsWith(file, 0, ICO_SIGNATURE)) {
        header.format = PictureFormat::Ico;
        read = ReadIco;
    } else if (StartsWith(file, 0, RIFF_SIGNATURE) && StartsWith(file, RIFF_FORM_AT, WEBP_FORM)) {
        header.format = PictureFormat::WebP;
        return HeaderStatus::Ok;
    } else {
        return HeaderStatus::NotAPicture;
    }
    const HeaderStatus status = read(file, header);
    if (status != HeaderStatus::Ok) {
        header.width = 0;
        header.height = 0;
        header.orientation = ORIENTATION_NONE;
    }
    return status;
}

void ShownSize(const PictureHeader& header, uint32_t& shownW, uint32_t& shownH) {
    ShownSize(header.width, header.height, header.orientation, shownW, shownH);
}
