#include "process_language.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>

#include <vector>
#else
#include <locale.h>
#endif

namespace validate {

#if defined(_WIN32)
std::string ProcessLanguage() {
    char numbers[160];
    std::snprintf(numbers, sizeof(numbers),
                  "thread locale 0x%04lX, thread UI language 0x%04X, user UI language 0x%04X, "
                  "user locale 0x%04lX",
                  static_cast<unsigned long>(GetThreadLocale()),
                  static_cast<unsigned>(GetThreadUILanguage()),
                  static_cast<unsigned>(GetUserDefaultUILanguage()),
                  static_cast<unsigned long>(GetUserDefaultLCID()));
    std::string out = numbers;
    ULONG count = 0, size = 0;
    std::wstring preferred;
    if (GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) && size > 0) {
        std::vector<wchar_t> names(size);
        if (GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) {
            // Names ended by 0 each, and the list by another 0.
            for (ULONG i = 0; i + 2 < size; ++i) preferred.push_back(names[i] ? names[i] : L' ');
        }
    }
    out += ", thread's preferred UI languages \"";
    for (wchar_t c : preferred) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    const char* runtime = std::setlocale(LC_ALL, nullptr);
    out += "\", C runtime locale " + std::string(runtime != nullptr ? runtime : "(none)");
    return out;
}
#else
std::string ProcessLanguage() {
    const char* global = std::setlocale(LC_ALL, nullptr);
    std::string out = "C runtime locale " + std::string(global != nullptr ? global : "(none)");
    const locale_t thread = uselocale(static_cast<locale_t>(nullptr));
    char own[40];
    std::snprintf(own, sizeof(own), "%p", static_cast<void*>(thread));
    out += ", thread locale " + std::string(thread == LC_GLOBAL_LOCALE ? "the global one" : own);
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}) {
        const char* value = std::getenv(variable);
        out +=
            std::string(", ") + variable + (value != nullptr ? "=" + std::string(value) : " unset");
    }
    return out;
}
#endif

}  // namespace validate
