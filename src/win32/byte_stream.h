// A file's bytes in memory, and the read-only stream the decoders read them
// through. The decoders seek to offsets taken from the file itself, far past
// its end in a damaged one; a read there must give no bytes. The system's
// stream over global memory reads outside its block there under Wine, so the
// loader uses this one.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstddef>
#include <cstdint>

// Bytes shared by a stream and its clones, freed with the last reference.
class SharedBytes {
public:
    // size bytes, not yet written, with one reference; null when the memory is not there.
    static SharedBytes* Allocate(size_t size);
    SharedBytes(const SharedBytes&) = delete;
    SharedBytes& operator=(const SharedBytes&) = delete;

    void AddRef();
    void Release();
    uint8_t* Data() { return data_; }
    size_t Size() const { return size_; }
    // Fewer bytes came than the file had when it was measured.
    void Shrink(size_t size) { size_ = size < size_ ? size : size_; }

private:
    SharedBytes() = default;
    ~SharedBytes();
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    LONG references_ = 1;
};

// A stream reading bytes from its start (it takes its own reference); null
// when the memory is not there.
IStream* CreateByteStream(SharedBytes* bytes);
