// The frames of an animation come from a source that gives them in order
// only, each composed on the canvas of those before: a GIF's raw frames come
// from the Windows Imaging Component (under Wine 8 as on Windows it gives each
// frame's own rectangle, palette and graphic control values, where GDI+ hands
// frames composed by itself, and only partly), composed by our own
// GifComposer. The animation's thread composes the frames ahead of the one a
// window asked for last and keeps them within the budget; a window never
// waits for it.

#include "document/animation.h"

#include <algorithm>
#include <new>

#include "core/animation/frame_budget.h"
#include "document/animation_source.h"
#include "win32/byte_stream.h"
#include "win32/com.h"
#include "win32/win32_owners.h"

namespace {

constexpr uint32_t OPAQUE_ALPHA = 0xFF000000u;
constexpr uint32_t FEWEST_FRAMES = 2;  // fewer is a still

bool MayHaveAlpha(const uint32_t* canvas, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if ((canvas[i] & OPAQUE_ALPHA) != OPAQUE_ALPHA) return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<FrameSource> OpenFrameSource(const AnimationInfo& info, SharedBytes* bytes, AnimationInfo* fill,
                                             const std::atomic<bool>& cancelled) {
    switch (info.format) {
        case PictureFormat::Gif: return OpenGifFrames(info, bytes, fill, cancelled);
        case PictureFormat::WebP: return OpenWebPFrames(info, bytes, fill, cancelled);
        default: return nullptr;
    }
}

std::shared_ptr<Animation> OpenAnimation(const AnimationSource& source, const std::atomic<bool>& cancelled) {
    if (source.bytes == nullptr || source.firstFrame == nullptr) return nullptr;
    std::unique_ptr<FrameSource> frames;
    std::shared_ptr<AnimationInfo> info(new (std::nothrow) AnimationInfo());
    if (!info) return nullptr;
    // The canvas is the size of the first frame as the user sees it first,
    // so that playing never changes the size the window shows.
    info->width = source.firstFrame->Width();
    info->height = source.firstFrame->Height();
    info->format = source.format;
    frames = OpenFrameSource(*info, source.bytes, info.get(), cancelled);
    if (!frames || cancelled || info->delays.size() < FEWEST_FRAMES) return nullptr;
    std::shared_ptr<Animation> animation(new (std::nothrow) Animation(
        source.bytes, info, source.firstFrame->Identity(), source.orientation, std::move(frames)));
    return animation;
}

Animation::Animation(SharedBytes* bytes, std::shared_ptr<const AnimationInfo> info, const FileIdentity& identity,
                     Orientation orientation, std::unique_ptr<FrameSource> source)
    : bytes_(bytes), info_(std::move(info)), identity_(identity), orientation_(orientation), source_(std::move(source)) {
    bytes_->AddRef();
    const uint32_t count = static_cast<uint32_t>(info_->delays.size());
    const uint64_t frameBytes = static_cast<uint64_t>(info_->width) * info_->height * Picture::BYTES_PER_PIXEL *
                                (info_->mayHaveAlpha ? 2 : 1);
    kept_ = FramesKept(frameBytes, count, ANIMATION_BUDGET_BYTES);
    readable_ = count;
    try {
        frames_.resize(count);
    } catch (const std::bad_alloc&) {
        readable_ = 0;
    }
}

Animation::~Animation() {
    {
        ExclusiveLock hold(lock_);
        stopping_ = true;
    }
    WakeAllConditionVariable(&wake_);
    if (thread_ != nullptr) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    source_.reset();
    bytes_->Release();
}

uint32_t Animation::FrameCount() const { return static_cast<uint32_t>(info_->delays.size()); }
const std::vector<uint32_t>& Animation::FileDelays() const { return info_->delays; }
uint32_t Animation::Plays() const { return info_->plays; }

FrameState Animation::Frame(uint32_t index, std::shared_ptr<const Picture>& frame) {
    bool start = false;
    FrameState state = FrameState::Pending;
    {
        ExclusiveLock hold(lock_);
        if (index >= readable_) return FrameState::Missing;
        wanted_ = index;
        frame = frames_[index];
        if (frame) state = FrameState::Ready;
        start = !threadTried_;
        threadTried_ = true;
    }
    if (start) StartThread();
    if (thread_ == nullptr) return FrameState::Missing;
    WakeConditionVariable(&wake_);
    return state;
}

void Animation::StartThread() {
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
}

std::shared_ptr<Animation> Animation::Turned(Orientation turn) const {
    return std::shared_ptr<Animation>(
        new (std::nothrow) Animation(bytes_, info_, identity_, Compose(orientation_, turn), nullptr));
}

DWORD WINAPI Animation::ThreadMain(void* self) {
    // WIC's decoders are COM objects.
    const ComApartment apartment;
    static_cast<Animation*>(self)->Work();
    return 0;
}

std::shared_ptr<const Picture> Animation::PictureOf(const uint32_t* canvas) const {
    const uint32_t width = info_->width, height = info_->height;
    std::unique_ptr<Picture> upright = Picture::AllocateFrame(width, height, identity_);
    if (!upright) return nullptr;
    std::unique_ptr<uint32_t[]> straight;
    if (MayHaveAlpha(canvas, static_cast<size_t>(width) * height)) {
        straight.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width) * height]);
    }
    CanvasToPicture(canvas, width, height, upright->Bits(), upright->Stride(), straight.get());
    if (straight) upright->KeepDecodedColours(std::move(straight));
    if (orientation_ == ORIENTATION_NONE) return std::shared_ptr<const Picture>(std::move(upright));
    return std::shared_ptr<const Picture>(upright->Turned(orientation_));
}

void Animation::Work() {
    const std::atomic<bool> going{false};
    if (!source_) source_ = OpenFrameSource(*info_, bytes_, nullptr, going);
    bool rewound = false;
    for (;;) {
        uint32_t target = 0;
        {
            ExclusiveLock hold(lock_);
            for (;;) {
                if (stopping_ || !source_) {
                    readable_ = source_ ? readable_ : 0;
                    source_.reset();
                    return;
                }
                target = NextToCompose(wanted_, kept_, readable_,
                                       [this](uint32_t frame) { return frames_[frame] != nullptr; });
                if (target < readable_) break;
                SleepConditionVariableSRW(&wake_, &lock_, INFINITE, 0);
            }
        }
        if (target < position_ || !rewound) {
            rewound = source_->Rewind();
            position_ = 0;
        }
        while (position_ <= target) {
            bool keep = false;
            {
                ExclusiveLock hold(lock_);
                keep = InKeptWindow(position_, wanted_, kept_, readable_) && !frames_[position_];
            }
            // Frames outside the window are composed for those after them only.
            const uint32_t* canvas = rewound ? source_->Next() : nullptr;
            std::shared_ptr<const Picture> frame = canvas != nullptr && keep ? PictureOf(canvas) : nullptr;
            ExclusiveLock hold(lock_);
            if (canvas == nullptr || (keep && !frame)) {
                // Unreadable from here on (or no memory for it): the windows
                // play the frames before.
                readable_ = std::min(readable_, position_);
                break;
            }
            if (frame) {
                if (kept_ < readable_) {
                    for (uint32_t i = 0; i < frames_.size(); ++i) {
                        if (!InKeptWindow(i, wanted_, kept_, readable_)) frames_[i].reset();
                    }
                }
                frames_[position_] = std::move(frame);
            }
            ++position_;
            if (stopping_) break;
        }
    }
}
