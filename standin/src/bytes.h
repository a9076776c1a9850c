#pragma once
// Record bytes: little-endian fields at byte offsets (support/little_endian.h), and hex text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/little_endian.h"

namespace standin {

using Bytes = std::vector<uint8_t>;

using support::Get16;
using support::GetS16;
using support::Put16;
using support::PutS16;

std::string ToHex(const uint8_t* data, size_t size);
inline std::string ToHex(const Bytes& b) {
    return ToHex(b.data(), b.size());
}
// Hex digits in pairs; spaces are ignored. None for any other character or an odd digit count.
std::optional<Bytes> FromHex(std::string_view text);

}  // namespace standin
