#pragma once
// Little-endian fields at byte offsets and hex text for record bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

using Bytes = std::vector<uint8_t>;

inline uint16_t Get16(const Bytes& b, size_t offset) {
    return static_cast<uint16_t>(b.at(offset) | (b.at(offset + 1) << 8));
}
inline int16_t GetS16(const Bytes& b, size_t offset) {
    return static_cast<int16_t>(Get16(b, offset));
}
inline void Put16(Bytes& b, size_t offset, uint16_t value) {
    b.at(offset) = static_cast<uint8_t>(value & 0xFF);
    b.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}
inline void PutS16(Bytes& b, size_t offset, int16_t value) {
    Put16(b, offset, static_cast<uint16_t>(value));
}

std::string ToHex(const uint8_t* data, size_t size);
inline std::string ToHex(const Bytes& b) {
    return ToHex(b.data(), b.size());
}
// Hex digits in pairs; spaces are ignored. None for any other character or an odd digit count.
std::optional<Bytes> FromHex(std::string_view text);

}  // namespace standin
