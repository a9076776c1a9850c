#pragma once
// Identifiers of the entries in strings.def.
#include <cstdint>

namespace res {
constexpr uint32_t IDS_TITLE = 101;
constexpr uint32_t IDS_DESCRIPTION = 102;
constexpr uint32_t IDS_SHORT_NAME = 103;
constexpr uint32_t IDS_PARTIAL_MEASURE = 201;
constexpr uint32_t IDS_MULTISTAFF_RANGE = 202;
constexpr uint32_t IDS_SMALL_RANGE = 203;
constexpr uint32_t IDS_NO_GROUP = 204;
constexpr uint32_t IDS_CAPTION_PARTIAL_MEASURE = 301;
constexpr uint32_t IDS_CAPTION_MULTISTAFF_RANGE = 302;
constexpr uint32_t IDS_CAPTION_SMALL_RANGE = 303;
constexpr uint32_t IDS_CAPTION_NO_GROUP = 304;
constexpr uint32_t IDS_PREFIX_FULL = 501;
constexpr uint32_t IDS_PREFIX_ABBREVIATED = 502;
}  // namespace res
