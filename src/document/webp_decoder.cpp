// WebP through libwebp: lossy and lossless, with or without alpha, written
// straight into the picture's rows. Of an animation this decodes the first
// frame as composed on its canvas (libwebp's demux library); playing the
// rest is the animation's.
#include <cstring>

#include <webp/decode.h>
#include <webp/demux.h>

#include "document/decoder.h"

namespace {

constexpr int WEBP_PIXEL_BYTES = 4;  // MODE_BGRA: blue, green, red, alpha, colours straight

LoadError ErrorOfStatus(VP8StatusCode status) {
    return status == VP8_STATUS_OUT_OF_MEMORY ? LoadError::OutOfMemory : LoadError::Damaged;
}

// Owns what WebPAnimDecoderNew makes.
class AnimationDecoder {
public:
    explicit AnimationDecoder(WebPAnimDecoder* decoder) : decoder_(decoder) {}
    ~AnimationDecoder() {
        if (decoder_ != nullptr) WebPAnimDecoderDelete(decoder_);
    }
    AnimationDecoder(const AnimationDecoder&) = delete;
    AnimationDecoder& operator=(const AnimationDecoder&) = delete;
    WebPAnimDecoder* Get() const { return decoder_; }

private:
    WebPAnimDecoder* decoder_;
};

void DecodeFirstFrame(const DecodeInput& input, LoadOutcome& outcome) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) {
        outcome.error = LoadError::Damaged;
        return;
    }
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    const WebPData data = {input.bytes, input.size};
    AnimationDecoder decoder(WebPAnimDecoderNew(&data, &options));
    WebPAnimInfo info;
    if (decoder.Get() == nullptr || !WebPAnimDecoderGetInfo(decoder.Get(), &info)) {
        outcome.error = LoadError::Damaged;
        return;
    }
    if (RefusedAsTooLarge(input, info.canvas_width, info.canvas_height, outcome) || GivenUp(input, outcome)) return;
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.Get(), &canvas, &timestamp) || canvas == nullptr) {
        outcome.error = LoadError::Damaged;
        return;
    }
    StoredRows rows;
    if (!rows.Start(input, info.canvas_width, info.canvas_height, outcome)) return;
    const size_t rowBytes = static_cast<size_t>(info.canvas_width) * WEBP_PIXEL_BYTES;
    for (uint32_t y = 0; y < info.canvas_height; ++y) std::memcpy(rows.Row(y), canvas + y * rowBytes, rowBytes);
    rows.Finish(true, outcome);
}

}  // namespace

void DecodeWebP(const DecodeInput& input, LoadOutcome& outcome) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) {
        outcome.error = LoadError::Damaged;
        return;
    }
    const VP8StatusCode features = WebPGetFeatures(input.bytes, input.size, &config.input);
    if (features != VP8_STATUS_OK) {
        outcome.error = ErrorOfStatus(features);
        return;
    }
    if (config.input.has_animation) {
        DecodeFirstFrame(input, outcome);
        return;
    }
    const uint32_t width = static_cast<uint32_t>(config.input.width);
    const uint32_t height = static_cast<uint32_t>(config.input.height);
    if (RefusedAsTooLarge(input, width, height, outcome) || GivenUp(input, outcome)) return;
    StoredRows rows;
    if (!rows.Start(input, width, height, outcome)) return;
    // The rows are bottom-up: from the top row, a negative stride.
    const int stride = static_cast<int>(width) * WEBP_PIXEL_BYTES;
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = reinterpret_cast<uint8_t*>(rows.Row(0));
    config.output.u.RGBA.stride = -stride;
    config.output.u.RGBA.size = static_cast<size_t>(stride) * height;
    const VP8StatusCode decoded = WebPDecode(input.bytes, input.size, &config);
    WebPFreeDecBuffer(&config.output);  // frees nothing of ours: the memory is external
    if (decoded != VP8_STATUS_OK) {
        outcome.error = ErrorOfStatus(decoded);
        return;
    }
    if (GivenUp(input, outcome)) return;
    rows.Finish(config.input.has_alpha != 0, outcome);
}
