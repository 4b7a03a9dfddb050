// The header reader on crafted files of every format, cut short, with
// extreme size fields and with orientation tags in and out of bounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/files/picture_header.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& bytes, uint32_t value, bool big = false) {
    big ? bytes.insert(bytes.end(), {uint8_t(value >> 8), uint8_t(value)})
        : bytes.insert(bytes.end(), {uint8_t(value), uint8_t(value >> 8)});
}

void Put32(Bytes& bytes, uint32_t value, bool big = false) {
    Put16(bytes, big ? value >> 16 : value & 0xFFFF, big);
    Put16(bytes, big ? value & 0xFFFF : value >> 16, big);
}

void Put(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

Bytes Bmp(uint32_t width, uint32_t height) {
    Bytes bytes = {'B', 'M'};
    for (uint32_t field : {0u, 0u, 54u, 40u, width, height}) Put32(bytes, field);
    bytes.resize(54);
    return bytes;
}

Bytes BmpCore(uint16_t width, uint16_t height) {
    Bytes bytes = {'B', 'M'};
    for (uint32_t field : {0u, 0u, 26u, 12u}) Put32(bytes, field);
    for (uint16_t field : {width, height, uint16_t(1), uint16_t(24)}) Put16(bytes, field);
    return bytes;
}

Bytes Png(uint32_t width, uint32_t height) {
    Bytes bytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    Put32(bytes, width, true);
    Put32(bytes, height, true);
    Put(bytes, {8, 6, 0, 0, 0, 0x12, 0x34, 0x56, 0x78});
    return bytes;
}

Bytes Gif(uint16_t width, uint16_t height) {
    Bytes bytes = {'G', 'I', 'F', '8', '7', 'a'};
    Put16(bytes, width);
    Put16(bytes, height);
    Put(bytes, {0, 0, 0});
    return bytes;
}

struct Tag {
    uint16_t tag, type;
    uint32_t value;
};
constexpr uint16_t SHORT = 3, LONG = 4, WIDTH = 256, HEIGHT = 257, ORIENTATION = 0x112;

// A TIFF structure with IFD0 right after the header (or at ifd).
Bytes Tiff(const std::vector<Tag>& tags, bool big, uint32_t ifd = 8, uint16_t count = 0) {
    Bytes bytes = big ? Bytes{'M', 'M', 0, 42} : Bytes{'I', 'I', 42, 0};
    Put32(bytes, ifd, big);
    Put16(bytes, count ? count : uint16_t(tags.size()), big);
    for (const Tag& tag : tags) {
        Put16(bytes, tag.tag, big);
        Put16(bytes, tag.type, big);
        Put32(bytes, 1, big);
        tag.type == SHORT ? (Put16(bytes, tag.value, big), Put16(bytes, 0, big)) : Put32(bytes, tag.value, big);
    }
    Put32(bytes, 0, big);
    return bytes;
}

Bytes Segment(uint8_t marker, const Bytes& payload) {
    Bytes bytes = {0xFF, marker};
    Put16(bytes, uint32_t(payload.size() + 2), true);
    Put(bytes, payload);
    return bytes;
}

Bytes Exif(const Bytes& tiff) {
    Bytes bytes = {'E', 'x', 'i', 'f', 0, 0};
    Put(bytes, tiff);
    return Segment(0xE1, bytes);
}

Bytes Jpeg(uint16_t width, uint16_t height, const Bytes& before = {}, uint8_t frame = 0xC0) {
    Bytes bytes = {0xFF, 0xD8};
    Put(bytes, before);
    Bytes header = {8};
    Put16(header, height, true);
    Put16(header, width, true);
    Put(header, {1, 1, 0x11, 0});
    Put(bytes, Segment(frame, header));
    Put(bytes, Segment(0xDA, {1, 1, 0, 0, 63, 0}));
    Put(bytes, {0x12, 0xFF, 0x00, 0xFF, 0xD9});
    return bytes;
}

struct Icon {
    uint8_t width, height;
    Bytes data;
};

Bytes Ico(const std::vector<Icon>& icons) {
    Bytes bytes = {0, 0, 1, 0};
    Put16(bytes, uint32_t(icons.size()));
    uint32_t at = uint32_t(6 + 16 * icons.size());
    for (const Icon& icon : icons) {
        Put(bytes, {icon.width, icon.height, 0, 0, 1, 0, 32, 0});
        Put32(bytes, uint32_t(icon.data.size()));
        Put32(bytes, at);
        at += uint32_t(icon.data.size());
    }
    for (const Icon& icon : icons) Put(bytes, icon.data);
    return bytes;
}

struct Read {
    HeaderStatus status;
    PictureHeader header;
};

Read ReadOf(const Bytes& bytes) {
    Read read{};
    read.status = ReadPictureHeader(bytes.data(), bytes.size(), read.header);
    if (read.status == HeaderStatus::Ok && read.header.format != PictureFormat::WebP) {
        EXPECT_TRUE(read.header.width > 0 && read.header.height > 0);
    }
    return read;
}

void ExpectSize(const Bytes& bytes, PictureFormat format, uint32_t width, uint32_t height, uint8_t orientation = 1) {
    const Read read = ReadOf(bytes);
    EXPECT_EQ(read.status, HeaderStatus::Ok);
    EXPECT_EQ(read.header.format, format);
    EXPECT_EQ(read.header.width, width);
    EXPECT_EQ(read.header.height, height);
    EXPECT_EQ(read.header.orientation, orientation);
}

HeaderStatus StatusOf(const Bytes& bytes) { return ReadOf(bytes).status; }

std::vector<Bytes> Samples() {
    return {Bmp(37, uint32_t(-21)), BmpCore(5, 7), Png(300, 200), Gif(17, 9),
            Tiff({{WIDTH, SHORT, 40}, {HEIGHT, LONG, 30}, {ORIENTATION, SHORT, 6}}, true),
            Jpeg(640, 480, Exif(Tiff({{ORIENTATION, SHORT, 8}}, false))),
            Ico({{16, 16, Bytes(40, 7)}, {0, 0, Png(300, 310)}, {48, 48, Bytes(9, 1)}})};
}

TEST(PictureHeader, EveryFormat) {
    const std::vector<Bytes> samples = Samples();
    ExpectSize(samples[0], PictureFormat::Bmp, 37, 21);
    ExpectSize(samples[1], PictureFormat::Bmp, 5, 7);
    ExpectSize(samples[2], PictureFormat::Png, 300, 200);
    ExpectSize(samples[3], PictureFormat::Gif, 17, 9);
    ExpectSize(samples[4], PictureFormat::Tiff, 40, 30, 6);
    ExpectSize(samples[5], PictureFormat::Jpeg, 640, 480, 8);
    ExpectSize(samples[6], PictureFormat::Ico, 300, 310);
    ExpectSize(Tiff({{HEIGHT, SHORT, 3}, {WIDTH, LONG, 4}}, false), PictureFormat::Tiff, 4, 3);
    // Icon bytes of 0 mean 256; the largest entry wins.
    ExpectSize(Ico({{16, 16, Bytes(8, 0)}, {0, 0, Bytes(8, 0)}, {48, 48, Bytes(8, 0)}}), PictureFormat::Ico, 256, 256);
    uint32_t shownW, shownH;
    ShownSize(ReadOf(samples[5]).header, shownW, shownH);
    EXPECT_EQ(shownW, 480u);
    EXPECT_EQ(shownH, 640u);
}

// WebP is told by its RIFF form alone; its size is its library's to read.
TEST(PictureHeader, WebPByItsFormOnly) {
    const Bytes webp = {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'X'};
    for (size_t length = 0; length <= webp.size(); ++length) {
        const Read cut = ReadOf(Bytes(webp.begin(), webp.begin() + length));
        const bool whole = length >= 12;
        EXPECT_EQ(cut.status, whole ? HeaderStatus::Ok : length ? HeaderStatus::NotAPicture : HeaderStatus::Empty);
        EXPECT_EQ(cut.header.format, whole ? PictureFormat::WebP : PictureFormat::Unknown) << length;
        EXPECT_EQ(cut.header.width, 0u);
        EXPECT_EQ(cut.header.orientation, 1);
    }
    EXPECT_EQ(StatusOf({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}), HeaderStatus::NotAPicture);
}

TEST(PictureHeader, NotPicturesAndDamage) {
    EXPECT_EQ(StatusOf({}), HeaderStatus::Empty);
    for (const Bytes& other : {Bytes{'h', 'e', 'l', 'l', 'o'}, Bytes{'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0},
                               Bytes{'I', 'I', 43, 0, 8, 0, 0, 0}, Bytes{0, 0, 2, 0, 1, 0}}) {
        EXPECT_EQ(StatusOf(other), HeaderStatus::NotAPicture);
    }
    EXPECT_EQ(StatusOf(Ico({})), HeaderStatus::Damaged);
    Bytes outside = Ico({{16, 16, Bytes(8, 0)}});
    outside.pop_back();  // the entry's data no longer lies inside the file
    EXPECT_EQ(StatusOf(outside), HeaderStatus::Damaged);
    EXPECT_EQ(StatusOf(Ico({{0, 0, Png(0, 5)}})), HeaderStatus::Damaged);
    EXPECT_EQ(StatusOf(Tiff({{WIDTH, SHORT, 4}}, false)), HeaderStatus::Damaged);
    EXPECT_EQ(StatusOf(Tiff({{WIDTH, SHORT, 4}, {HEIGHT, SHORT, 4}}, true, 4000)), HeaderStatus::Damaged);
    // An entry count past the end reads the entries that are there.
    ExpectSize(Tiff({{WIDTH, SHORT, 4}, {HEIGHT, SHORT, 5}}, true, 8, 60000), PictureFormat::Tiff, 4, 5);
    // JPEG: the frame header must come before the scan and inside the data.
    const Bytes scanFirst = {0xFF, 0xD8, 0xFF, 0xDA, 0, 2, 0xFF, 0xC0, 0, 11, 8, 0, 1, 0, 1, 1};
    EXPECT_EQ(StatusOf(scanFirst), HeaderStatus::Damaged);
    EXPECT_EQ(StatusOf({0xFF, 0xD8, 0xFF, 0xD9}), HeaderStatus::Damaged);
    Bytes tooLong = Jpeg(8, 8, Segment(0xE0, {1, 2}));
    tooLong[5] = 0xF0;  // the APP0 segment claims to run past the end
    EXPECT_EQ(StatusOf(tooLong), HeaderStatus::Damaged);
    Bytes tooShort = Jpeg(8, 8, Segment(0xE0, {1, 2}));
    tooShort[5] = 1;  // a length below its own two bytes
    EXPECT_EQ(StatusOf(tooShort), HeaderStatus::Damaged);
}

// Every prefix of a valid file: never Ok with another size, and once Ok,
// Ok for every longer prefix. AddressSanitizer watches the exact-size copies.
TEST(PictureHeader, CutShortAtEveryLength) {
    for (const Bytes& whole : Samples()) {
        const Read full = ReadOf(whole);
        ASSERT_EQ(full.status, HeaderStatus::Ok);
        bool wasOk = false;
        for (size_t length = 0; length <= whole.size(); ++length) {
            const Read cut = ReadOf(Bytes(whole.begin(), whole.begin() + length));
            if (cut.status == HeaderStatus::Ok) {
                EXPECT_EQ(cut.header.width, full.header.width) << length;
                EXPECT_EQ(cut.header.height, full.header.height) << length;
            } else {
                EXPECT_FALSE(wasOk) << "Ok, then not Ok at " << length;
                EXPECT_EQ(cut.header.width, 0u);
            }
            wasOk = cut.status == HeaderStatus::Ok;
        }
    }
}

TEST(PictureHeader, SizeFieldExtremes) {
    for (uint32_t size : {0u, 1u, 65535u, 0x7FFFFFFFu}) {
        const HeaderStatus expected = size ? HeaderStatus::Ok : HeaderStatus::Damaged;
        EXPECT_EQ(StatusOf(Bmp(size, 3)), expected) << size;
        EXPECT_EQ(StatusOf(Bmp(3, uint32_t(-int32_t(size)))), expected) << size;
        EXPECT_EQ(StatusOf(Png(3, size)), expected) << size;
        EXPECT_EQ(StatusOf(Ico({{1, 1, Png(size, 3)}})), expected) << size;
        EXPECT_EQ(StatusOf(Tiff({{WIDTH, LONG, size}, {HEIGHT, SHORT, 2}}, false)), expected) << size;
        if (size > 65535) continue;
        const uint16_t small = uint16_t(size);
        EXPECT_EQ(StatusOf(BmpCore(3, small)), expected) << size;
        EXPECT_EQ(StatusOf(Gif(small, 3)), expected) << size;
        EXPECT_EQ(StatusOf(Jpeg(3, small)), expected) << size;
        EXPECT_EQ(StatusOf(Jpeg(small, 3)), expected) << size;
        EXPECT_EQ(StatusOf(Tiff({{WIDTH, SHORT, 2}, {HEIGHT, SHORT, size}}, true)), expected) << size;
    }
    ExpectSize(Bmp(0x7FFFFFFF, uint32_t(-0x7FFFFFFF)), PictureFormat::Bmp, 0x7FFFFFFF, 0x7FFFFFFF);
    EXPECT_EQ(StatusOf(Bmp(3, 0x80000000u)), HeaderStatus::Damaged);  // INT32_MIN has no magnitude
    EXPECT_EQ(StatusOf(Bmp(uint32_t(-3), 3)), HeaderStatus::Damaged);
    EXPECT_EQ(StatusOf(Png(0x80000000u, 3)), HeaderStatus::Damaged);
}

TEST(PictureHeader, JpegMarkersAndOrientation) {
    for (bool big : {false, true}) {
        for (uint32_t tag = 0; tag <= 9; ++tag) {
            const uint8_t expected = tag >= 1 && tag <= 8 ? uint8_t(tag) : 1;
            ExpectSize(Jpeg(64, 48, Exif(Tiff({{ORIENTATION, SHORT, tag}}, big))), PictureFormat::Jpeg, 64, 48, expected);
        }
        // IFD0 just past its segment, where the next segment holds one with a tag of 6: not read.
        const Bytes fake = Tiff({{ORIENTATION, SHORT, 6}}, big);
        Bytes outside = Exif(Tiff({{ORIENTATION, SHORT, 3}}, big, 30));
        Put(outside, Segment(0xE2, Bytes(fake.begin() + 8, fake.end())));
        ExpectSize(Jpeg(64, 48, outside), PictureFormat::Jpeg, 64, 48, 1);
        ExpectSize(Jpeg(64, 48, Exif(Tiff({{ORIENTATION, SHORT, 6}}, big, 0xFFFFFFF0u))), PictureFormat::Jpeg, 64, 48);
        // An entry count past the segment reads only the entry inside it.
        ExpectSize(Jpeg(64, 48, Exif(Tiff({{ORIENTATION, SHORT, 5}}, big, 8, 900))), PictureFormat::Jpeg, 64, 48, 5);
    }
    // Fill bytes, tables whose bytes look like a frame, a thumbnail frame
    // inside APP1 and a progressive frame.
    Bytes before = {0xFF, 0xFF, 0xFF};
    Put(before, Segment(0xC4, {8, 0, 9, 0, 9, 1, 0, 0}));
    Put(before, Exif(Tiff({{ORIENTATION, SHORT, 6}}, true)));
    Put(before, Segment(0xE1, Jpeg(160, 120)));
    ExpectSize(Jpeg(640, 480, before, 0xC2), PictureFormat::Jpeg, 640, 480, 6);
}

TEST(PictureHeader, RandomDamageStaysInBounds) {
    std::mt19937 random(11);
    for (const Bytes& whole : Samples()) {
        for (int round = 0; round < 3000; ++round) {
            Bytes damaged = whole;
            for (int flips = 1 + random() % 4; flips > 0; --flips) damaged[random() % damaged.size()] = uint8_t(random());
            damaged.resize(random() % (damaged.size() + 1));
            damaged.shrink_to_fit();
            ReadOf(damaged);
        }
    }
}

}  // namespace
