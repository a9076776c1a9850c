#pragma once
// Little-endian reads and writes at byte offsets. Records are bytes with named offsets; nothing
// casts a pointer to a packed struct.
#include <cstddef>
#include <cstdint>

namespace le {

inline uint16_t GetU16(const uint8_t* p, size_t offset) {
    return static_cast<uint16_t>(p[offset] | (p[offset + 1] << 8));
}
inline int16_t GetI16(const uint8_t* p, size_t offset) {
    return static_cast<int16_t>(GetU16(p, offset));
}
inline uint32_t GetU32(const uint8_t* p, size_t offset) {
    return static_cast<uint32_t>(p[offset]) | (static_cast<uint32_t>(p[offset + 1]) << 8) |
           (static_cast<uint32_t>(p[offset + 2]) << 16) |
           (static_cast<uint32_t>(p[offset + 3]) << 24);
}
inline int32_t GetI32(const uint8_t* p, size_t offset) {
    return static_cast<int32_t>(GetU32(p, offset));
}
inline void PutU16(uint8_t* p, size_t offset, uint16_t v) {
    p[offset] = static_cast<uint8_t>(v);
    p[offset + 1] = static_cast<uint8_t>(v >> 8);
}
inline void PutI16(uint8_t* p, size_t offset, int16_t v) {
    PutU16(p, offset, static_cast<uint16_t>(v));
}
inline void PutU32(uint8_t* p, size_t offset, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) p[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutI32(uint8_t* p, size_t offset, int32_t v) {
    PutU32(p, offset, static_cast<uint32_t>(v));
}

}  // namespace le
