#include "allocation_count.h"

#include <cstdlib>
#include <new>

namespace {

uint64_t allocationCount = 0;

void* CountedAllocate(std::size_t size) {
    ++allocationCount;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

}  // namespace

uint64_t AllocationCount() {
    return allocationCount;
}

void* operator new(std::size_t size) {
    return CountedAllocate(size);
}

void* operator new[](std::size_t size) {
    return CountedAllocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++allocationCount;
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    ++allocationCount;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

#if defined(__GLIBC__)
// The C allocator too: the executable's definitions take precedence over
// libc's, and forward to libc's own entry points. operator new above then
// counts twice, which does not matter for "nothing was allocated".
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);

void* malloc(std::size_t size) noexcept {
    ++allocationCount;
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept {
    ++allocationCount;
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) noexcept {
    ++allocationCount;
    return __libc_realloc(block, size);
}
}

bool CountsMalloc() {
    return true;
}
#else
bool CountsMalloc() {
    return false;
}
#endif
