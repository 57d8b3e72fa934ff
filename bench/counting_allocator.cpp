#include "counting_allocator.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Every allocation of the process is counted, so memory per node is measured
// through the allocator rather than estimated.
namespace {
std::atomic<int64_t> gHeapBytes{0};
}  // namespace

int64_t heapBytesInUse() {
    return gHeapBytes.load();
}

void* operator new(size_t size) {
    void* p = std::malloc(size);
    if (!p) throw std::bad_alloc();
    gHeapBytes += static_cast<int64_t>(malloc_usable_size(p));
    return p;
}
void* operator new(size_t size, std::align_val_t align) {
    void* p =
        std::aligned_alloc(static_cast<size_t>(align), (size + static_cast<size_t>(align) - 1) &
                                                           ~(static_cast<size_t>(align) - 1));
    if (!p) throw std::bad_alloc();
    gHeapBytes += static_cast<int64_t>(malloc_usable_size(p));
    return p;
}
namespace {
void release(void* p) {
    if (p) gHeapBytes -= static_cast<int64_t>(malloc_usable_size(p));
    std::free(p);
}
}  // namespace
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete(void* p, size_t) noexcept {
    release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    release(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    release(p);
}
