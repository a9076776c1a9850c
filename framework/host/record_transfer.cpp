#include "framework/host/record_transfer.h"

#include "framework/host/host_bridge.h"

namespace host {
int32_t LoadRecord(uint32_t tag, uint16_t* key, void* buffer, int32_t* size, uint32_t version) {
    return LoadEData(tag, key, buffer, size, version);
}
int32_t SaveRecord(uint32_t tag, uint16_t* key, void* buffer, int32_t size, uint32_t version) {
    return SaveEData(tag, key, buffer, size, version);
}
}  // namespace host
