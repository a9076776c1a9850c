#pragma once
#include <cstdint>

namespace shell {
// The library's load/unload notification: on process attach it records the module's own handle.
// Always answers 1.
int32_t LibraryEntry(void* module, uint32_t reason);
}  // namespace shell
