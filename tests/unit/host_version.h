#pragma once
// Sets the host version the plug-in goes by for one test, and restores it afterwards.
#include <cstdint>

#include "framework/core/host_version.h"

class HostVersion {
  public:
    explicit HostVersion(uint32_t version) : saved_(vb::hostVersion) { vb::hostVersion = version; }
    ~HostVersion() { vb::hostVersion = saved_; }
    HostVersion(const HostVersion&) = delete;
    HostVersion& operator=(const HostVersion&) = delete;

  private:
    uint32_t saved_;
};
