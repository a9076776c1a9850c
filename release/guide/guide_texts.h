#pragma once
// The plug-in's texts as a guide quotes them: in the guide's language, as the plug-in shows them
// to a user of that language, from the string tables compiled into this program.
#include <cstdint>
#include <string>

namespace guide {

// Whether the plug-in has a string table for the language ("de"); always for "en".
bool HasTable(const std::string& language);

// Text `id` in the language, as UTF-8: English where the language has no table or its table
// lacks the text, as the plug-in falls back. Throws std::out_of_range when English lacks it too.
std::string Text(const std::string& language, uint32_t id);

}  // namespace guide
