#include "release/guide/guide_texts.h"

#include <stdexcept>

#include "resources/string_ids.h"
#include "resources/string_tables.h"
#include "support/utf8.h"

namespace guide {

bool HasTable(const std::string& language) {
    return vb_strings::TableOfCode(language) != nullptr;
}

std::string Text(const std::string& language, uint32_t id) {
    // As the plug-in reads for a user of the guide's language: under its table's Windows language,
    // or 0, which has no table, for a language without one.
    const vb_strings::Table* own = vb_strings::TableOfCode(language);
    const vb_strings::Entry* entry =
        res::ReadInLanguageOrEnglish(own != nullptr ? own->language : 0, [&](uint16_t table) {
            const vb_strings::Table* read = vb_strings::TableOfLanguage(table);
            return read != nullptr ? vb_strings::EntryOf(*read, id) : nullptr;
        });
    if (entry == nullptr) {
        throw std::out_of_range("no string " + std::to_string(id) + " in strings.def");
    }
    return support::Utf8(entry->text);
}

}  // namespace guide
