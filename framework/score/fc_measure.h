#pragma once
// The host's per-measure record. Its contents are not interpreted: the system only asks whether
// a measure number exists. Old hosts use a shorter layout under an older record version.
#include <cstdint>

#include "framework/base/fc_base_data.h"

class FCMeasure : public __FCNoInciOther {
  public:
    static constexpr char kClassName[] = "FCMeasure";
    static constexpr uint32_t TAG = 0x534F4D53;  // 'SOMS'
    static constexpr int32_t SHORT_SIZE = 26;
    static constexpr int32_t LONG_SIZE = 30;
    static constexpr uint32_t SHORT_VERSION = 0x0A000000;
    static constexpr uint32_t LONG_VERSION = 0x12000000;

    int GetClassID() const override { return 49; }
    const char* GetClassName() const override { return kClassName; }
    void* GetDataPointer() override;
    __FCBaseData* CreateObject() const override { return new FCMeasure(); }
    uint32_t GetTag() const override { return TAG; }
    uint32_t GetVersion() const override;
    int32_t GetDataSize() override;
    void CopyDataFrom(const __FCBaseData& other) override;
    // Measure 0 is refused without asking the host.
    bool Load(uint16_t measure) override;
    // Whether the host names a measure numbered above `measure` as its next measure record
    // (one FX_NextEData, nothing loaded): a measure follows even when its load was refused.
    bool HasMeasureAfter(uint16_t measure);

  private:
    uint8_t shortRecord_[SHORT_SIZE] = {};
    uint8_t longRecord_[LONG_SIZE] = {};
};
