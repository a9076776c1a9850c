#pragma once
// State that survives between host calls. Plain, unsynchronised: the host calls one export at a
// time on its own thread.
#include <cstdint>

namespace vb {

// The version the host reported through FinaleExtensionVersion; 0 until then.
extern uint32_t hostVersion;
// The library's own module handle, recorded at process attach.
extern void* moduleHandle;

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
