#include "framework/text/fc_font_prefs.h"

#include <cstring>

#include "framework/core/le.h"
#include "framework/host/prefs_maps.h"

namespace {
using host::FieldMapEntry;
using host::FindPrefsMap;
using host::LoadFromPrefsMap;
using host::SaveToPrefsMap;

// A load through a preference map: the record assembled from small records. Not taken for the
// font preferences' own tag, which has no map.
bool LoadThroughMap(uint8_t* record, uint64_t* dataSize, const FieldMapEntry* map, int count) {
    int32_t size = 0;
    if (!LoadFromPrefsMap(record, static_cast<int32_t>(FCFontPrefs::kRecordSize), &size, map,
                          count) ||
        size < 0 || static_cast<size_t>(size) > FCFontPrefs::kRecordSize) {
        *dataSize = 0;
        return false;
    }
    *dataSize = static_cast<uint64_t>(size);
    return true;
}
}  // namespace

bool FCFontPrefs::Load(uint16_t number) {
    key_[0] = number;
    int count = 0;
    const FieldMapEntry* map = FindPrefsMap(GetTag(), number, &count);
    if (map == nullptr) return LoadCurrentKey();
    if (data_ == nullptr) data_ = static_cast<uint8_t*>(GetDataPointer());
    return LoadThroughMap(data_, &dataSize_, map, count);
}

bool FCFontPrefs::Save() {
    if (dataSize_ == 0) return false;
    int count = 0;
    const FieldMapEntry* map = FindPrefsMap(GetTag(), key_[0], &count);
    if (map == nullptr) return __FCPrefsBase::Save();
    return SaveToPrefsMap(data_, static_cast<int32_t>(dataSize_), map, count);
}

void FCFontPrefs::CopyDataFrom(const __FCBaseData& other) {
    CopyIntoEmbeddedRecord(other, record_, kRecordSize);
}

uint16_t FCFontPrefs::GetFontNumber() const {
    return le::GetU16(record_, kFontNumber);
}
void FCFontPrefs::SetFontNumber(uint16_t number) {
    le::PutU16(record_, kFontNumber, number);
}
int16_t FCFontPrefs::GetSize() const {
    return le::GetI16(record_, kSize);
}
void FCFontPrefs::SetSize(int16_t size) {
    le::PutI16(record_, kSize, size);
}
uint16_t FCFontPrefs::GetEffects() const {
    return le::GetU16(record_, kEffects);
}
void FCFontPrefs::SetEffects(uint16_t effects) {
    le::PutU16(record_, kEffects, effects);
}
