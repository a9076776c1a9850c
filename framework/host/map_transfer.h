#pragma once
// The transfer shared by field maps and preference maps: a composite record whose fields live in
// words of 12-byte small records. Each distinct small record is read once per transfer, in the
// order of its first entry; on saving it is written back only when one of its words changed.
// A field takes part only when it applies to the host's version (minVersion) and lies wholly
// inside the caller's bytes. Internal to the record transfer; the maps' own headers are the
// public face.
#include <array>
#include <cstdint>
#include <span>

#include "framework/host/record_transfer.h"

namespace host::detail {

using SmallRecord = std::array<uint8_t, SMALL_RECORD_SIZE>;

// The composite field value that the small record's words give.
uint32_t ReadField(const SmallRecord& words, int32_t wordIndex, int32_t size, int32_t conversion);

// Stores a composite field value into the small record's words; true when a word changed.
bool WriteField(SmallRecord& words, int32_t wordIndex, int32_t size, int32_t conversion,
                uint32_t value);

// Sum of the entries' sizes, whether or not they take part: the size a mapped record reports.
int32_t SumOfSizes(std::span<const FieldMapEntry> entries);

// Writes every field that takes part within `limit` bytes of `buffer`.
void LoadFields(uint8_t* buffer, int32_t limit, std::span<const FieldMapEntry> entries);

// Scatters every field that takes part within `limit` bytes of `buffer`; a small record is
// written back only when one of its words changed.
void SaveFields(const uint8_t* buffer, int32_t limit, std::span<const FieldMapEntry> entries);

}  // namespace host::detail
