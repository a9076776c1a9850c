#pragma once
// Every load and save of a host record goes through LoadRecord and SaveRecord. Most tags pass
// straight to the host; some preference records are assembled from words of 12-byte 'ot' records
// (field maps) or are runs of consecutive 'ot' records, and one special tag counts as loaded
// whenever the host has filled its buffer. Creation, deletion and enumeration take no map or run:
// the classes call the host bridge for them directly (CreateEData, DeleteEData, NextEData).
#include <cstdint>
#include <span>

namespace host {

// Its 108-byte record is cleared before loading; any non-zero byte afterwards means "loaded".
constexpr uint32_t SPECIAL_TAG = 0x4F096649;
constexpr int32_t SPECIAL_RECORD_SIZE = 108;

// Small records: six little-endian words, tag 'ot' + two characters, item number -2 by default.
constexpr int32_t SMALL_RECORD_SIZE = 12;
constexpr uint16_t SMALL_RECORD_ITEM = 0xFFFE;

constexpr uint32_t SmallRecordTag(uint8_t c1, uint8_t c2) {
    return 0x6F740000u | (static_cast<uint32_t>(c1) << 8) | c2;
}

// How a composite field is made of small-record words.
constexpr int32_t CONVERT_NONE = 0;        // 2 bytes: the word itself
constexpr int32_t CONVERT_HIGH_FIRST = 1;  // 4 bytes: w[k] is the high half, w[k+1] the low
constexpr int32_t CONVERT_LOW_FIRST = 2;   // 4 bytes: w[k] is the low half, w[k+1] the high
constexpr int32_t CONVERT_NOT = 3;         // 2 bytes: 1 when the word is 0, else 0 (both ways)
constexpr int32_t CONVERT_LOW_BYTE = 4;    // 2 bytes: low byte, widened with its sign on saving

// One field of a composite record and where it lives: the entries of the field maps here and of
// the preference maps (prefs_maps.h) alike. The maps are constant: a transfer keeps nothing in
// them.
struct FieldMapEntry {
    uint8_t suffix[2];  // the two characters after 'ot'
    int16_t itemNo;     // 0 stands for -2
    int16_t inci;
    int16_t offset;     // in the composite record
    int16_t wordIndex;  // first word in the small record, 0 to 5
    int32_t size;       // 2 or 4
    int32_t conversion;
    uint32_t minVersion;  // transferred only while vb::hostVersion >= minVersion; 0 for every host
};

// A preference record stored as `count` consecutive 'ot' records of one tag.
struct RecordRun {
    uint32_t runTag;  // 0: the record is not redirected
    uint16_t count;
    uint16_t firstInci;
};

// Loads a record. On entry *size is the buffer's capacity, on success the record's byte count;
// a null buffer asks for the size only. No byte at or beyond the capacity is ever written.
// Non-zero is success.
int32_t LoadRecord(uint32_t tag, uint16_t* key, void* buffer, int32_t* size, uint32_t version);

// Saves `size` bytes of `buffer`; never reads beyond them. Versions up to 0x07FFFFFF bypass the
// maps and runs. Non-zero is success.
int32_t SaveRecord(uint32_t tag, uint16_t* key, void* buffer, int32_t size, uint32_t version);

// The field map of `tag` for item number `itemNo`; empty when the tag has none.
std::span<const FieldMapEntry> FindFieldMap(uint32_t tag, uint16_t itemNo);

// False when the tag is a run whose accepted item numbers exclude `itemNo`. Otherwise true, with
// `run` describing the redirection (runTag 0 for tags that go straight to the host).
bool FindRecordRun(uint32_t tag, uint16_t itemNo, RecordRun& run);

// Sum of the entries' sizes: the size a field-mapped record reports.
int32_t CompositeSize(std::span<const FieldMapEntry> entries);

// Assembles a composite record. A null buffer reports the composite size only; a capacity
// (*size) below the composite size is refused with nothing written; fields that end beyond the
// capacity are skipped. Returns 1 or 0.
int32_t LoadFromFieldMap(void* buffer, int32_t* size, std::span<const FieldMapEntry> entries);

// Scatters a composite record of `size` bytes into its small records, writing back only those
// whose words change. Refuses a null buffer or fewer than two bytes per entry; fields that end
// beyond `size` are left alone. Returns 1 or 0.
int32_t SaveToFieldMap(const void* buffer, int32_t size, std::span<const FieldMapEntry> entries);

}  // namespace host
