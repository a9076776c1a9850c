#pragma once
// The ids of the string table, named as strings.def names them: the list exists once, there.
#include <cstdint>

namespace res {
#define VB_STRING(name, id, text) constexpr uint32_t name = id;
#include "resources/strings.def"
#undef VB_STRING

// The language of strings.def, the reference table: Windows primary language English. What is
// written into documents is read in it, whatever the user's language.
constexpr uint16_t LANGUAGE_ENGLISH = 0x09;
}  // namespace res
