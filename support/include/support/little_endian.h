#pragma once
// Little-endian fields at byte offsets of the records the host and the plug-in exchange, as the
// programs around the plug-in read and write them: the stand-in host, its driver, the validator
// and the Windows checks. The plug-in has its own; these stay apart from it, so that what they
// read and write witnesses the plug-in's records rather than repeating its code. An offset past
// the record throws std::out_of_range.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace support {

inline uint16_t Get16(const std::vector<uint8_t>& b, size_t offset) {
    return static_cast<uint16_t>(b.at(offset) | (b.at(offset + 1) << 8));
}
inline int16_t GetS16(const std::vector<uint8_t>& b, size_t offset) {
    return static_cast<int16_t>(Get16(b, offset));
}
inline void Put16(std::vector<uint8_t>& b, size_t offset, uint16_t value) {
    b.at(offset) = static_cast<uint8_t>(value & 0xFF);
    b.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}
inline void PutS16(std::vector<uint8_t>& b, size_t offset, int16_t value) {
    Put16(b, offset, static_cast<uint16_t>(value));
}
inline void Put32(std::vector<uint8_t>& b, size_t offset, uint32_t value) {
    Put16(b, offset, static_cast<uint16_t>(value & 0xFFFF));
    Put16(b, offset + 2, static_cast<uint16_t>(value >> 16));
}
inline void PutS32(std::vector<uint8_t>& b, size_t offset, int32_t value) {
    Put32(b, offset, static_cast<uint32_t>(value));
}

// A UTF-16 text of at most `units` units, ending at its first 0 unit.
inline std::u16string GetUtf16(const std::vector<uint8_t>& b, size_t offset, size_t units) {
    std::u16string text;
    for (size_t i = 0; i < units; ++i) {
        const auto unit = static_cast<char16_t>(Get16(b, offset + 2 * i));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}
// The text's units followed by one 0 unit; the bytes after it stay as they were.
inline void PutUtf16(std::vector<uint8_t>& b, size_t offset, std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) Put16(b, offset + 2 * i, text[i]);
    Put16(b, offset + 2 * text.size(), 0);
}

}  // namespace support
