// The Linux build's string tables, compiled from the same sources as the Windows STRINGTABLEs,
// and the user's language as the environment names it.
#include <cstdlib>
#include <string_view>

#include "platform/linux/own_module.h"
#include "platform/platform.h"
#include "resources/string_ids.h"
#include "vb_string_tables.h"

namespace platform {

uint16_t UserLanguage() {
    // An empty variable counts as unset, as POSIX has it.
    const char* value = nullptr;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(variable);
        if (v != nullptr && *v != '\0') {
            value = v;
            break;
        }
    }
    if (value == nullptr) return res::LANGUAGE_ENGLISH;
    // language[_territory][.codeset][@modifier]
    std::string_view name(value);
    name = name.substr(0, name.find_first_of("_.@"));
    if (name == "C" || name == "POSIX") return res::LANGUAGE_ENGLISH;
    for (const vb_strings::Table& table : vb_strings::kTables) {
        if (name == table.code) return table.language;
    }
    return 0;
}

int LoadTableString(ModuleHandle instance, uint32_t id, uint16_t language, char16_t* buffer,
                    int capacity) {
    // Only this module's tables are reachable; a foreign or null instance has none.
    if (instance == nullptr || instance != OwnModule() || buffer == nullptr || capacity <= 0) {
        return 0;
    }
    for (const vb_strings::Table& table : vb_strings::kTables) {
        if (table.language != language) continue;
        for (size_t i = 0; i < table.count; ++i) {
            const vb_strings::Entry& entry = table.entries[i];
            if (entry.id != id) continue;
            int n = 0;
            while (entry.text[n] != 0 && n < capacity - 1) {
                buffer[n] = entry.text[n];
                ++n;
            }
            buffer[n] = 0;
            return n;
        }
        return 0;
    }
    return 0;
}

}  // namespace platform
