// The last decoder of the chain: the Windows Imaging Component, with
// whatever codecs the machine has installed (DDS, TGA, JPEG XR, HEIC, camera
// raw...). Its frame is converted to 32-bit blue, green, red, alpha and
// copied into the picture's rows in strips, cancelled looked at between them.
#include <wincodec.h>

#include <cstring>
#include <new>

#include "document/decoder.h"
#include "win32/byte_stream.h"
#include "win32/com.h"

namespace {

constexpr UINT ROWS_PER_STRIP = 64;

LoadError ErrorOfResult(HRESULT result) {
    if (result == WINCODEC_ERR_COMPONENTNOTFOUND) return LoadError::NotAPicture;
    if (result == E_OUTOFMEMORY) return LoadError::OutOfMemory;
    return LoadError::Damaged;
}

// Copies the converted frame into rows strip by strip: WIC writes rows
// top-down, the picture keeps them bottom-up.
bool CopyStrips(IWICBitmapSource* source, const DecodeInput& input, StoredRows& rows, LoadOutcome& outcome) {
    const UINT width = rows.Width(), height = rows.Height();
    const UINT stride = width * Picture::BYTES_PER_PIXEL;
    const UINT stripRows = height < ROWS_PER_STRIP ? height : ROWS_PER_STRIP;
    std::unique_ptr<uint8_t[]> strip(new (std::nothrow) uint8_t[static_cast<size_t>(stride) * stripRows]);
    if (!strip) {
        outcome.error = LoadError::OutOfMemory;
        return false;
    }
    for (UINT top = 0; top < height; top += stripRows) {
        if (GivenUp(input, outcome)) return false;
        const UINT count = height - top < stripRows ? height - top : stripRows;
        const WICRect rect = {0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(count)};
        const HRESULT copied = source->CopyPixels(&rect, stride, stride * count, strip.get());
        if (FAILED(copied)) {
            outcome.error = ErrorOfResult(copied);
            return false;
        }
        for (UINT i = 0; i < count; ++i) std::memcpy(rows.Row(top + i), strip.get() + static_cast<size_t>(i) * stride, stride);
    }
    return true;
}

}  // namespace

void DecodeWithWic(const DecodeInput& input, LoadOutcome& outcome) {
    // Worker threads are in the multithreaded apartment already; this is for
    // a thread that is in none.
    ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.OutVoid()))) {
        outcome.error = LoadError::NotAPicture;  // without WIC there is no codec to ask
        return;
    }
    ComPtr<IStream> stream(CreateByteStream(input.shared));
    if (stream.Get() == nullptr) {
        outcome.error = LoadError::OutOfMemory;
        return;
    }
    ComPtr<IWICBitmapDecoder> decoder;
    HRESULT result = factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Out());
    ComPtr<IWICBitmapFrameDecode> frame;
    if (SUCCEEDED(result)) result = decoder->GetFrame(0, frame.Out());
    UINT width = 0, height = 0;
    if (SUCCEEDED(result)) result = frame->GetSize(&width, &height);
    if (FAILED(result) || width == 0 || height == 0) {
        outcome.error = FAILED(result) ? ErrorOfResult(result) : LoadError::Damaged;
        return;
    }
    if (RefusedAsTooLarge(input, width, height, outcome) || GivenUp(input, outcome)) return;
    ComPtr<IWICFormatConverter> converter;
    result = factory->CreateFormatConverter(converter.Out());
    if (SUCCEEDED(result)) {
        result = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
    }
    if (FAILED(result)) {
        // The codec knows the file, so it is a picture: one whose pixels cannot be had.
        outcome.error = result == E_OUTOFMEMORY ? LoadError::OutOfMemory : LoadError::Damaged;
        return;
    }
    StoredRows rows;
    if (!rows.Start(input, width, height, outcome) || !CopyStrips(converter.Get(), input, rows, outcome)) return;
    rows.Finish(true, outcome);
}
