#pragma once
// Preference maps: preference records that the host keeps as words of its 12-byte 'ot' records,
// described by entries of the record transfer's own kind (FieldMapEntry, record_transfer.h). An
// entry may apply only from a host version on (minVersion); none of those carried here does.
// A class that has such a preference loads and saves it here; the font preference tag has none.
#include <cstdint>

#include "framework/host/record_transfer.h"

namespace host {

// The map of preference `tag` for `prefsNumber` with its entry count in *count; null (count 0)
// for tags without one.
const FieldMapEntry* FindPrefsMap(uint32_t tag, uint16_t prefsNumber, int* count);

// The size a record loaded through the map reports: the sum of all its entries' sizes.
int32_t PrefsMapSize(const FieldMapEntry* map, int count);

// Fills `record` (`capacity` bytes) from the small records; *size (may be null) gets PrefsMapSize
// on success. A null record or an empty map only reports the size. A capacity below that size is
// refused with nothing written; fields ending beyond the capacity are skipped.
bool LoadFromPrefsMap(uint8_t* record, int32_t capacity, int32_t* size, const FieldMapEntry* map,
                      int count);

// Writes the `size` bytes of `record` back into the small records, each only if a word changes.
// Fails for a null record or fewer than two bytes per entry; fields ending beyond `size` are left
// alone.
bool SaveToPrefsMap(const uint8_t* record, int32_t size, const FieldMapEntry* map, int count);

}  // namespace host
