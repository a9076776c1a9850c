#pragma once
// One position of a staff system's list of staves, and the whole list of one system. System 0
// is the score's own order of all its staves.
#include <cstdint>

#include "framework/base/fc_base_data.h"
#include "framework/base/fc_collection.h"

class FCSystemStaff : public __FCInciOther {
  public:
    static constexpr char kClassName[] = "FCSystemStaff";
    static constexpr uint32_t TAG = 0x534F4975;            // 'SOIu'
    static constexpr uint32_t COMPANION_TAG = 0x64744C50;  // 'dtLP'
    static constexpr int32_t RECORD_SIZE = 24;
    static constexpr int32_t COMPANION_SIZE = 10;
    // A missing companion record stands for this value; saving it deletes the record.
    static constexpr int32_t DEFAULT_COMPANION_VALUE = 100;

    FCSystemStaff() { UseEmbeddedRecord(record_, RECORD_SIZE); }

    int GetClassID() const override { return 101; }
    const char* GetClassName() const override { return kClassName; }
    void* GetDataPointer() override { return record_; }
    __FCBaseData* CreateObject() const override { return new FCSystemStaff(); }
    uint32_t GetTag() const override { return TAG; }
    int32_t GetDataSize() override { return RECORD_SIZE; }
    void CopyDataFrom(const __FCBaseData& other) override;
    bool Save() override;
    // Loads the position's record, then its companion value (never for system 0).
    bool Load(uint16_t system, int16_t position) override;
    bool SaveNew(uint16_t system) override;

    int16_t GetStaff() const;
    void SetStaff(int16_t staff);
    int16_t GetSystem() const { return static_cast<int16_t>(key_[0]); }
    int32_t GetCompanionValue() const { return companionValue_; }
    void SetCompanionValue(int32_t value) { companionValue_ = value; }

  private:
    bool SaveCompanion();
    void DeleteCompanion();

    uint8_t record_[RECORD_SIZE] = {};
    int32_t companionValue_ = DEFAULT_COMPANION_VALUE;
};

class FCSystemStaves : public __FCCollectionInciOther {
  public:
    static constexpr char kClassName[] = "FCSystemStaves";

    const char* GetClassName() const override { return kClassName; }
    __FCBaseData* CreateElement() const override { return new FCSystemStaff(); }
    // Deletes every position of the system in the host, the last first.
    virtual bool DeleteAllForItem(int16_t system);
    // Loads positions 0, 1, ... of the system up to the first that does not load.
    virtual int LoadAllForItem(int16_t system);
    // Replaces the system's list in the host by this collection.
    virtual bool SaveAllForItem(int16_t system);

    FCSystemStaff* GetItemAt(int index) const {
        return static_cast<FCSystemStaff*>(__FCCollection::GetItemAt(index));
    }
    // The first element whose staff is `staff`, or null.
    FCSystemStaff* FindStaff(int16_t staff) const;
    // Its index, or -1.
    int FindStaffIndex(int16_t staff) const;
    // Whether the last LoadAllForItem loaded a position whose record was too short to hold its
    // staff number: the host did not give that record whole, and the list holds a staff 0 there.
    // A whole record of staff 0 is the document's own (no staff), not a short read.
    bool ReadShort() const { return readShort_; }

  private:
    bool readShort_ = false;
};
