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

// What a user of `language` (a Windows primary language; 0 for one without a table) reads of an
// entry: that language's own, else English's, for an entry the language's table lacks as for a
// language without a table. `read(language)` looks the entry up in that one language's table and
// answers something false (0, null) when it is not there. The plug-in's loads and the guide's
// quotes both read through here.
template <typename Read>
auto ReadInLanguageOrEnglish(uint16_t language, Read read) -> decltype(read(language)) {
    auto text = read(language);
    if (!text && language != LANGUAGE_ENGLISH) text = read(LANGUAGE_ENGLISH);
    return text;
}
}  // namespace res
