#pragma once
// A data object that holds given bytes as its record, to copy from without a host.
#include <cstdint>
#include <vector>

#include "framework/base/fc_base_data.h"

class HeldRecord : public __FCBaseData {
  public:
    // Holds `bytes`; `heldSize` (default: all of them) is the size reported as loaded.
    explicit HeldRecord(std::vector<uint8_t> bytes, uint64_t heldSize = UINT64_MAX)
        : bytes_(std::move(bytes)) {
        UseEmbeddedRecord(bytes_.data(), heldSize == UINT64_MAX ? bytes_.size() : heldSize);
    }
    void* GetDataPointer() override { return bytes_.data(); }
    __FCBaseData* CreateObject() const override { return nullptr; }
    uint32_t GetTag() const override { return 0; }
    int32_t GetDataSize() override { return static_cast<int32_t>(bytes_.size()); }
    bool LoadFirst() override { return false; }

  private:
    std::vector<uint8_t> bytes_;
};
