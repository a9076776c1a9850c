// Process attach for the Linux build: a load-time constructor records the module's own handle,
// as the library entry notification does on Windows.
#include <dlfcn.h>

#include "platform/platform.h"

namespace platform {
namespace {

ModuleHandle ownModule = nullptr;

ModuleHandle FindOwnModule() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&FindOwnModule), &info) == 0 || info.dli_fname == nullptr) {
        return nullptr;
    }
    void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) return dlopen(nullptr, RTLD_LAZY);  // linked into the main program
    dlclose(handle);
    return handle;
}

__attribute__((constructor)) void OnLoad() {
    ownModule = FindOwnModule();
}

}  // namespace

ModuleHandle OwnModule() {
    return ownModule;
}

}  // namespace platform
