// A WebP's frames through libwebp's animation decoder, which composes them
// itself (blending and disposal as the format says) on a canvas of the
// file's size.

#include <webp/demux.h>

#include <new>

#include "core/animation/frame_timing.h"
#include "document/animation_source.h"
#include "win32/byte_stream.h"

namespace {

class WebPFrames : public FrameSource {
public:
    WebPFrames(const AnimationInfo& info, SharedBytes* bytes) : info_(info), bytes_(bytes) { bytes_->AddRef(); }
    ~WebPFrames() override {
        if (decoder_ != nullptr) WebPAnimDecoderDelete(decoder_);
        bytes_->Release();
    }
    WebPFrames(const WebPFrames&) = delete;
    WebPFrames& operator=(const WebPFrames&) = delete;

    bool Open() {
        WebPAnimDecoderOptions options;
        if (!WebPAnimDecoderOptionsInit(&options)) return false;
        // Bytes blue, green, red, alpha: 0xAARRGGBB words, colours straight.
        options.color_mode = MODE_BGRA;
        options.use_threads = 0;
        const WebPData data = {bytes_->Data(), bytes_->Size()};
        decoder_ = WebPAnimDecoderNew(&data, &options);
        if (decoder_ == nullptr) return false;
        WebPAnimInfo animation;
        return WebPAnimDecoderGetInfo(decoder_, &animation) && animation.canvas_width == info_.width &&
               animation.canvas_height == info_.height;
    }

    // The frames' durations and the loop count, from the container.
    bool ReadInfo(AnimationInfo& fill, const std::atomic<bool>& cancelled) const {
        WebPAnimInfo animation;
        if (!WebPAnimDecoderGetInfo(decoder_, &animation)) return false;
        fill.plays = animation.loop_count;  // 0 is for ever, as PLAYS_FOREVER
        const WebPDemuxer* demuxer = WebPAnimDecoderGetDemuxer(decoder_);
        WebPIterator frame;
        if (demuxer == nullptr || !WebPDemuxGetFrame(demuxer, 1, &frame)) return false;
        bool complete = true;
        try {
            do {
                fill.delays.push_back(frame.duration > 0 ? static_cast<uint32_t>(frame.duration) : 0);
                complete = frame.complete != 0;
            } while (complete && !cancelled && WebPDemuxNextFrame(&frame));
        } catch (const std::bad_alloc&) {
            complete = false;
        }
        WebPDemuxReleaseIterator(&frame);
        fill.mayHaveAlpha = true;
        return complete && !cancelled && fill.delays.size() == animation.frame_count;
    }

    bool Rewind() override {
        WebPAnimDecoderReset(decoder_);
        return true;
    }

    const uint32_t* Next() override {
        uint8_t* canvas = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderHasMoreFrames(decoder_) || !WebPAnimDecoderGetNext(decoder_, &canvas, &timestamp)) {
            return nullptr;
        }
        return reinterpret_cast<const uint32_t*>(canvas);
    }

private:
    const AnimationInfo& info_;
    SharedBytes* bytes_;
    WebPAnimDecoder* decoder_ = nullptr;
};

}  // namespace

std::unique_ptr<FrameSource> OpenWebPFrames(const AnimationInfo& info, SharedBytes* bytes, AnimationInfo* fill,
                                            const std::atomic<bool>& cancelled) {
    std::unique_ptr<WebPFrames> frames(new (std::nothrow) WebPFrames(info, bytes));
    if (!frames || !frames->Open()) return nullptr;
    if (fill != nullptr && !frames->ReadInfo(*fill, cancelled)) return nullptr;
    return frames;
}
