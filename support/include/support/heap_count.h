#pragma once
// What the benchmarks count besides time: heap allocations of this process (every operator new
// is replaced here) with the peak of live heap bytes, and the time the host functions take.
// The unit tests link it too, to hold record transfers to no allocation and to fail one.
// Linking it replaces the process's operator new: only the programs that count link it.
#include <chrono>
#include <cstdint>

#include "support/call_observer.h"

namespace support {

struct HeapCount {
    uint64_t allocations = 0;
    uint64_t peakBytes = 0;  // most live heap bytes above those live at the start
};

// Starts counting. With `outsideHostOnly`, allocations made inside host functions (while a
// HostClock observes the host) are left out: what remains is the caller's own.
void BeginHeapCount(bool outsideHostOnly);
HeapCount EndHeapCount();

// Makes the nth allocation from now that is made outside the host functions (while a HostClock
// observes the host) throw std::bad_alloc, once: how tests run out of memory on purpose. 0 plans
// none.
void FailAllocation(uint64_t nth);

// Observes the stand-in host: the time spent inside its functions, and whether a call is
// running (for BeginHeapCount).
class HostClock final : public CallObserver {
  public:
    void Entered() noexcept override;
    void Left() noexcept override;
    void Reset() { inside_ = std::chrono::nanoseconds(0); }
    double Seconds() const { return std::chrono::duration<double>(inside_).count(); }

  private:
    std::chrono::steady_clock::time_point entered_;
    std::chrono::nanoseconds inside_{0};
};

}  // namespace support
