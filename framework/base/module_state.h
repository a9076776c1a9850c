#pragma once
// State that survives between host calls. Plain, unsynchronised: the host calls one export at a
// time on its own thread.
#include <cstdint>

namespace vb {

// The version the host reported through FinaleExtensionVersion; 0 until then.
extern uint32_t hostVersion;
// The library's own module handle, recorded at process attach.
extern void* moduleHandle;
// The module whose string tables resource loads read: the library's own once enumeration has
// named it (the host's first calls), null before, when every text reads as the fallback text.
extern void* resourceInstance;

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

// One command, from the host's call into the plug-in to its return. The host runs nothing else
// meanwhile, so what the command does not write cannot change while it runs: such answers are
// asked of the host once per command and kept until the scope ends. A scope opened while
// another is open belongs to it.
class CommandScope {
  public:
    CommandScope();
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

  private:
    bool opened_;
};

// Non-zero while a command runs, and a different number for every command: what is kept for a
// command is valid only under the number it was kept with.
uint32_t CommandNumber();

// The number of the document current in the host, asked once per command and on every call
// outside a command.
int16_t CurrentDocument();

}  // namespace vb
