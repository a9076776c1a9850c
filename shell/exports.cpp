// The seven exports the host calls. Each is a trampoline: it forwards to the shell and turns
// anything that escapes into its failure value, so nothing is ever thrown into the host.
#include <cstdint>

#include "shell/entry_points.h"
#include "shell/export.h"

namespace {

template <typename Result, typename Body>
Result Guarded(Result failure, Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

}  // namespace

extern "C" {

VB_EXPORT uint32_t FinaleExtensionVersion(uint32_t hostVersion) noexcept {
    return Guarded<uint32_t>(0, [&] { return shell::Version(hostVersion); });
}

VB_EXPORT int32_t FinaleExtensionInit(void*, uint32_t* flags) noexcept {
    return Guarded<int32_t>(0, [&] { return shell::Init(flags); });
}

VB_EXPORT int16_t FinaleExtensionEnumerate(void*, int16_t index, void* record) noexcept {
    return Guarded<int16_t>(0, [&] { return shell::Enumerate(index, record); });
}

VB_EXPORT int16_t FinaleExtensionEnumerate_UTF16(void*, int16_t index, void* record) noexcept {
    return Guarded<int16_t>(0, [&] { return shell::EnumerateUTF16(index, record); });
}

VB_EXPORT int32_t FinaleExtensionGetMenuStatus(void*, void*, void*) noexcept {
    return Guarded<int32_t>(0, [] { return shell::GetMenuStatus(); });
}

VB_EXPORT int16_t FinaleExtensionInvoke(void* parentWindow, void*, const void* region) noexcept {
    return Guarded<int16_t>(0, [&] { return shell::Invoke(parentWindow, region); });
}

VB_EXPORT void FinaleExtensionTerminate(void) noexcept {}

}  // extern "C"
