#include "framework/host/record_transfer.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "framework/core/host_version.h"
#include "framework/core/le.h"
#include "framework/host/host_bridge.h"
#include "framework/host/map_transfer.h"

namespace host {
namespace detail {

namespace {

constexpr int32_t kWords = SMALL_RECORD_SIZE / 2;

uint16_t Word(const SmallRecord& words, int32_t index) {
    return le::GetU16(words.data(), static_cast<size_t>(index) * 2);
}
void PutWord(SmallRecord& words, int32_t index, uint16_t value) {
    le::PutU16(words.data(), static_cast<size_t>(index) * 2, value);
}

}  // namespace

uint32_t ReadField(const SmallRecord& words, int32_t wordIndex, int32_t size, int32_t conversion) {
    if (size == 4) {
        if (wordIndex < 0 || wordIndex + 1 >= kWords) return 0;
        uint32_t a = Word(words, wordIndex);
        uint32_t b = Word(words, wordIndex + 1);
        if (conversion == CONVERT_HIGH_FIRST) return (a << 16) | b;
        if (conversion == CONVERT_LOW_FIRST) return (b << 16) | a;
        return 0;
    }
    if (wordIndex < 0 || wordIndex >= kWords) return 0;
    uint16_t w = Word(words, wordIndex);
    if (conversion == CONVERT_NOT) return w == 0 ? 1u : 0u;
    if (conversion == CONVERT_LOW_BYTE) return w & 0xFFu;
    return w;
}

bool WriteField(SmallRecord& words, int32_t wordIndex, int32_t size, int32_t conversion,
                uint32_t value) {
    if (size == 4) {
        if (wordIndex < 0 || wordIndex + 1 >= kWords) return false;
        if (ReadField(words, wordIndex, size, conversion) == value) return false;
        auto high = static_cast<uint16_t>(value >> 16);
        auto low = static_cast<uint16_t>(value & 0xFFFFu);
        if (conversion == CONVERT_HIGH_FIRST) {
            PutWord(words, wordIndex, high);
            PutWord(words, wordIndex + 1, low);
            return true;
        }
        if (conversion == CONVERT_LOW_FIRST) {
            PutWord(words, wordIndex, low);
            PutWord(words, wordIndex + 1, high);
            return true;
        }
        return false;
    }
    if (wordIndex < 0 || wordIndex >= kWords) return false;
    auto w = static_cast<uint16_t>(value);
    if (conversion == CONVERT_NOT) {
        w = w == 0 ? 1 : 0;
    } else if (conversion == CONVERT_LOW_BYTE) {
        // The low byte widened with its sign: 0x00FF becomes 0xFFFF.
        w = static_cast<uint16_t>(static_cast<int16_t>(static_cast<int8_t>(w & 0xFFu)));
    }
    if (Word(words, wordIndex) == w) return false;
    PutWord(words, wordIndex, w);
    return true;
}

namespace {

std::array<uint16_t, 4> SmallRecordKey(int16_t itemNo, int16_t inci) {
    uint16_t item = itemNo == 0 ? SMALL_RECORD_ITEM : static_cast<uint16_t>(itemNo);
    return {item, static_cast<uint16_t>(inci), 0, 0};
}

// Loads the small record; on failure it stays all zeros.
void LoadSmallRecord(uint8_t c1, uint8_t c2, int16_t itemNo, int16_t inci, SmallRecord& words) {
    auto key = SmallRecordKey(itemNo, inci);
    int32_t size = SMALL_RECORD_SIZE;
    words.fill(0);
    // A failed load must not leave half-written words behind to be read or saved back.
    if (LoadRecord(SmallRecordTag(c1, c2), key.data(), words.data(), &size, DATA_VERSION) == 0) {
        words.fill(0);
    }
}

void SaveSmallRecord(uint8_t c1, uint8_t c2, int16_t itemNo, int16_t inci, SmallRecord& words) {
    auto key = SmallRecordKey(itemNo, inci);
    SaveRecord(SmallRecordTag(c1, c2), key.data(), words.data(), SMALL_RECORD_SIZE, DATA_VERSION);
}

bool SameSmallRecord(const FieldMapEntry& a, const FieldMapEntry& b) {
    return a.suffix[0] == b.suffix[0] && a.suffix[1] == b.suffix[1] && a.itemNo == b.itemNo &&
           a.inci == b.inci;
}

bool TakesPart(const FieldMapEntry& e, int32_t limit) {
    return e.minVersion <= vb::hostVersion && (e.size == 2 || e.size == 4) && e.offset >= 0 &&
           static_cast<int32_t>(e.offset) + e.size <= limit;
}

// Reads each distinct small record of the entries that take part within `limit` bytes once, in
// the order of its first entry, and hands it to `visit` with a function that calls its argument
// with each entry of that small record. Nothing is allocated: whether an earlier entry names the
// same small record is found by looking back (the maps hold a few dozen entries).
template <typename Visit>
void ForEachSmallRecord(int32_t limit, std::span<const FieldMapEntry> entries, Visit visit) {
    auto usable = [&](const FieldMapEntry& e) { return TakesPart(e, limit); };
    for (size_t i = 0; i < entries.size(); ++i) {
        const FieldMapEntry& first = entries[i];
        if (!usable(first)) continue;
        const auto earlier = entries.first(i);
        if (std::any_of(earlier.begin(), earlier.end(), [&](const FieldMapEntry& e) {
                return usable(e) && SameSmallRecord(e, first);
            })) {
            continue;  // read with that earlier entry
        }
        auto members = [&](auto&& each) {
            for (const FieldMapEntry& e : entries.subspan(i)) {
                if (usable(e) && SameSmallRecord(first, e)) each(e);
            }
        };
        SmallRecord words{};
        LoadSmallRecord(first.suffix[0], first.suffix[1], first.itemNo, first.inci, words);
        visit(first, words, members);
    }
}

}  // namespace

int32_t SumOfSizes(std::span<const FieldMapEntry> entries) {
    int32_t total = 0;
    for (const FieldMapEntry& e : entries) total += e.size;
    return total;
}

void LoadFields(uint8_t* buffer, int32_t limit, std::span<const FieldMapEntry> entries) {
    ForEachSmallRecord(
        limit, entries, [&](const FieldMapEntry&, const SmallRecord& words, auto members) {
            members([&](const FieldMapEntry& e) {
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

void SaveFields(const uint8_t* buffer, int32_t limit, std::span<const FieldMapEntry> entries) {
    ForEachSmallRecord(
        limit, entries, [&](const FieldMapEntry& first, SmallRecord& words, auto members) {
            bool changed = false;
            members([&](const FieldMapEntry& e) {
                const auto at = static_cast<size_t>(e.offset);
                const uint32_t value =
                    e.size == 4 ? le::GetU32(buffer, at) : le::GetU16(buffer, at);
                if (WriteField(words, e.wordIndex, e.size, e.conversion, value)) changed = true;
            });
            if (changed) {
                SaveSmallRecord(first.suffix[0], first.suffix[1], first.itemNo, first.inci, words);
            }
        });
}

}  // namespace detail

namespace {

// Versions up to this one are written whole, whatever the tag.
constexpr uint32_t kLastUnmappedVersion = 0x07FFFFFF;

int32_t RunBytes(const RecordRun& run) {
    return static_cast<int32_t>(run.count) * SMALL_RECORD_SIZE;
}

std::array<uint16_t, 4> RunKey(const RecordRun& run, uint16_t k) {
    return {SMALL_RECORD_ITEM, static_cast<uint16_t>(run.firstInci + k), 0, 0};
}

int32_t LoadRun(const RecordRun& run, void* buffer, int32_t* size) {
    if (size == nullptr) return 0;
    const int32_t total = RunBytes(run);
    if (buffer == nullptr) {
        *size = total;
        return 1;
    }
    if (*size < total) return 0;
    auto* bytes = static_cast<uint8_t*>(buffer);
    for (uint16_t k = 0; k < run.count; ++k) {
        detail::SmallRecord words{};
        auto key = RunKey(run, k);
        int32_t got = SMALL_RECORD_SIZE;
        LoadRecord(run.runTag, key.data(), words.data(), &got, DATA_VERSION);
        auto n = static_cast<size_t>(std::clamp(got, 0, SMALL_RECORD_SIZE));
        std::memcpy(bytes + static_cast<size_t>(k) * SMALL_RECORD_SIZE, words.data(), n);
    }
    *size = total;
    return 1;
}

int32_t SaveRun(const RecordRun& run, const void* buffer, int32_t size) {
    if (buffer == nullptr || size < RunBytes(run)) return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    for (uint16_t k = 0; k < run.count; ++k) {
        detail::SmallRecord words{};
        std::memcpy(words.data(), bytes + static_cast<size_t>(k) * SMALL_RECORD_SIZE, words.size());
        auto key = RunKey(run, k);
        SaveRecord(run.runTag, key.data(), words.data(), SMALL_RECORD_SIZE, DATA_VERSION);
    }
    return 1;
}

// The special record: cleared (as far as the buffer reaches) before the host fills it, and
// loaded whenever the host left a non-zero byte, even when it reports failure. Returns true
// when the answer is final, false when the ordinary path must ask the host again.
bool LoadSpecial(uint16_t* key, void* buffer, int32_t* size, uint32_t version, int32_t& result) {
    if (size == nullptr) {
        result = 0;
        return true;
    }
    auto* bytes = static_cast<uint8_t*>(buffer);
    auto n = static_cast<size_t>(std::clamp(*size, 0, SPECIAL_RECORD_SIZE));
    std::memset(bytes, 0, n);
    if (LoadEData(SPECIAL_TAG, key, buffer, size, version) != 0) return false;
    result = std::any_of(bytes, bytes + n, [](uint8_t b) { return b != 0; }) ? 1 : 0;
    return true;
}

}  // namespace

int32_t LoadRecord(uint32_t tag, uint16_t* key, void* buffer, int32_t* size, uint32_t version) {
    if (key == nullptr) return 0;
    if (tag == SPECIAL_TAG && buffer != nullptr) {
        int32_t result = 0;
        if (LoadSpecial(key, buffer, size, version, result)) return result;
    }
    auto map = FindFieldMap(tag, key[0]);
    if (!map.empty()) return LoadFromFieldMap(buffer, size, map);
    RecordRun run{};
    if (!FindRecordRun(tag, key[0], run)) return 0;
    if (run.runTag == 0) return LoadEData(tag, key, buffer, size, version);
    return LoadRun(run, buffer, size);
}

int32_t SaveRecord(uint32_t tag, uint16_t* key, void* buffer, int32_t size, uint32_t version) {
    if (key == nullptr) return 0;
    if (version <= kLastUnmappedVersion) return SaveEData(tag, key, buffer, size, version);
    auto map = FindFieldMap(tag, key[0]);
    if (!map.empty()) return SaveToFieldMap(buffer, size, map);
    RecordRun run{};
    if (!FindRecordRun(tag, key[0], run)) return 0;
    if (run.runTag == 0) return SaveEData(tag, key, buffer, size, version);
    return SaveRun(run, buffer, size);
}

int32_t CompositeSize(std::span<const FieldMapEntry> entries) {
    return detail::SumOfSizes(entries);
}

int32_t LoadFromFieldMap(void* buffer, int32_t* size, std::span<const FieldMapEntry> entries) {
    if (size == nullptr) return 0;
    const int32_t composite = CompositeSize(entries);
    if (buffer == nullptr) {
        *size = composite;
        return 1;
    }
    const int32_t capacity = *size;
    if (capacity < composite) return 0;
    detail::LoadFields(static_cast<uint8_t*>(buffer), capacity, entries);
    *size = composite;
    return 1;
}

int32_t SaveToFieldMap(const void* buffer, int32_t size, std::span<const FieldMapEntry> entries) {
    if (buffer == nullptr) return 0;
    if (static_cast<int64_t>(size) < 2 * static_cast<int64_t>(entries.size())) return 0;
    detail::SaveFields(static_cast<const uint8_t*>(buffer), size, entries);
    return 1;
}

}  // namespace host
