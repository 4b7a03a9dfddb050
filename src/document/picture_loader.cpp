// One decode, straight into the picture's own surface: the file is read into
// memory in one go (so it is never held open while GDI+ works, and a writer
// is never locked out), its header is read first so that a size the program
// cannot take is refused before anything is decoded, then GDI+ decodes it
// and hands its pixels to the picture's DIB section through LockBits.

#include "document/picture_loader.h"

#include <new>
#include <vector>

#include "document/decode_gate.h"
#include "win32/byte_stream.h"
#include "win32/gdiplus_flat.h"
#include "core/pixels/orientation.h"
#include "core/files/paths.h"
#include "core/files/picture_header.h"
#include "win32/win32_owners.h"
#include "core/geometry/view_state.h"

namespace {

constexpr uint32_t OPAQUE_ALPHA = 0xFF000000u;
constexpr uint32_t ALPHA_MASK = 0xFF000000u;
constexpr DWORD READ_CHUNK = 16u << 20;  // ReadFile takes 32-bit counts; read in pieces

// Owners of what one load makes on the way.
class GdiplusImage {
public:
    GdiplusImage() = default;
    ~GdiplusImage() {
        if (image_ != nullptr) GdipDisposeImage(image_);
    }
    GdiplusImage(const GdiplusImage&) = delete;
    GdiplusImage& operator=(const GdiplusImage&) = delete;
    GpImage** Out() { return &image_; }
    GpImage* Get() const { return image_; }

private:
    GpImage* image_ = nullptr;
};

// The file's bytes, and the stream the decoder reads them through; the
// stream shares them, so there is no copy.
class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes() {
        if (stream_ != nullptr) stream_->Release();
        if (bytes_ != nullptr) bytes_->Release();
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    bool Allocate(size_t size) {
        bytes_ = SharedBytes::Allocate(size);
        return bytes_ != nullptr;
    }
    uint8_t* Data() { return bytes_->Data(); }
    size_t Size() const { return bytes_->Size(); }
    void Shrink(size_t size) { bytes_->Shrink(size); }
    IStream* Stream() {
        if (stream_ == nullptr) stream_ = CreateByteStream(bytes_);
        return stream_;
    }

private:
    SharedBytes* bytes_ = nullptr;
    IStream* stream_ = nullptr;
};

uint64_t Combine(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

LoadError ErrorOfOpen(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME: return LoadError::NotFound;
        default: return LoadError::Unreadable;
    }
}

LoadError ErrorOfHeader(HeaderStatus status) {
    switch (status) {
        case HeaderStatus::Ok: return LoadError::None;
        case HeaderStatus::Empty: return LoadError::Empty;
        case HeaderStatus::NotAPicture: return LoadError::NotAPicture;
        case HeaderStatus::Damaged: return LoadError::Damaged;
    }
    return LoadError::Damaged;
}

bool TooLarge(uint32_t width, uint32_t height, uint64_t pixelByteLimit) {
    const uint64_t bytes = static_cast<uint64_t>(width) * height * Picture::BYTES_PER_PIXEL;
    return width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE || bytes > MAX_PICTURE_BYTES ||
           bytes > pixelByteLimit;
}

// Reads the whole file; identity gets what the open handle says, so it
// belongs to exactly the bytes read.
LoadError ReadWholeFile(const std::wstring& fullPath, FileBytes& bytes, FileIdentity& identity) {
    FileHandle file(CreateFileW(ExtendedLengthPath(fullPath).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) return ErrorOfOpen(GetLastError());
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file.Get(), &information)) return LoadError::Unreadable;
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return LoadError::IsFolder;
    identity.path = fullPath;
    identity.size = Combine(information.nFileSizeHigh, information.nFileSizeLow);
    identity.lastWrite = Combine(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime);
    if (identity.size == 0) return LoadError::Empty;
    if (identity.size > SIZE_MAX / 2) return LoadError::OutOfMemory;
    if (!bytes.Allocate(static_cast<size_t>(identity.size))) return LoadError::OutOfMemory;

    uint8_t* target = bytes.Data();
    size_t done = 0;
    bool failed = false;
    while (done < bytes.Size()) {
        const size_t left = bytes.Size() - done;
        DWORD read = 0;
        if (!ReadFile(file.Get(), target + done, left < READ_CHUNK ? static_cast<DWORD>(left) : READ_CHUNK, &read,
                      nullptr)) {
            failed = true;
            break;
        }
        if (read == 0) break;  // the file shrank since it was measured
        done += read;
    }
    if (failed) return LoadError::Unreadable;
    bytes.Shrink(done);
    return done == 0 ? LoadError::Empty : LoadError::None;
}

// Whether the memory for another copy of the picture's pixels is there: when
// GDI+ gives up for want of memory, that tells it apart from a damaged file,
// for which it says the same.
bool PixelsCouldBeAllocated(uint32_t width, uint32_t height) {
    const uint64_t bytes = static_cast<uint64_t>(width) * height * Picture::BYTES_PER_PIXEL;
    if (bytes > SIZE_MAX / 2) return false;
    void* probe = VirtualAlloc(nullptr, static_cast<size_t>(bytes), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (probe == nullptr) return false;
    VirtualFree(probe, 0, MEM_RELEASE);
    return true;
}

LoadError ErrorOfDecode(int status, uint32_t width, uint32_t height) {
    if (status == GDIPLUS_OUT_OF_MEMORY && !PixelsCouldBeAllocated(width, height)) return LoadError::OutOfMemory;
    return LoadError::Damaged;
}

// Lets GDI+ write the pixels in the given format into rows laid out as a
// bottom-up surface (rows top-down at a negative stride).
int LockInto(GpImage* image, uint32_t width, uint32_t height, INT format, const PixelSurface& surface) {
    const GpRect whole = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    GpBitmapData data = {};
    data.Width = width;
    data.Height = height;
    data.Stride = -surface.stride;
    data.PixelFormat = format;
    data.Scan0 = surface.bits + static_cast<size_t>(height - 1) * static_cast<size_t>(surface.stride);
    const int status = GdipBitmapLockBits(image, &whole, GDIPLUS_LOCK_READ | GDIPLUS_LOCK_USER_BUFFER, format, &data);
    if (status != GDIPLUS_OK) return status;
    return GdipBitmapUnlockBits(image, &data);
}

// A block of pixels laid out as a surface, for a decode that still has to be
// turned upright.
struct ScratchSurface {
    std::unique_ptr<uint32_t[]> pixels;
    PixelSurface surface{};
    bool Allocate(uint32_t width, uint32_t height) {
        pixels.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width) * height]);
        surface = {reinterpret_cast<uint8_t*>(pixels.get()), static_cast<int32_t>(width),
                   static_cast<int32_t>(height), static_cast<int32_t>(width) * Picture::BYTES_PER_PIXEL};
        return pixels != nullptr;
    }
};

// Decodes in format into shown, turned by orientation; stored is the size
// GDI+ decodes.
int DecodeInto(GpImage* image, uint32_t storedW, uint32_t storedH, INT format, Orientation orientation,
               const PixelSurface& shown, LoadError& error) {
    if (orientation == ORIENTATION_NONE) return LockInto(image, storedW, storedH, format, shown);
    ScratchSurface stored;
    if (!stored.Allocate(storedW, storedH)) {
        error = LoadError::OutOfMemory;
        return GDIPLUS_OUT_OF_MEMORY;
    }
    const int status = LockInto(image, storedW, storedH, format, stored.surface);
    if (status == GDIPLUS_OK) TransformSurface(stored.surface, shown, orientation);
    return status;
}

// The decoded colours of a picture with alpha, rows bottom-up like the
// painted ones; null when every pixel is opaque after all (or the memory is
// not there: the readout then shows the painted colours).
std::unique_ptr<uint32_t[]> DecodedColours(GpImage* image, uint32_t storedW, uint32_t storedH,
                                           Orientation orientation, uint32_t shownW, uint32_t shownH) {
    ScratchSurface straight;
    if (!straight.Allocate(shownW, shownH)) return nullptr;
    LoadError ignored = LoadError::None;
    if (DecodeInto(image, storedW, storedH, GDIPLUS_FORMAT_ARGB, orientation, straight.surface, ignored) != GDIPLUS_OK) {
        return nullptr;
    }
    const size_t count = static_cast<size_t>(shownW) * shownH;
    bool translucent = false;
    for (size_t i = 0; i < count && !translucent; ++i) translucent = (straight.pixels[i] & ALPHA_MASK) != OPAQUE_ALPHA;
    if (!translucent) return nullptr;
    return std::move(straight.pixels);
}

}  // namespace

LoadError ReadFileIdentity(const std::wstring& fullPath, FileIdentity& identity) {
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExW(ExtendedLengthPath(fullPath).c_str(), GetFileExInfoStandard, &attributes)) {
        return ErrorOfOpen(GetLastError());
    }
    if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return LoadError::IsFolder;
    identity.path = fullPath;
    identity.size = Combine(attributes.nFileSizeHigh, attributes.nFileSizeLow);
    identity.lastWrite = Combine(attributes.ftLastWriteTime.dwHighDateTime, attributes.ftLastWriteTime.dwLowDateTime);
    return LoadError::None;
}

LoadOutcome LoadPicture(const std::wstring& fullPath, uint64_t pixelByteLimit, const std::atomic<bool>& cancelled) {
    LoadOutcome outcome;
    FileBytes bytes;
    FileIdentity identity;
    outcome.error = ReadWholeFile(fullPath, bytes, identity);
    if (outcome.error != LoadError::None) return outcome;

    PictureHeader header;
    const HeaderStatus status = ReadPictureHeader(bytes.Data(), bytes.Size(), header);
    outcome.error = ErrorOfHeader(status);
    if (outcome.error != LoadError::None) return outcome;
    ShownSize(header.width, header.height, header.orientation, outcome.width, outcome.height);
    if (TooLarge(header.width, header.height, pixelByteLimit)) {
        outcome.error = LoadError::TooLarge;
        return outcome;
    }
    if (cancelled) {
        outcome.error = LoadError::Cancelled;
        return outcome;
    }

    IStream* stream = bytes.Stream();
    if (stream == nullptr) {
        outcome.error = LoadError::OutOfMemory;
        return outcome;
    }
    GdiplusImage image;
    int decoded = GdipCreateBitmapFromStream(stream, image.Out());
    if (decoded != GDIPLUS_OK || image.Get() == nullptr) {
        outcome.error = ErrorOfDecode(decoded, header.width, header.height);
        return outcome;
    }
    // GDI+ has the last word on the size: for some formats the header names
    // several (icons, multi-page files), and it picks one.
    UINT storedW = 0, storedH = 0;
    INT format = 0;
    GdipGetImageWidth(image.Get(), &storedW);
    GdipGetImageHeight(image.Get(), &storedH);
    GdipGetImagePixelFormat(image.Get(), &format);
    uint32_t shownW = 0, shownH = 0;
    ShownSize(storedW, storedH, header.orientation, shownW, shownH);
    if (storedW == 0 || storedH == 0) {
        outcome.error = LoadError::Damaged;
        return outcome;
    }
    if (TooLarge(storedW, storedH, pixelByteLimit)) {
        outcome.width = shownW;
        outcome.height = shownH;
        outcome.error = LoadError::TooLarge;
        return outcome;
    }
    if (cancelled) {
        outcome.error = LoadError::Cancelled;
        return outcome;
    }

    std::unique_ptr<Picture> picture = Picture::Allocate(shownW, shownH, identity);
    if (!picture) {
        outcome.error = LoadError::OutOfMemory;
        return outcome;
    }
    // Painted pixels are laid over black where the picture is transparent,
    // as GDI+ composes them.
    DecodeGate(fullPath);
    LoadError error = LoadError::None;
    decoded = DecodeInto(image.Get(), storedW, storedH, PaintedFormat(format), header.orientation,
                         picture->Surface(), error);
    if (decoded != GDIPLUS_OK) {
        outcome.error = error != LoadError::None ? error : ErrorOfDecode(decoded, storedW, storedH);
        return outcome;
    }
    if (format & (GDIPLUS_FORMAT_HAS_ALPHA | GDIPLUS_FORMAT_HAS_PREMULTIPLIED_ALPHA)) {
        picture->KeepDecodedColours(DecodedColours(image.Get(), storedW, storedH, header.orientation, shownW, shownH));
    }
    outcome.picture = std::move(picture);
    return outcome;
}
