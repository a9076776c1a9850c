#pragma once
// Numbers as people type them on the command line and in scenario files: decimal, so that a
// leading zero never turns "010" into octal 8.
#include <cstdint>
#include <optional>
#include <string_view>

namespace driver {

// An optional minus sign and decimal digits, nothing else (leading zeros allowed, still
// decimal); none for anything else or beyond the range of long long.
std::optional<long long> ParseDecimal(std::string_view text);

// A host version: decimal, or hexadecimal after "0x" as versions are usually written
// ("0x19000000"); none unless it fits 32 bits unsigned.
std::optional<uint32_t> ParseVersion(std::string_view text);

}  // namespace driver
