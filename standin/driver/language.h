#pragma once
// The language the plug-in speaks to the user: on Windows the user's display language, elsewhere
// the environment's LC_ALL, LC_MESSAGES and LANG, the first that is set. Read by the plug-in's own
// rule (resources/string_tables.h), so that what this program names is what the plug-in chose.
#include <optional>
#include <string>

namespace driver {

struct Language {
    std::string code;    // "de": of the table the plug-in reads, "en" for a language without
    std::string name;    // "German": the table the plug-in reads, English for a language without
    std::string source;  // where it was read: "LC_ALL=de_DE.UTF-8", "display language 0x0407"
};

// The language the plug-in chooses in this process now.
Language ChosenLanguage();

// The language of a code of resources/languages.txt ("de"), named as read from `source`; none
// for any other code.
std::optional<Language> LanguageOfCode(const std::string& code, const std::string& source);

// The codes of resources/languages.txt, English first: "en, de, fr, ja".
std::string LanguageCodes();

// While it lives, the process runs in `locale` as the environment would name it
// ("de_DE.UTF-8", "C"; "" for none at all). Elsewhere than on Windows it sets LC_ALL, or clears
// LC_ALL, LC_MESSAGES and LANG for "", and puts them back at the end. A Windows process cannot
// change its display language (Wine reads it from the environment at the process's start):
// there it only checks that the process runs in the locale's language.
class LanguageScope {
  public:
    explicit LanguageScope(const std::string& locale);
    ~LanguageScope();
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

    // Empty when the process runs in the locale's language; else what is wrong, in one line.
    const std::string& Error() const { return error_; }

  private:
    struct Saved {
        const char* variable;
        bool set = false;
        std::string value;
    };
    Saved saved_[3] = {{"LC_ALL", false, {}}, {"LC_MESSAGES", false, {}}, {"LANG", false, {}}};
    std::string error_;
};

// Whether `locale` is a locale a scenario may name: "" or letters, digits and _ . @ -.
bool IsLocaleName(const std::string& locale);

}  // namespace driver
