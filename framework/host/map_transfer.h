#pragma once
// The transfer shared by field maps and preference maps: a composite record whose fields live in
// words of 12-byte small records. Each distinct small record is read once per transfer, in the
// order of its first entry; on saving it is written back only when one of its words changed.
// Internal to the record transfer; the maps' own headers are the public face.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "framework/base/le.h"
#include "framework/host/host_bridge.h"
#include "framework/host/record_transfer.h"

namespace host::detail {

using SmallRecord = std::array<uint8_t, SMALL_RECORD_SIZE>;

// The composite field value that the small record's words give.
uint32_t ReadField(const SmallRecord& words, int32_t wordIndex, int32_t size, int32_t conversion);

// Stores a composite field value into the small record's words; true when a word changed.
bool WriteField(SmallRecord& words, int32_t wordIndex, int32_t size, int32_t conversion,
                uint32_t value);

// Loads the small record; on failure it stays all zeros.
void LoadSmallRecord(uint8_t c1, uint8_t c2, int16_t itemNo, int16_t inci, SmallRecord& words);
void SaveSmallRecord(uint8_t c1, uint8_t c2, int16_t itemNo, int16_t inci, SmallRecord& words);

template <typename Entry>
bool SameSmallRecord(const Entry& a, const Entry& b) {
    return a.suffix[0] == b.suffix[0] && a.suffix[1] == b.suffix[1] && a.itemNo == b.itemNo &&
           a.inci == b.inci;
}

// A field is transferred only when it lies wholly inside the caller's bytes.
template <typename Entry>
bool FieldFits(const Entry& e, int32_t limit) {
    return (e.size == 2 || e.size == 4) && e.offset >= 0 &&
           static_cast<int32_t>(e.offset) + static_cast<int32_t>(e.size) <= limit;
}

template <typename Entry>
int32_t SumOfSizes(std::span<const Entry> entries) {
    int32_t total = 0;
    for (const Entry& e : entries) total += static_cast<int32_t>(e.size);
    return total;
}

// Reads each distinct small record of the entries that `applies` and fit in `limit` bytes once,
// in the order of its first entry, and hands it to `visit` with a function that calls its
// argument with each entry of that small record. Nothing is allocated: whether an earlier entry
// names the same small record is found by looking back (the maps hold a few dozen entries).
template <typename Entry, typename Applies, typename Visit>
void ForEachSmallRecord(int32_t limit, std::span<const Entry> entries, Applies applies,
                        Visit visit) {
    auto usable = [&](const Entry& e) { return applies(e) && FieldFits(e, limit); };
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& first = entries[i];
        if (!usable(first)) continue;
        const auto earlier = entries.first(i);
        if (std::any_of(earlier.begin(), earlier.end(),
                        [&](const Entry& e) { return usable(e) && SameSmallRecord(e, first); })) {
            continue;  // read with that earlier entry
        }
        auto members = [&](auto&& each) {
            for (const Entry& e : entries.subspan(i)) {
                if (usable(e) && SameSmallRecord(first, e)) each(e);
            }
        };
        SmallRecord words{};
        LoadSmallRecord(first.suffix[0], first.suffix[1], first.itemNo, first.inci, words);
        visit(first, words, members);
    }
}

// Writes every field that `applies` and fits in `limit` bytes of `buffer`.
template <typename Entry, typename Applies>
void LoadFields(uint8_t* buffer, int32_t limit, std::span<const Entry> entries, Applies applies) {
    ForEachSmallRecord(
        limit, entries, applies, [&](const Entry&, const SmallRecord& words, auto members) {
            members([&](const Entry& e) {
                const uint32_t value = ReadField(words, e.wordIndex, e.size, e.conversion);
                const auto at = static_cast<size_t>(e.offset);
                if (e.size == 4) {
                    le::PutU32(buffer, at, value);
                } else {
                    le::PutU16(buffer, at, static_cast<uint16_t>(value));
                }
            });
        });
}

// Scatters every field that `applies` and fits in `limit` bytes of `buffer`; a small record is
// written back only when one of its words changed.
template <typename Entry, typename Applies>
void SaveFields(const uint8_t* buffer, int32_t limit, std::span<const Entry> entries,
                Applies applies) {
    ForEachSmallRecord(
        limit, entries, applies, [&](const Entry& first, SmallRecord& words, auto members) {
            bool changed = false;
            members([&](const Entry& e) {
                const auto at = static_cast<size_t>(e.offset);
                const uint32_t value =
                    e.size == 4 ? le::GetU32(buffer, at) : le::GetU16(buffer, at);
                if (WriteField(words, e.wordIndex, e.size, e.conversion, value)) {
                    changed = true;
                }
            });
            if (changed) {
                SaveSmallRecord(first.suffix[0], first.suffix[1], first.itemNo, first.inci, words);
            }
        });
}

}  // namespace host::detail
