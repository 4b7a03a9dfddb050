#include "win32/byte_stream.h"

#include <cstring>
#include <new>

namespace {

constexpr ULONG COPY_CHUNK = 1u << 20;

class ByteStream final : public IStream {
public:
    ByteStream(SharedBytes* bytes, uint64_t position) : bytes_(bytes), position_(position) { bytes_->AddRef(); }
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_ISequentialStream) || IsEqualIID(id, IID_IStream)) {
            *object = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // Past the end there is nothing to read: no bytes, and no error, as the
    // system's own memory stream answers.
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
        const ULONG n = Available(count);
        if (n > 0) std::memcpy(buffer, bytes_->Data() + position_, n);
        position_ += n;
        if (read != nullptr) *read = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* written) override {
        if (written != nullptr) *written = 0;
        return STG_E_ACCESSDENIED;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* moved) override {
        int64_t from = 0;
        if (origin == STREAM_SEEK_CUR) {
            from = static_cast<int64_t>(position_);
        } else if (origin == STREAM_SEEK_END) {
            from = static_cast<int64_t>(bytes_->Size());
        } else if (origin != STREAM_SEEK_SET) {
            return STG_E_INVALIDFUNCTION;
        }
        // Anywhere from the start on, past the end too; before it is an error.
        if (move.QuadPart < -from || move.QuadPart > INT64_MAX - from) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<uint64_t>(from + move.QuadPart);
        if (moved != nullptr) moved->QuadPart = position_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override {
        uint64_t done = 0, stored = 0;
        HRESULT result = S_OK;
        while (done < count.QuadPart) {
            const uint64_t left = count.QuadPart - done;
            const ULONG n = Available(left < COPY_CHUNK ? static_cast<ULONG>(left) : COPY_CHUNK);
            if (n == 0) break;
            ULONG put = 0;
            result = target->Write(bytes_->Data() + position_, n, &put);
            position_ += n;
            done += n;
            stored += put;
            if (FAILED(result)) break;
        }
        if (read != nullptr) read->QuadPart = done;
        if (written != nullptr) written->QuadPart = stored;
        return result;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
        if (stat == nullptr) return STG_E_INVALIDPOINTER;
        std::memset(stat, 0, sizeof *stat);
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = bytes_->Size();
        stat->grfMode = STGM_READ;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override {
        if (clone == nullptr) return E_POINTER;
        *clone = new (std::nothrow) ByteStream(bytes_, position_);
        return *clone != nullptr ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~ByteStream() { bytes_->Release(); }

    // How many of count bytes lie between the position and the end.
    ULONG Available(ULONG count) const {
        const uint64_t size = bytes_->Size();
        if (position_ >= size) return 0;
        return size - position_ < count ? static_cast<ULONG>(size - position_) : count;
    }

    SharedBytes* bytes_;
    uint64_t position_;
    LONG references_ = 1;
};

}  // namespace

SharedBytes* SharedBytes::Allocate(size_t size) {
    SharedBytes* bytes = new (std::nothrow) SharedBytes();
    if (bytes == nullptr) return nullptr;
    bytes->data_ = new (std::nothrow) uint8_t[size > 0 ? size : 1];
    if (bytes->data_ == nullptr) {
        delete bytes;
        return nullptr;
    }
    bytes->size_ = size;
    return bytes;
}

SharedBytes::~SharedBytes() { delete[] data_; }

void SharedBytes::AddRef() { InterlockedIncrement(&references_); }

void SharedBytes::Release() {
    if (InterlockedDecrement(&references_) == 0) delete this;
}

IStream* CreateByteStream(SharedBytes* bytes) { return new (std::nothrow) ByteStream(bytes, 0); }
