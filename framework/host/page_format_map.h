#pragma once
// The page format preference 'pfPB' is kept by the host as eleven 4-byte values, high half first,
// in words of 'ot45', 'ot60', 'ot61', 'ot64' and 'ot65'. The record transfer's field map and the
// preference map both read it so; this is their one table. Internal to the map tables.
#include <array>

#include "framework/host/map_notation.h"

namespace host::notation {

inline constexpr std::array<FieldMapEntry, 11> kPageFormatMap = {
    L(0, "65", 2),  L(4, "60", 2),  L(8, "65", 4),  L(12, "60", 4), L(16, "61", 0), L(20, "61", 2),
    L(24, "61", 4), L(28, "60", 0), L(32, "64", 2), L(36, "45", 2), L(40, "45", 4),
};
static_assert(Sum(kPageFormatMap) == 44);

}  // namespace host::notation
