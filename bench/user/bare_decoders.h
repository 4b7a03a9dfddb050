// Bare decodes by the libraries kiv's own decoders use (libjpeg-turbo,
// libpng, libwebp), in this process: the file read into memory and decoded
// into a fresh 32-bit buffer, nothing else. Baselines for the opens, measured
// in the same run; and the encoders that make the benchmark's PNG and WebP.
#pragma once

#include <string>

#include "pictures.h"

namespace userbench {

enum class Library { Jpeg, Png, WebP };

// Milliseconds of one bare decode of the file, or a negative value (with
// *error) on failure.
double BareLibraryDecodeMs(Library library, const std::string& path, std::string* error);

// The picture as an 8-bit RGB PNG (libpng) and as a lossy WebP (libwebp).
bool WritePng(const std::string& path, const e2e::Picture& picture);
bool WriteWebP(const std::string& path, const e2e::Picture& picture);

}  // namespace userbench
