#pragma once
#include <cstdint>

namespace shell {
// The plug-in's one command on the host's selection record (20 bytes, may be null), run within
// the command's scope (CommandScope, which Invoke opens). Returns 1 when at least one group was
// split, else 0.
int16_t RunCommand(void* parentWindow, const void* region);
}  // namespace shell
