#pragma once
// The module handle of the module this code is linked into, recorded at load time.
#include "platform/platform.h"

namespace platform {
ModuleHandle OwnModule();
}
