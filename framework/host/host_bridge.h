#pragma once
// The only code that touches the host's exports. Each host function is found by name in the
// running host executable ("FINALE.EXE", else "FINDEMO.EXE") on first use and kept for the life
// of the library; a missing module or export makes its wrapper answer 0 forever.
#include <cstdint>

namespace host {

// The version argument the plug-in passes: to every service below but the record functions, and
// to the record functions for each class that names no version of its own
// (__FCBaseData::GetVersion) and for the small records the record transfer reads and writes.
// Groups on old hosts, measures and raw texts pass versions of their own.
constexpr uint32_t DATA_VERSION = 0x19000000;

// Record functions: the 16-bit host result widened with its sign; non-zero is success.
// Load and Save are reached only through the record transfer (record_transfer.h).
int32_t LoadEData(uint32_t tag, uint16_t* key, void* buffer, int32_t* size, uint32_t version);
int32_t SaveEData(uint32_t tag, uint16_t* key, void* buffer, int32_t size, uint32_t version);
// Key words passed as 0xFFFF are assigned by the host, which writes them back into `key`.
int32_t CreateEData(uint32_t tag, uint16_t* key, void* buffer, int32_t size, uint32_t version);
int32_t DeleteEData(uint32_t tag, uint16_t* key, uint32_t version);
// Rewrites `key` to name the record after it; buffer and size are never passed to the host.
int32_t NextEData(uint32_t tag, uint16_t* key, void* buffer, int32_t* size, uint32_t version);

// The staff number at `slot` (1-based) of staff system `system`; 0 for none.
int32_t SlotToInst(uint16_t slot, uint16_t system);
// The 1-based slot of `staff` in the score's own order (system 0); 0 when absent.
int32_t InstToSlot(uint16_t staff);
// Fills the 256-byte buffer with the font's NUL-terminated 8-bit name; non-zero on success.
int32_t FontNumToName(uint16_t font, char* name256);
// Fills the 512-unit buffer with the font's NUL-terminated UTF-16 name; non-zero on success.
int32_t FontNumToNameUTF16(uint16_t font, char16_t* name512);
// The number of the document current in the host.
int32_t GetCurrentEnigmaDocument();

}  // namespace host
