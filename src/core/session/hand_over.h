// What a second start hands to the frame already running: its current
// folder and its full command line, as one block of UTF-16 text, each part
// ended by a zero. The block arrives from another process, so the reading
// side trusts nothing of it: its size, its zeros and its folder are checked
// before any of it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Marks a block as kiv's hand-over (the first of its kind).
constexpr uint32_t HAND_OVER_KIND = 0x6B697631;  // "kiv1"
// The longest command line the system passes, and the longest path.
constexpr size_t HAND_OVER_COMMAND_LINE_MAX = 32767;
constexpr size_t HAND_OVER_FOLDER_MAX = 32767;
constexpr size_t HAND_OVER_MAX_BYTES = (HAND_OVER_FOLDER_MAX + 1 + HAND_OVER_COMMAND_LINE_MAX + 1) * sizeof(char16_t);

struct HandOver {
    std::wstring folder;       // the starting process's current folder
    std::wstring commandLine;  // its whole command line, program name first
};

// The block for folder and commandLine; empty when either is too long or
// holds a zero.
std::vector<uint8_t> HandOverBlock(const HandOver& handOver);

// Reads a block of size bytes: true, with out filled in, when it is exactly
// a folder that IsKeepablePath accepts and a command line that is not empty,
// each ended by its zero, within the limits. Any other block is refused
// whole.
bool ReadHandOver(const void* block, size_t bytes, HandOver& out);
