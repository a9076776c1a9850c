#include "framework/core/host_version.h"

namespace vb {
uint32_t hostVersion = 0;
}  // namespace vb
