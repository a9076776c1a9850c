#pragma once
// Placeholder until the record transfer layer lands: straight pass-through to the host.
#include <cstdint>

namespace host {
int32_t LoadRecord(uint32_t tag, uint16_t* key, void* buffer, int32_t* size, uint32_t version);
int32_t SaveRecord(uint32_t tag, uint16_t* key, void* buffer, int32_t size, uint32_t version);
}  // namespace host
