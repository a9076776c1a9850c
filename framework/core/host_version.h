#pragma once
// The version the host reported, and what it decides. Below every other layer of the framework:
// the host bridge chooses record fields by it, the data objects their record layouts.
#include <cstdint>

namespace vb {

// The version the host reported through FinaleExtensionVersion; 0 until then. Plain,
// unsynchronised: the host calls one export at a time on its own thread.
extern uint32_t hostVersion;

// Host version thresholds, decided here once.
inline bool HostHasMultiStaffCheck() {
    return hostVersion >= 0x11000000u;
}
inline bool HostUsesUnicodeText() {
    return hostVersion >= 0x11000000u;
}
inline bool HostUsesOldGroupVersion() {
    return hostVersion < 0x10000000u;
}
inline bool HostUsesShortMeasure() {
    return hostVersion < 0x12000000u;
}
inline bool HostUsesUnicodeFontNames() {
    return hostVersion >= 0x19000000u;
}

}  // namespace vb
