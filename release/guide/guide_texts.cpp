#include "release/guide/guide_texts.h"

#include <stdexcept>

#include "support/utf8.h"
#include "vb_string_tables.h"

namespace guide {
namespace {

const vb_strings::Table* FindTable(const std::string& language) {
    for (const vb_strings::Table& table : vb_strings::kTables) {
        if (language == table.code) return &table;
    }
    return nullptr;
}

const char16_t* FindText(const vb_strings::Table& table, uint32_t id) {
    for (size_t i = 0; i < table.count; ++i) {
        if (table.entries[i].id == id) return table.entries[i].text;
    }
    return nullptr;
}

}  // namespace

bool HasTable(const std::string& language) {
    return FindTable(language) != nullptr;
}

std::string Text(const std::string& language, uint32_t id) {
    const char16_t* text = nullptr;
    if (const vb_strings::Table* own = FindTable(language)) text = FindText(*own, id);
    // The reference comes first.
    if (text == nullptr) text = FindText(vb_strings::kTables[0], id);
    if (text == nullptr) {
        throw std::out_of_range("no string " + std::to_string(id) + " in strings.def");
    }
    return support::Utf8(text);
}

}  // namespace guide
