// One decode, straight into the picture's own surface: the file is read into
// memory in one go (so it is never held open while a decoder works, and a
// writer is never locked out), its header is read first so that a size the
// program cannot take is refused before anything is decoded, then the
// decoder its signature names decodes it (document/decoder.h): libjpeg-turbo,
// libpng or libwebp, else GDI+, else the system's WIC codecs.

#include "document/picture_loader.h"

#include "core/files/paths.h"
#include "core/files/picture_header.h"
#include "document/decoder.h"
#include "win32/byte_stream.h"
#include "win32/win32_owners.h"

namespace {

constexpr DWORD READ_CHUNK = 16u << 20;  // ReadFile takes 32-bit counts; read in pieces

// The file's bytes; a decoder that reads a stream shares them, so there is
// no copy.
class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes() {
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
    SharedBytes* Shared() { return bytes_; }

private:
    SharedBytes* bytes_ = nullptr;
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

// The decoder of a format the header reader knows: the program's own
// libraries for JPEG, PNG and WebP, GDI+ for the others. Null for a file
// only the system's codecs may know.
Decoder DecoderOf(PictureFormat format) {
    switch (format) {
        case PictureFormat::Jpeg: return DecodeJpeg;
        case PictureFormat::Png: return DecodePng;
        case PictureFormat::WebP: return DecodeWebP;
        case PictureFormat::Bmp:
        case PictureFormat::Gif:
        case PictureFormat::Tiff:
        case PictureFormat::Ico: return DecodeWithGdiplus;
        case PictureFormat::Unknown: break;
    }
    return nullptr;
}

// A file GDI+ found damaged goes to the system's codecs too, which know more
// kinds of TIFF, say; their answer counts unless they know no better.
void AskTheCodecsAfterGdiplus(const DecodeInput& input, LoadOutcome& outcome) {
    LoadOutcome second;
    DecodeWithWic(input, second);
    if (second.error != LoadError::NotAPicture && second.error != LoadError::Damaged) outcome = std::move(second);
}

// The formats whose files may move; the first frame is the picture.
bool MayBeAnimated(PictureFormat format) { return format == PictureFormat::Gif || format == PictureFormat::WebP; }

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
    DecodeInput input;
    outcome.error = ReadWholeFile(fullPath, bytes, input.identity);
    if (outcome.error != LoadError::None) return outcome;
    input.bytes = bytes.Data();
    input.size = bytes.Size();
    input.shared = bytes.Shared();
    input.pixelByteLimit = pixelByteLimit;
    input.cancelled = &cancelled;

    const HeaderStatus status = ReadPictureHeader(bytes.Data(), bytes.Size(), input.header);
    if (status == HeaderStatus::Empty || status == HeaderStatus::Damaged) {
        outcome.error = ErrorOfHeader(status);
        return outcome;
    }
    // A size the header holds is checked before any decoder starts.
    const PictureHeader& header = input.header;
    if (header.width != 0 && RefusedAsTooLarge(input, header.width, header.height, outcome)) return outcome;
    if (GivenUp(input, outcome)) return outcome;

    const Decoder decoder = DecoderOf(header.format);
    if (decoder == nullptr) {
        DecodeWithWic(input, outcome);
    } else {
        decoder(input, outcome);
        if (decoder == DecodeWithGdiplus && outcome.error == LoadError::Damaged) AskTheCodecsAfterGdiplus(input, outcome);
    }
    if (outcome.picture && MayBeAnimated(header.format)) {
        AnimationSource source;
        source.format = header.format;
        source.bytes = bytes.Shared();
        source.firstFrame = outcome.picture.get();
        source.orientation = header.orientation;
        source.pixelByteLimit = pixelByteLimit;
        outcome.animation = OpenAnimation(source, cancelled);
        // The first frame takes the animation to every window that shows it.
        if (outcome.animation) outcome.picture->AttachAnimation(outcome.animation);
    }
    return outcome;
}
