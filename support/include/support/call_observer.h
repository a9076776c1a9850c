#pragma once
// What is told as each host function of the stand-in host starts and ends: how a caller
// measures what it does outside the host (time, heap allocations; heap_count.h).

namespace support {

// Must not throw: it is called inside the host functions.
class CallObserver {
  public:
    virtual void Entered() noexcept = 0;
    virtual void Left() noexcept = 0;

  protected:
    ~CallObserver() = default;
};

}  // namespace support
