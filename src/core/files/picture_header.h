// What a file is, from its first bytes, before any decoding: the format, the
// pixel size and the orientation tag. The bytes come from untrusted files;
// nothing is read outside them whatever they hold.
#pragma once

#include <cstddef>
#include <cstdint>

enum class PictureFormat { Unknown, Bmp, Gif, Jpeg, Png, Tiff, Ico, WebP };

enum class HeaderStatus {
    Ok,
    Empty,        // no bytes
    NotAPicture,  // no complete signature of the formats this reader knows
    Damaged,      // a known signature, but the size cannot be read
};

struct PictureHeader {
    PictureFormat format = PictureFormat::Unknown;
    uint32_t width = 0;       // as stored, before the orientation tag is applied
    uint32_t height = 0;
    uint8_t orientation = 1;  // the EXIF orientation tag, 1..8; 1 when absent or out of range
};

// Reads the format from the signature, the pixel size from the header and
// the orientation tag (JPEG APP1 "Exif" and TIFF IFD0, tag 0x0112, both byte
// orders). The format is set whenever a signature is found, Damaged or not;
// width and height are set only with Ok, and never to 0 but for WebP
// ("RIFF", a length, "WEBP"), whose size is left to its decoder's library.
// The caller decides from them whether the picture is too large to open.
// NotAPicture says only that this reader knows no signature: the system's
// codecs may still know the file.
//
// Damaged covers a header cut short, a size field of 0, a JPEG without a
// frame header before its first scan or its end (or with a segment running
// past the end before it), a TIFF whose IFD0 lies outside the file or lacks
// width or height, an ICO without entries or with an entry whose data does
// not lie inside the file.
HeaderStatus ReadPictureHeader(const uint8_t* bytes, size_t length, PictureHeader& header);

// The size as shown once the orientation is applied (5..8 swap width and height).
void ShownSize(const PictureHeader& header, uint32_t& shownW, uint32_t& shownH);
