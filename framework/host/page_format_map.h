#pragma once
// The page format preference 'pfPB' is kept by the host as eleven 4-byte values, high half first,
// in words of 'ot45', 'ot60', 'ot61', 'ot64' and 'ot65'. The record transfer's field map and the
// preference map both read it so; this is their one table. Internal to the map tables.
#include <array>

#include "framework/host/map_notation.h"

namespace host::notation {

template <typename Entry>
constexpr std::array<Entry, 11> PageFormatMap() {
    return {
        L<Entry>(0, "65", 2),  L<Entry>(4, "60", 2),  L<Entry>(8, "65", 4),  L<Entry>(12, "60", 4),
        L<Entry>(16, "61", 0), L<Entry>(20, "61", 2), L<Entry>(24, "61", 4), L<Entry>(28, "60", 0),
        L<Entry>(32, "64", 2), L<Entry>(36, "45", 2), L<Entry>(40, "45", 4),
    };
}

}  // namespace host::notation
