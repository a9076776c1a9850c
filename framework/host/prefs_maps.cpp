#include "framework/host/prefs_maps.h"

#include <iterator>
#include <span>

#include "framework/host/map_notation.h"
#include "framework/host/map_transfer.h"
#include "framework/host/page_format_map.h"

namespace host {
namespace {

using notation::Tag;
using notation::W;

// The maps of 'pfGp', 'pfSp' and 'pfPB', the preferences whose layout this library knows. No
// class of the library loads these three: the one class that asks for a preference map,
// FCFontPrefs, has the tag 'pfdf', which has none here. They are the framework's, kept for a class
// that loads those preferences. ('pfPB' is among the record transfer's field maps too, with the
// same table, so LoadRecord assembles it alike.)
//
// The host keeps 'pfDP', 'pfEX', 'pfMI', 'pfMS', 'pfPF' (number 0), 'pfPL', 'pfRP', 'pfSI',
// 'pfSS', 'pfTI', 'pfly', 'pfmm' and 'pfpS' this way too, but no class of the library uses those
// preferences and this table has no map of them. Their load and save take the ordinary record
// transfer, which still assembles 'pfDP', 'pfEX', 'pfMS', 'pfPF' (number 0), 'pfPL', 'pfRP',
// 'pfSI' and 'pfSS' from its field maps and 'pfTI' from its record run; only 'pfMI', 'pfly',
// 'pfmm' and 'pfpS' go to the host as single records.
constexpr FieldMapEntry kGpFirst[] = {W(0, "79", 0), W(2, "79", 1), W(4, "79", 2)};
constexpr FieldMapEntry kGpOther[] = {W(0, "80", 0), W(2, "80", 1), W(4, "80", 2)};

// Offset 10 lies beyond the 6 bytes these maps report; a record shorter than 12 bytes skips it.
constexpr FieldMapEntry kSpFirst[] = {W(0, "04", 0), W(2, "04", 1), W(10, "04", 5)};
constexpr FieldMapEntry kSpOther[] = {W(0, "66", 0), W(2, "66", 1), W(10, "66", 5)};

std::span<const FieldMapEntry> Entries(const FieldMapEntry* map, int count) {
    if (map == nullptr || count <= 0) return {};
    return {map, static_cast<size_t>(count)};
}

template <typename Map>
const FieldMapEntry* Found(const Map& map, int* count) {
    if (count != nullptr) *count = static_cast<int>(std::size(map));
    return std::data(map);
}

}  // namespace

const FieldMapEntry* FindPrefsMap(uint32_t tag, uint16_t prefsNumber, int* count) {
    switch (tag) {
        case Tag("pfGp"):
            return prefsNumber == 0 ? Found(kGpFirst, count) : Found(kGpOther, count);
        case Tag("pfSp"):
            return prefsNumber == 0 ? Found(kSpFirst, count) : Found(kSpOther, count);
        case Tag("pfPB"):
            return Found(notation::kPageFormatMap, count);
        default:
            if (count != nullptr) *count = 0;
            return nullptr;
    }
}

int32_t PrefsMapSize(const FieldMapEntry* map, int count) {
    return detail::SumOfSizes(Entries(map, count));
}

bool LoadFromPrefsMap(uint8_t* record, int32_t capacity, int32_t* size, const FieldMapEntry* map,
                      int count) {
    auto entries = Entries(map, count);
    const int32_t total = detail::SumOfSizes(entries);
    if (record != nullptr && !entries.empty()) {
        if (capacity < total) return false;
        detail::LoadFields(record, capacity, entries);
    }
    if (size != nullptr) *size = total;
    return true;
}

bool SaveToPrefsMap(const uint8_t* record, int32_t size, const FieldMapEntry* map, int count) {
    if (record == nullptr) return false;
    auto entries = Entries(map, count);
    if (static_cast<int64_t>(size) < 2 * static_cast<int64_t>(entries.size())) return false;
    detail::SaveFields(record, size, entries);
    return true;
}

}  // namespace host
