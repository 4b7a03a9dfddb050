// Why a file could not become a picture. Each value travels back to where
// the user acted, which decides how to say it.
#pragma once

enum class LoadError {
    None,
    NotFound,     // no such file (or it vanished before it was read)
    IsFolder,     // the path names a folder
    Unreadable,   // there, but it cannot be opened or read
    Empty,        // no bytes at all
    NotAPicture,  // none of the formats this program decodes
    Damaged,      // a known format whose header or data is broken or cut short
    TooLarge,     // its size, read from the header, is more than the program takes
    TwelveBitJpeg,  // a JPEG of 12 bits per sample, which the JPEG library built here does not decode
    OutOfMemory,  // the pixels cannot be allocated now
    Cancelled,    // nobody wanted the result any more
};
