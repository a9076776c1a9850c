#pragma once
// The notation of the map tables, close to how the maps are described: W(offset, "cc", k) is
// the 2-byte field at `offset` taken from word k of small record 'ot' + cc, L(offset, "cc", k)
// the 4-byte field of words k and k+1, high half first; .Item(n), .Inci(n), .Not(), .LowByte()
// refine the entry. Internal to the map tables.
#include <cstddef>
#include <cstdint>

#include "framework/host/record_transfer.h"

namespace host::notation {

// Tag from its four characters, the first in the highest byte.
constexpr uint32_t Tag(const char (&s)[5]) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(s[0])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(s[3]));
}
static_assert(Tag("pfSS") == 0x70665353 && Tag("ot77") == 0x6F743737);

struct Field {
    FieldMapEntry e;

    constexpr Field Item(int16_t n) const {
        Field f = *this;
        f.e.itemNo = n;
        return f;
    }
    constexpr Field Inci(int16_t n) const {
        Field f = *this;
        f.e.inci = n;
        return f;
    }
    constexpr Field Not() const {
        Field f = *this;
        f.e.conversion = CONVERT_NOT;
        return f;
    }
    constexpr Field LowByte() const {
        Field f = *this;
        f.e.conversion = CONVERT_LOW_BYTE;
        return f;
    }
    constexpr operator FieldMapEntry() const { return e; }  // lets the tables list Fields
};

constexpr Field Make(int16_t offset, const char (&cc)[3], int16_t word, int32_t size,
                     int32_t conversion) {
    FieldMapEntry e{};
    e.suffix[0] = static_cast<uint8_t>(cc[0]);
    e.suffix[1] = static_cast<uint8_t>(cc[1]);
    e.offset = offset;
    e.wordIndex = word;
    e.size = size;
    e.conversion = conversion;
    return Field{e};
}

constexpr Field W(int16_t offset, const char (&cc)[3], int16_t word) {
    return Make(offset, cc, word, 2, CONVERT_NONE);
}
constexpr Field L(int16_t offset, const char (&cc)[3], int16_t word) {
    return Make(offset, cc, word, 4, CONVERT_HIGH_FIRST);
}

template <typename Entries>
constexpr int32_t Sum(const Entries& entries) {
    int32_t total = 0;
    for (const FieldMapEntry& e : entries) total += e.size;
    return total;
}

}  // namespace host::notation
