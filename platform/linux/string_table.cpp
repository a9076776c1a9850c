// The Linux build's string tables, compiled from the same sources as the Windows STRINGTABLEs,
// and the user's language as the environment names it.
#include "platform/platform.h"
#include "resources/string_tables.h"

namespace platform {

uint16_t UserLanguage() {
    const vb_strings::Table* table =
        vb_strings::TableOfLocale(vb_strings::FindMessagesLocale().value);
    return table != nullptr ? table->language : 0;
}

int LoadTableString(ModuleHandle instance, uint32_t id, uint16_t language, char16_t* buffer,
                    int capacity) {
    // Only this module's tables are reachable; a foreign or null instance has none.
    if (instance == nullptr || instance != OwnModule() || buffer == nullptr || capacity <= 0) {
        return 0;
    }
    const vb_strings::Table* table = vb_strings::TableOfLanguage(language);
    const vb_strings::Entry* entry = table != nullptr ? vb_strings::EntryOf(*table, id) : nullptr;
    if (entry == nullptr) return 0;
    int n = 0;
    while (entry->text[n] != 0 && n < capacity - 1) {
        buffer[n] = entry->text[n];
        ++n;
    }
    buffer[n] = 0;
    return n;
}

}  // namespace platform
