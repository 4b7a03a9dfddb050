// Pictures that move: a GIF or WebP with more than one frame. The loader
// decodes the first frame as it decodes any picture, then offers the file
// here; what plays the frames lives behind this one call.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/files/picture_header.h"
#include "core/pixels/orientation.h"
#include "document/picture.h"

class Animation;
class SharedBytes;

// What the loader knows once the first frame is decoded. Runs on a worker.
struct AnimationSource {
    PictureFormat format = PictureFormat::Unknown;  // Gif or WebP
    SharedBytes* bytes = nullptr;                   // the whole file; AddRef to keep it past the call
    const Picture* firstFrame = nullptr;            // the first frame as shown: composed, upright
    Orientation orientation = ORIENTATION_NONE;     // applied to firstFrame already
    uint64_t pixelByteLimit = 0;                    // what the load allowed for one picture's pixels
};

// The animation of the file; null when it has a single frame, its frames
// cannot be read or cancelled is set, and the picture then shows as a still.
std::shared_ptr<Animation> OpenAnimation(const AnimationSource& source, const std::atomic<bool>& cancelled);
