#pragma once
// The string tables as compiled from resources/ (vb_string_tables.h, generated), and how a reader
// finds its language in them: by code, by Windows primary language, and by the POSIX environment,
// the Linux build's one rule for the user's language. Header only, with nothing beside the
// tables: the plug-in's Linux build, the stand-in program and the guide's writer include it alike.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vb_string_tables.h"

namespace vb_strings {

// The table of a language code ("de"); null for a language without one. "en" is the reference.
inline const Table* TableOfCode(std::string_view code) {
    for (const Table& table : kTables) {
        if (code == table.code) return &table;
    }
    return nullptr;
}

// The table stored under a Windows primary language (0x07); null for none.
inline const Table* TableOfLanguage(uint16_t language) {
    for (const Table& table : kTables) {
        if (table.language == language) return &table;
    }
    return nullptr;
}

// Entry `id` of one table; null when that table lacks it.
inline const Entry* EntryOf(const Table& table, uint32_t id) {
    for (size_t i = 0; i < table.count; ++i) {
        if (table.entries[i].id == id) return &table.entries[i];
    }
    return nullptr;
}

// Where the environment names the language of messages: the first of LC_ALL, LC_MESSAGES and
// LANG that is set, in the POSIX order. An empty variable counts as unset, as POSIX has it.
struct MessagesLocale {
    const char* variable;  // null, with `value`, when none of them is set
    const char* value;
};

inline MessagesLocale FindMessagesLocale() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return {variable, value};
    }
    return {nullptr, nullptr};
}

// The language code of a locale name, language[_territory][.codeset][@modifier]: "de" of
// "de_DE.UTF-8@euro". The C and POSIX locales, and none at all (null), speak English: "en".
inline std::string_view LanguageCodeOf(const char* locale) {
    if (locale == nullptr) return "en";
    std::string_view code(locale);
    code = code.substr(0, code.find_first_of("_.@"));
    return code == "C" || code == "POSIX" ? "en" : code;
}

// The table a user in `locale` reads; null for a language without one (which reads English).
inline const Table* TableOfLocale(const char* locale) {
    return TableOfCode(LanguageCodeOf(locale));
}

}  // namespace vb_strings
