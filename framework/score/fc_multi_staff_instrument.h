#pragma once
// An instrument written on two or three staves, and the collection of all of them.
#include <cstdint>

#include "framework/base/fc_base_data.h"
#include "framework/base/fc_collection.h"

class FCMultiStaffInstrument : public __FCNoInciOther {
  public:
    static constexpr char kClassName[] = "FCMultiStaffInstrument";
    static constexpr uint32_t TAG = 0x6F744D47;  // 'otMG'
    static constexpr int32_t RECORD_SIZE = 12;

    int GetClassID() const override { return 58; }
    const char* GetClassName() const override { return kClassName; }
    void* GetDataPointer() override { return record_; }
    __FCBaseData* CreateObject() const override { return new FCMultiStaffInstrument(); }
    uint32_t GetTag() const override { return TAG; }
    int32_t GetDataSize() override { return RECORD_SIZE; }
    void CopyDataFrom(const __FCBaseData& other) override;

    // Staff numbers in record order (not score order); 0 when unused.
    int16_t GetStaff1() const;
    int16_t GetStaff2() const;
    int16_t GetStaff3() const;

  private:
    uint8_t record_[RECORD_SIZE] = {};
};

class FCMultiStaffInstruments : public __FCCollectionNoInciOther {
  public:
    static constexpr char kClassName[] = "FCMultiStaffInstruments";

    int GetClassID() const override { return 59; }
    const char* GetClassName() const override { return kClassName; }
    __FCBaseData* CreateElement() const override { return new FCMultiStaffInstrument(); }

    FCMultiStaffInstrument* GetItemAt(int index) const {
        return static_cast<FCMultiStaffInstrument*>(__FCCollection::GetItemAt(index));
    }
};
