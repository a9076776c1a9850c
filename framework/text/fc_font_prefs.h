#pragma once
// A font preference of the document: font number, size and effect bits, keyed by the
// preference number (33 names the full group names' font, 39 the abbreviated ones').
#include <cstddef>
#include <cstdint>

#include "framework/base/fc_base_data.h"

class FCFontPrefs : public __FCPrefsBase {
  public:
    static constexpr char kClassName[] = "FCFontPrefs";
    static constexpr int kClassID = 31;
    // 'p' 'f' 'd' 'f'.
    static constexpr uint32_t kTag = 0x70666466;
    // Font preference record: 6 bytes, little-endian.
    static constexpr size_t kRecordSize = 6;
    static constexpr size_t kFontNumber = 0, kSize = 2, kEffects = 4;

    // A zero record, key 0, nothing held; the first load points the storage at the record.
    FCFontPrefs() = default;

    int GetClassID() const override { return kClassID; }
    const char* GetClassName() const override { return kClassName; }

    void* GetDataPointer() override { return record_; }
    // A new, empty font preference; the caller owns it.
    __FCBaseData* CreateObject() const override { return new FCFontPrefs(); }
    uint32_t GetTag() const override { return kTag; }
    int32_t GetDataSize() override { return static_cast<int32_t>(kRecordSize); }
    // Copies the other's record into the own one (cut to 6 bytes, zero-filled past its end).
    void CopyDataFrom(const __FCBaseData& other) override;
    // Writes the record back; false when nothing is held. Loads and saves look for a preference
    // map of the tag first (prefs_maps.h); the font preferences' tag has none, so their record
    // always goes to the host as one record.
    bool Save() override;
    // Loads preference `number`. False (nothing held) when it does not load.
    bool Load(uint16_t number) override;

    uint16_t GetPrefsNumber() const { return key_[0]; }
    uint16_t GetFontNumber() const;
    void SetFontNumber(uint16_t number);
    int16_t GetSize() const;
    void SetSize(int16_t size);
    uint16_t GetEffects() const;
    void SetEffects(uint16_t effects);

  private:
    uint8_t record_[kRecordSize] = {};
};
