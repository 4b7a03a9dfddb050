// Turns a file into a picture, or into the reason it cannot be one. Runs on
// a worker thread: it touches no window and reports nothing itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "document/animation.h"
#include "document/load_error.h"
#include "document/picture.h"

struct LoadOutcome {
    std::shared_ptr<const Picture> picture;  // set when error is None
    LoadError error = LoadError::None;
    uint32_t width = 0;   // the size read from the header (as shown), for the message on TooLarge
    uint32_t height = 0;
    // Set beside picture (its first frame) when the file is an animation.
    std::shared_ptr<Animation> animation;
};

// The most bytes a picture's pixels may take: GDI+ addresses a bitmap with
// 32-bit sizes (and the same rule holds for every decoder), and no side may
// pass MAX_PICTURE_SIDE.
constexpr uint64_t MAX_PICTURE_BYTES = 0x7FFFFFFFu;

// What the file at fullPath is now: its identity, or why there is none
// (not found, a folder, unreadable). Cheap: no byte of the file is read.
LoadError ReadFileIdentity(const std::wstring& fullPath, FileIdentity& identity);

// Reads and decodes the file at fullPath. Pictures whose pixels would take
// more than pixelByteLimit bytes are refused as TooLarge before decoding.
// cancelled is looked at between the steps; a cancelled load ends with
// Cancelled and frees what it made.
LoadOutcome LoadPicture(const std::wstring& fullPath, uint64_t pixelByteLimit, const std::atomic<bool>& cancelled);
