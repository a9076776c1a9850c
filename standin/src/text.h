#pragma once
// Text conversions and the two raw text encodings: UTF-16 units with a 0 unit (hosts from
// 0x11000000) and 8-bit characters with a 0 byte (older hosts; each unit keeps its low byte).
#include <optional>
#include <string>

#include "bytes.h"

namespace standin {

// Raw texts are stored in the UTF-16 form whatever the host version.
Bytes EncodeUtf16Text(const std::u16string& text);
Bytes Encode8BitText(const std::u16string& text);
// None unless the record ends with its terminator (and, for UTF-16, has an even size).
std::optional<std::u16string> DecodeUtf16Text(const Bytes& record);
std::optional<std::u16string> Decode8BitText(const Bytes& record);

// 'bl' <-> 0x626C; none unless exactly two characters in 0x20..0x7E.
std::optional<uint16_t> TextKindFromString(const std::string& kind);
std::string TextKindToString(uint16_t kind);

}  // namespace standin
