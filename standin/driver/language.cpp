#include "language.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

// The plug-in's own reading of the user's language (resources/): the plug-in chooses by it, and
// this program names what the plug-in chose.
#include "string_tables.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace driver {
namespace {

// The language of the table a user of `table` reads, English for a language without one.
Language LanguageOf(const vb_strings::Table* table, std::string source) {
    const vb_strings::Table& read = table != nullptr ? *table : vb_strings::kTables[0];
    return {read.code, read.name, std::move(source)};
}

#if defined(_WIN32)
// The primary language a locale name stands for under Wine; 0 when Windows knows none.
unsigned PrimaryLanguageOf(const std::string& locale) {
    const std::string_view code =
        vb_strings::LanguageCodeOf(locale.empty() ? nullptr : locale.c_str());
    const std::wstring wide(code.begin(), code.end());
    return PRIMARYLANGID(LANGIDFROMLCID(LocaleNameToLCID(wide.c_str(), 0)));
}

unsigned DisplayLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage());
}
#endif

}  // namespace

std::optional<Language> LanguageOfCode(const std::string& code, const std::string& source) {
    const vb_strings::Table* table = vb_strings::TableOfCode(code);
    if (table == nullptr) return std::nullopt;
    return LanguageOf(table, source);
}

std::string LanguageCodes() {
    std::string codes;
    for (const vb_strings::Table& table : vb_strings::kTables)
        codes += (codes.empty() ? "" : ", ") + std::string(table.code);
    return codes;
}

bool IsLocaleName(const std::string& locale) {
    for (char c : locale) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '.' && c != '@' &&
            c != '-') {
            return false;
        }
    }
    return true;
}

#if defined(_WIN32)
Language ChosenLanguage() {
    char source[40];
    std::snprintf(source, sizeof(source), "display language 0x%04X",
                  static_cast<unsigned>(GetUserDefaultUILanguage()));
    return LanguageOf(vb_strings::TableOfLanguage(static_cast<uint16_t>(DisplayLanguage())),
                      source);
}

LanguageScope::LanguageScope(const std::string& locale) {
    const unsigned wanted = PrimaryLanguageOf(locale);
    if (wanted == DisplayLanguage()) return;
    const std::string shown = locale.empty() ? "no locale" : locale;
    char displayed[8];
    std::snprintf(displayed, sizeof(displayed), "0x%02X", DisplayLanguage());
    error_ = "runs in " + shown + ", but this process's display language is " + displayed +
             (locale.empty() ? ": start it with LC_ALL, LC_MESSAGES and LANG unset"
                             : ": start it with LC_ALL=" + locale) +
             " (under Wine)";
}

LanguageScope::~LanguageScope() = default;
#else
Language ChosenLanguage() {
    const vb_strings::MessagesLocale locale = vb_strings::FindMessagesLocale();
    return LanguageOf(vb_strings::TableOfLocale(locale.value),
                      locale.value != nullptr ? std::string(locale.variable) + "=" + locale.value
                                              : "no locale set");
}

LanguageScope::LanguageScope(const std::string& locale) {
    for (Saved& s : saved_) {
        const char* value = std::getenv(s.variable);
        s.set = value != nullptr;
        if (s.set) s.value = value;
    }
    if (locale.empty()) {
        for (const Saved& s : saved_) unsetenv(s.variable);
    } else {
        setenv("LC_ALL", locale.c_str(), 1);
    }
}

LanguageScope::~LanguageScope() {
    for (const Saved& s : saved_) {
        if (s.set) {
            setenv(s.variable, s.value.c_str(), 1);
        } else {
            unsetenv(s.variable);
        }
    }
}
#endif

}  // namespace driver
