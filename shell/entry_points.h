#pragma once
// What the plug-in's exports do; shell/exports.cpp only forwards to these.
#include <cstddef>
#include <cstdint>

#include "resources/string_ids.h"

namespace shell {

// The texts of the enumeration records, in their order, and the room each record gives a text:
// a field of 64 bytes in the 8-bit record (a text of 64 or more fills it without a terminator),
// and at most 63 units and a terminator written in the UTF-16 one.
constexpr uint32_t kEnumerationTexts[3] = {res::IDS_TITLE, res::IDS_DESCRIPTION,
                                           res::IDS_SHORT_NAME};
constexpr size_t kTextField8 = 64;
constexpr uint64_t kUnitsWritten16 = 64;

// What FinaleExtensionVersion answers: the version of the host's plug-in interface this plug-in is
// written for. Not the project's release version (set in CMake's project()); it does not change
// with a release.
constexpr uint32_t kVersionReportedToHost = 0x11000000;

uint32_t Version(uint32_t hostVersion);
int32_t Init(uint32_t* flags);
// Fills the 8-bit enumeration record (0xC4 bytes) for index 0 or below; 0 for index 1 or more.
int16_t Enumerate(int16_t index, void* record);
// Fills the UTF-16 enumeration record (0x304 bytes) for index 0 or below; 0 for index 1 or more.
int16_t EnumerateUTF16(int16_t index, void* record);
int32_t GetMenuStatus();
// The command: 1 when at least one group was split, else 0.
int16_t Invoke(void* parentWindow, const void* region);

}  // namespace shell
