// Pictures that move: a GIF or WebP with more than one frame. The loader
// decodes the first frame as it decodes any picture, then offers the file
// here. The frames are composed on a thread of the animation's own, ahead of
// play, and kept within ANIMATION_BUDGET_BYTES; the windows showing it ask
// for them by number and get each as a Picture of its own.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/files/picture_header.h"
#include "core/pixels/orientation.h"
#include "document/picture.h"

class SharedBytes;
class FrameSource;
struct AnimationInfo;

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

enum class FrameState {
    Ready,    // composed: here it is
    Pending,  // being composed; ask again shortly
    Missing,  // the file's frames end before it (damaged)
};

class Animation {
public:
    // Takes a reference to bytes; source, when given, is the frames' decoder
    // already open on them (else the animation's thread opens one).
    Animation(SharedBytes* bytes, std::shared_ptr<const AnimationInfo> info, const FileIdentity& identity,
              Orientation orientation, std::unique_ptr<FrameSource> source);
    // Stops the thread (a frame under way is finished first) and frees the frames.
    ~Animation();
    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;

    uint32_t FrameCount() const;
    // The file's delays in milliseconds, one per frame, as written there.
    const std::vector<uint32_t>& FileDelays() const;
    // How many times it plays (PLAYS_FOREVER or a count).
    uint32_t Plays() const;

    // Frame index, once composed; asking also moves the window of frames
    // composed ahead to start there.
    FrameState Frame(uint32_t index, std::shared_ptr<const Picture>& frame);

    // The same frames turned or mirrored as well: a new animation on the same
    // file, whose frames are composed anew; null when the memory is not there.
    std::shared_ptr<Animation> Turned(Orientation turn) const;

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Work();
    // A composed canvas as a frame, turned as the animation is; null when the
    // memory is not there.
    std::shared_ptr<const Picture> PictureOf(const uint32_t* canvas) const;
    void StartThread();

    SharedBytes* bytes_;
    std::shared_ptr<const AnimationInfo> info_;
    FileIdentity identity_;
    Orientation orientation_;
    std::unique_ptr<FrameSource> source_;  // used by the thread alone once it runs
    uint32_t kept_ = 0;                    // frames kept at most (FramesKept)
    uint32_t position_ = 0;                // the frame the source gives next

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE wake_ = CONDITION_VARIABLE_INIT;
    std::vector<std::shared_ptr<const Picture>> frames_;
    uint32_t wanted_ = 0;
    uint32_t readable_ = 0;  // frames before the first that cannot be read
    bool stopping_ = false;
    HANDLE thread_ = nullptr;
    bool threadTried_ = false;
};
