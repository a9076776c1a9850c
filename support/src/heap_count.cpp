#include "support/heap_count.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace support {
namespace {

// Plain globals: the programs that count run in one thread.
bool counting = false;
bool outsideOnly = false;
int hostDepth = 0;
uint64_t allocations = 0;
uint64_t liveBytes = 0;
uint64_t startBytes = 0;
uint64_t peakBytes = 0;
uint64_t failIn = 0;  // allocations outside the host until the planned failure; 0 for none

}  // namespace

void* Allocate(std::size_t size) {
    if (failIn != 0 && hostDepth == 0 && --failIn == 0) throw std::bad_alloc();
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    liveBytes += malloc_usable_size(p);
    if (counting) {
        if (!outsideOnly || hostDepth == 0) ++allocations;
        if (liveBytes - startBytes > peakBytes) peakBytes = liveBytes - startBytes;
    }
    return p;
}

void Free(void* p) noexcept {
    if (p == nullptr) return;
    liveBytes -= malloc_usable_size(p);
    std::free(p);
}

void BeginHeapCount(bool outsideHostOnly) {
    allocations = 0;
    peakBytes = 0;
    startBytes = liveBytes;
    outsideOnly = outsideHostOnly;
    counting = true;
}

HeapCount EndHeapCount() {
    counting = false;
    return {allocations, peakBytes};
}

void FailAllocation(uint64_t nth) {
    failIn = nth;
}

void HostClock::Entered() noexcept {
    if (hostDepth++ == 0) entered_ = std::chrono::steady_clock::now();
}

void HostClock::Left() noexcept {
    if (--hostDepth == 0) inside_ += std::chrono::steady_clock::now() - entered_;
}

}  // namespace support

void* operator new(std::size_t size) {
    return support::Allocate(size);
}
void* operator new[](std::size_t size) {
    return support::Allocate(size);
}
void operator delete(void* p) noexcept {
    support::Free(p);
}
void operator delete[](void* p) noexcept {
    support::Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    support::Free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    support::Free(p);
}
