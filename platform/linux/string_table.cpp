// The Linux build's string table, compiled from the same source as the Windows STRINGTABLE.
#include <cstddef>
#include <cstdint>

#include "platform/linux/own_module.h"
#include "platform/platform.h"

namespace platform {
namespace {

struct Entry {
    uint32_t id;
    const char16_t* text;
};

#define VB_STRING(id, text) {id, u"" text},
constexpr Entry kStrings[] = {
#include "resources/strings.def"
};
#undef VB_STRING

}  // namespace

int LoadStringW(ModuleHandle instance, uint32_t id, char16_t* buffer, int capacity) {
    // Only this module's table is reachable; a foreign or null instance has none.
    if (instance == nullptr || instance != OwnModule() || buffer == nullptr || capacity <= 0) {
        return 0;
    }
    for (const Entry& entry : kStrings) {
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

}  // namespace platform
