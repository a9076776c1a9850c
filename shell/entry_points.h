#pragma once
// What the plug-in's exports do; shell/exports.cpp only forwards to these.
#include <cstdint>

namespace shell {

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
