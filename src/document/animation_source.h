// Where an animation's frames come from: a decoder per format that gives the
// frames in order, each composed on the canvas of those before. Used by the
// animation alone.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/animation/gif_compose.h"
#include "core/files/picture_header.h"

class SharedBytes;

// How a GIF frame lies on the canvas, read once with the file's other values.
struct GifFrameLayout {
    uint32_t left = 0, top = 0;
    int32_t transparentIndex = NO_TRANSPARENT_INDEX;
    uint8_t disposal = GIF_DISPOSAL_NONE;
};

// What is known of an animation before any frame is composed; never changed
// once the animation is made.
struct AnimationInfo {
    PictureFormat format = PictureFormat::Unknown;
    uint32_t width = 0, height = 0;  // the canvas
    std::vector<uint32_t> delays;    // ms, as in the file
    uint32_t plays = 1;              // PLAYS_FOREVER or a count
    bool mayHaveAlpha = true;        // for the budget: whether frames keep their decoded colours beside
    std::vector<GifFrameLayout> gifFrames;
};

class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Back before the first frame, with a transparent canvas; false when the
    // memory is not there.
    virtual bool Rewind() = 0;
    // Composes the next frame: the canvas, info.width x info.height top-down
    // rows of 0xAARRGGBB (straight colours), valid until the next call; null
    // when the frame cannot be read.
    virtual const uint32_t* Next() = 0;
};

// Opens the frames of the file in bytes, as info says they are. With fill
// (which is info), the values the file gives (delays, plays, the frames'
// layout) are read into it first; its format and canvas are the caller's.
// Null when the frames cannot be read, the memory is not there or cancelled
// is set. The source keeps a reference to info and one to bytes.
std::unique_ptr<FrameSource> OpenFrameSource(const AnimationInfo& info, SharedBytes* bytes, AnimationInfo* fill,
                                             const std::atomic<bool>& cancelled);

// Per format.
std::unique_ptr<FrameSource> OpenGifFrames(const AnimationInfo& info, SharedBytes* bytes, AnimationInfo* fill,
                                           const std::atomic<bool>& cancelled);
std::unique_ptr<FrameSource> OpenWebPFrames(const AnimationInfo& info, SharedBytes* bytes, AnimationInfo* fill,
                                            const std::atomic<bool>& cancelled);
