// A GIF's frames through the Windows Imaging Component: each raw frame (its
// own rectangle, palette indices with interlaced rows in order) and the
// values of its graphic control extension, composed by GifComposer.

#include <windows.h>

#include <objbase.h>
#include <propidl.h>
#include <wincodec.h>

#include <cstring>
#include <new>

#include "core/animation/frame_timing.h"
#include "document/animation_source.h"
#include "win32/byte_stream.h"
#include "win32/com.h"

namespace {

constexpr uint32_t GIF_DELAY_UNIT_MS = 10;  // delays are hundredths of a second
// The application extension that carries the loop count: its data is the
// sub-block of 3 bytes, the value 1 and the count, little-endian.
constexpr char LOOP_APPLICATION[] = "NETSCAPE2.0";
constexpr char LOOP_APPLICATION_OTHER[] = "ANIMEXTS1.0";
constexpr size_t LOOP_APPLICATION_LENGTH = 11;
constexpr uint8_t LOOP_BLOCK_LENGTH = 3;
constexpr uint8_t LOOP_BLOCK_ID = 1;
constexpr uint32_t BITS_PER_BYTE = 8;

class PropertyValue {
public:
    PropertyValue() { PropVariantInit(&value_); }
    ~PropertyValue() { PropVariantClear(&value_); }
    PropertyValue(const PropertyValue&) = delete;
    PropertyValue& operator=(const PropertyValue&) = delete;
    PROPVARIANT* Out() { return &value_; }
    const PROPVARIANT& Get() const { return value_; }

private:
    PROPVARIANT value_;
};

// A number the metadata holds under name, or fallback when it holds none.
uint32_t ReadNumber(IWICMetadataQueryReader* reader, const wchar_t* name, uint32_t fallback) {
    PropertyValue value;
    if (reader == nullptr || FAILED(reader->GetMetadataByName(name, value.Out()))) return fallback;
    switch (value.Get().vt) {
        case VT_UI1: return value.Get().bVal;
        case VT_UI2: return value.Get().uiVal;
        case VT_UI4: return value.Get().ulVal;
        case VT_BOOL: return value.Get().boolVal != VARIANT_FALSE ? 1 : 0;
        default: return fallback;
    }
}

// The bytes the metadata holds under name.
bool ReadBytes(IWICMetadataQueryReader* reader, const wchar_t* name, std::vector<uint8_t>& bytes) {
    PropertyValue value;
    if (reader == nullptr || FAILED(reader->GetMetadataByName(name, value.Out()))) return false;
    if (value.Get().vt != (VT_VECTOR | VT_UI1)) return false;
    const CAUB& blob = value.Get().caub;
    bytes.assign(blob.pElems, blob.pElems + blob.cElems);
    return true;
}

uint32_t ReadPlays(IWICBitmapDecoder* decoder) {
    ComPtr<IWICMetadataQueryReader> reader;
    if (FAILED(decoder->GetMetadataQueryReader(reader.Out()))) return PlaysOfGifLoopCount(false, 0);
    std::vector<uint8_t> application, data;
    const bool looping =
        ReadBytes(reader.Get(), L"/appext/Application", application) && application.size() == LOOP_APPLICATION_LENGTH &&
        (std::memcmp(application.data(), LOOP_APPLICATION, LOOP_APPLICATION_LENGTH) == 0 ||
         std::memcmp(application.data(), LOOP_APPLICATION_OTHER, LOOP_APPLICATION_LENGTH) == 0) &&
        ReadBytes(reader.Get(), L"/appext/Data", data) && data.size() >= 4 && data[0] >= LOOP_BLOCK_LENGTH &&
        data[1] == LOOP_BLOCK_ID;
    return looping ? PlaysOfGifLoopCount(true, data[2] | static_cast<uint32_t>(data[3]) << BITS_PER_BYTE)
                   : PlaysOfGifLoopCount(false, 0);
}

// The delay and layout of every frame; false when a frame cannot be had.
bool ReadFrames(IWICBitmapDecoder* decoder, uint32_t count, AnimationInfo& info, const std::atomic<bool>& cancelled) {
    try {
        info.delays.reserve(count);
        info.gifFrames.reserve(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (cancelled) return false;
        ComPtr<IWICBitmapFrameDecode> frame;
        ComPtr<IWICMetadataQueryReader> reader;
        if (FAILED(decoder->GetFrame(i, frame.Out()))) return false;
        // A frame without metadata keeps the defaults: no delay, disposal or transparency.
        frame->GetMetadataQueryReader(reader.Out());
        GifFrameLayout layout;
        layout.left = ReadNumber(reader.Get(), L"/imgdesc/Left", 0);
        layout.top = ReadNumber(reader.Get(), L"/imgdesc/Top", 0);
        layout.disposal = static_cast<uint8_t>(ReadNumber(reader.Get(), L"/grctlext/Disposal", GIF_DISPOSAL_NONE));
        if (ReadNumber(reader.Get(), L"/grctlext/TransparencyFlag", 0) != 0) {
            layout.transparentIndex = static_cast<int32_t>(ReadNumber(reader.Get(), L"/grctlext/TransparentColorIndex", 0));
        }
        info.delays.push_back(ReadNumber(reader.Get(), L"/grctlext/Delay", 0) * GIF_DELAY_UNIT_MS);
        info.gifFrames.push_back(layout);
    }
    return true;
}

// A reference to the file's bytes, held for as long as the owner lives.
class BytesReference {
public:
    explicit BytesReference(SharedBytes* bytes) : bytes_(bytes) { bytes_->AddRef(); }
    ~BytesReference() { bytes_->Release(); }
    BytesReference(const BytesReference&) = delete;
    BytesReference& operator=(const BytesReference&) = delete;
    SharedBytes* Get() const { return bytes_; }

private:
    SharedBytes* bytes_;
};

class GifFrames : public FrameSource {
public:
    GifFrames(const AnimationInfo& info, SharedBytes* bytes) : info_(info), bytes_(bytes) {}

    bool Open() {
        *stream_.Out() = CreateByteStream(bytes_.Get());
        if (stream_.Get() == nullptr) return false;
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(factory_.Out())))) {
            return false;
        }
        return SUCCEEDED(
                   factory_->CreateDecoderFromStream(stream_.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder_.Out())) &&
               SUCCEEDED(factory_->CreatePalette(palette_.Out()));
    }
    IWICBitmapDecoder* Decoder() const { return decoder_.Get(); }

    bool Rewind() override {
        next_ = 0;
        return composer_.Reset(info_.width, info_.height);
    }

    const uint32_t* Next() override {
        if (next_ >= info_.gifFrames.size() || composer_.Width() != info_.width) return nullptr;
        ComPtr<IWICBitmapFrameDecode> frame;
        if (FAILED(decoder_->GetFrame(next_, frame.Out()))) return nullptr;
        UINT width = 0, height = 0;
        WICPixelFormatGUID format;
        if (FAILED(frame->GetSize(&width, &height)) || FAILED(frame->GetPixelFormat(&format)) ||
            !IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed)) {
            return nullptr;
        }
        // No frame larger than the canvas's pixels is needed: a GIF's sides are 16 bits.
        const uint64_t count = static_cast<uint64_t>(width) * height;
        if (count > UINT32_MAX) return nullptr;
        WICColor colours[GIF_PALETTE_SIZE] = {};
        UINT colourCount = 0;
        if (FAILED(frame->CopyPalette(palette_.Get())) ||
            FAILED(palette_->GetColors(GIF_PALETTE_SIZE, colours, &colourCount))) {
            return nullptr;
        }
        try {
            indices_.resize(static_cast<size_t>(count));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        if (count > 0 && FAILED(frame->CopyPixels(nullptr, width, static_cast<UINT>(count), indices_.data()))) {
            return nullptr;
        }
        const GifFrameLayout& layout = info_.gifFrames[next_];
        GifFrame raw;
        raw.left = layout.left;
        raw.top = layout.top;
        raw.width = width;
        raw.height = height;
        raw.indices = indices_.data();
        raw.stride = width;
        raw.palette = colours;
        raw.paletteSize = colourCount;
        raw.transparentIndex = layout.transparentIndex;
        raw.disposal = layout.disposal;
        if (!composer_.Draw(raw)) return nullptr;
        ++next_;
        return composer_.Pixels();
    }

private:
    // Released in the reverse order: the decoder before the stream it reads,
    // the stream before the bytes.
    const AnimationInfo& info_;
    BytesReference bytes_;
    ComPtr<IStream> stream_;
    ComPtr<IWICImagingFactory> factory_;
    ComPtr<IWICBitmapDecoder> decoder_;
    ComPtr<IWICPalette> palette_;
    GifComposer composer_;
    std::vector<uint8_t> indices_;
    uint32_t next_ = 0;
};

}  // namespace

std::unique_ptr<FrameSource> OpenGifFrames(const AnimationInfo& info, SharedBytes* bytes, AnimationInfo* fill,
                                           const std::atomic<bool>& cancelled) {
    std::unique_ptr<GifFrames> frames(new (std::nothrow) GifFrames(info, bytes));
    if (!frames || !frames->Open()) return nullptr;
    if (fill != nullptr) {
        UINT count = 0;
        if (FAILED(frames->Decoder()->GetFrameCount(&count))) return nullptr;
        if (!ReadFrames(frames->Decoder(), count, *fill, cancelled)) return nullptr;
        fill->plays = ReadPlays(frames->Decoder());
        // Transparent indices, a first frame short of the canvas and cleared
        // areas all leave pixels with alpha: counted for the budget as if every
        // frame had some.
        fill->mayHaveAlpha = true;
    }
    return frames;
}
