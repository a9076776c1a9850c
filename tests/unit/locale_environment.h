#pragma once
// Sets the locale variables the Linux module reads its user's language from (LC_ALL, LC_MESSAGES,
// LANG; null leaves one unset) for one test, and restores them afterwards.
#include <cstdlib>
#include <optional>
#include <string>

class LocaleEnvironment {
  public:
    LocaleEnvironment(const char* lcAll, const char* lcMessages = nullptr,
                      const char* lang = nullptr) {
        const char* values[3] = {lcAll, lcMessages, lang};
        for (int i = 0; i < 3; ++i) {
            if (const char* old = std::getenv(kNames[i])) saved_[i] = old;
            if (values[i] != nullptr) {
                setenv(kNames[i], values[i], 1);
            } else {
                unsetenv(kNames[i]);
            }
        }
    }
    ~LocaleEnvironment() {
        for (int i = 0; i < 3; ++i) {
            if (saved_[i]) {
                setenv(kNames[i], saved_[i]->c_str(), 1);
            } else {
                unsetenv(kNames[i]);
            }
        }
    }
    LocaleEnvironment(const LocaleEnvironment&) = delete;
    LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

  private:
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved_[3];
};
