#include "framework/base/module_state.h"

namespace vb {
uint32_t hostVersion = 0;
void* moduleHandle = nullptr;
}  // namespace vb
