#pragma once
// Preference maps: preference records that the host keeps as words of its 12-byte 'ot' records,
// like the field maps of the record transfer, with entries that apply only from a host version
// on. The font preference tag has none.
#include <cstdint>

namespace host {

struct PrefsMapEntry {
    uint8_t suffix[2];  // the two characters after 'ot'
    int16_t itemNo;     // 0 stands for -2
    int16_t inci;
    int16_t offset;     // in the preference record
    int16_t wordIndex;  // first word in the small record, 0 to 5
    int16_t size;       // 2 or 4
    int32_t conversion;
    uint32_t minVersion;  // applies only while hostVersion >= minVersion
};

// The map of preference `tag` for `prefsNumber` with its entry count in *count; null (count 0)
// for tags without one.
const PrefsMapEntry* FindPrefsMap(uint32_t tag, uint16_t prefsNumber, int* count);

// The size a record loaded through the map reports: the sum of all its entries' sizes.
int32_t PrefsMapSize(const PrefsMapEntry* map, int count);

// Fills `record` (`capacity` bytes) from the small records; *size (may be null) gets PrefsMapSize
// on success. A null record or an empty map only reports the size. A capacity below that size is
// refused with nothing written; fields ending beyond the capacity are skipped.
bool LoadFromPrefsMap(uint8_t* record, int32_t capacity, int32_t* size, const PrefsMapEntry* map,
                      int count);

// Writes the `size` bytes of `record` back into the small records, each only if a word changes.
// Fails for a null record or fewer than two bytes per entry; fields ending beyond `size` are left
// alone.
bool SaveToPrefsMap(const uint8_t* record, int32_t size, const PrefsMapEntry* map, int count);

}  // namespace host
