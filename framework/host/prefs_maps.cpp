#include "framework/host/prefs_maps.h"

#include <iterator>

#include "framework/base/module_state.h"
#include "framework/host/map_notation.h"
#include "framework/host/map_transfer.h"

namespace host {
namespace {

using notation::Tag;
constexpr notation::Field<PrefsMapEntry> W(int16_t offset, const char (&cc)[3], int16_t word) {
    return notation::W<PrefsMapEntry>(offset, cc, word);
}
constexpr notation::Field<PrefsMapEntry> L(int16_t offset, const char (&cc)[3], int16_t word) {
    return notation::L<PrefsMapEntry>(offset, cc, word);
}

// Only the maps whose layout this library knows are carried. The host also keeps 'pfDP', 'pfEX',
// 'pfMI', 'pfMS', 'pfPF' (number 0), 'pfPL', 'pfRP', 'pfSI', 'pfSS', 'pfTI', 'pfly', 'pfmm' and
// 'pfpS' this way, but no class of the library uses those preferences, so they load and save as
// single records.
constexpr PrefsMapEntry kGpFirst[] = {W(0, "79", 0), W(2, "79", 1), W(4, "79", 2)};
constexpr PrefsMapEntry kGpOther[] = {W(0, "80", 0), W(2, "80", 1), W(4, "80", 2)};

// Offset 10 lies beyond the 6 bytes these maps report; a record shorter than 12 bytes skips it.
constexpr PrefsMapEntry kSpFirst[] = {W(0, "04", 0), W(2, "04", 1), W(10, "04", 5)};
constexpr PrefsMapEntry kSpOther[] = {W(0, "66", 0), W(2, "66", 1), W(10, "66", 5)};

constexpr PrefsMapEntry kPB[] = {
    L(0, "65", 2),  L(4, "60", 2),  L(8, "65", 4),  L(12, "60", 4), L(16, "61", 0), L(20, "61", 2),
    L(24, "61", 4), L(28, "60", 0), L(32, "64", 2), L(36, "45", 2), L(40, "45", 4),
};
static_assert(std::size(kPB) == 11 && notation::Sum(kPB) == 44);

bool Applies(const PrefsMapEntry& e) {
    return e.minVersion <= vb::hostVersion;
}

}  // namespace

std::optional<PrefsMap> FindPrefsMap(uint32_t tag, uint16_t prefsNumber) {
    switch (tag) {
        case Tag("pfGp"):
            return prefsNumber == 0 ? PrefsMap(kGpFirst) : PrefsMap(kGpOther);
        case Tag("pfSp"):
            return prefsNumber == 0 ? PrefsMap(kSpFirst) : PrefsMap(kSpOther);
        case Tag("pfPB"):
            return PrefsMap(kPB);
        default:
            return std::nullopt;
    }
}

int32_t PrefsMapSize(PrefsMap map) {
    return detail::SumOfSizes(map);
}

bool LoadFromPrefsMap(void* record, int32_t capacity, PrefsMap map, int32_t* reportedSize) {
    const int32_t total = PrefsMapSize(map);
    if (record != nullptr && !map.empty()) {
        if (capacity < total) return false;
        detail::LoadFields(static_cast<uint8_t*>(record), capacity, map, Applies);
    }
    if (reportedSize != nullptr) *reportedSize = total;
    return true;
}

bool SaveToPrefsMap(const void* record, int32_t size, PrefsMap map) {
    if (record == nullptr) return false;
    if (static_cast<int64_t>(size) < 2 * static_cast<int64_t>(map.size())) return false;
    detail::SaveFields(static_cast<const uint8_t*>(record), size, map, Applies);
    return true;
}

}  // namespace host
