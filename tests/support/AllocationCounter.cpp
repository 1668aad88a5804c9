#include "tests/support/AllocationCounter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

#include "tests/support/MemoryPeak.h"

namespace {

// The size the allocator really gave a block.
size_t UsableSize(void* p) {
#ifdef _WIN32
    return _msize(p);
#else
    return malloc_usable_size(p);
#endif
}

thread_local bool counting = false;
thread_local size_t allocations = 0;
thread_local bool measuring = false;
thread_local size_t liveBytes = 0;
thread_local size_t peakBytes = 0;

void* Allocate(std::size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        if (measuring) {
            liveBytes += UsableSize(p);
            if (liveBytes > peakBytes) peakBytes = liveBytes;
        }
        return p;
    }
    throw std::bad_alloc();
}

void Free(void* p) {
    if (measuring && p != nullptr) {
        const size_t size = UsableSize(p);
        liveBytes = liveBytes > size ? liveBytes - size : 0;
    }
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }

namespace sonvera_test {

AllocationCounter::AllocationCounter() {
    allocations = 0;
    counting = true;
}

AllocationCounter::~AllocationCounter() { counting = false; }

size_t AllocationCounter::Count() const { return allocations; }

}  // namespace sonvera_test

namespace sonvera_test {

MemoryPeak::MemoryPeak() {
    liveBytes = peakBytes = 0;
    measuring = true;
}

MemoryPeak::~MemoryPeak() { measuring = false; }

size_t MemoryPeak::PeakBytes() const { return peakBytes; }

}  // namespace sonvera_test
