#include "language.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "vb_string_tables.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace driver {
namespace {

constexpr unsigned kEnglish = 0x09;

std::string NameOf(unsigned language) {
    for (const vb_strings::Table& table : vb_strings::kTables) {
        if (table.language == language) return table.name;
    }
    return vb_strings::kTables[0].name;  // the reference, English
}

// The language part of a POSIX locale name: "de" of "de_DE.UTF-8@euro".
std::string LanguageCode(const std::string& locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

#if defined(_WIN32)
// The primary language a locale name stands for under Wine; 0 when Windows knows none.
unsigned PrimaryLanguageOf(const std::string& locale) {
    const std::string code = LanguageCode(locale);
    if (code.empty() || code == "C" || code == "POSIX") return kEnglish;
    const std::wstring wide(code.begin(), code.end());
    return PRIMARYLANGID(LANGIDFROMLCID(LocaleNameToLCID(wide.c_str(), 0)));
}

unsigned DisplayLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage());
}
#endif

}  // namespace

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
    return {NameOf(DisplayLanguage()), source};
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
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0') continue;
        const std::string code = LanguageCode(value);
        Language chosen{NameOf(kEnglish), std::string(variable) + "=" + value};
        for (const vb_strings::Table& table : vb_strings::kTables) {
            if (code == table.code) chosen.name = table.name;
        }
        return chosen;
    }
    return {NameOf(kEnglish), "no locale set"};
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
