// Process attach for the Linux build: a load-time constructor plays the library entry
// notification of Windows, handing the module's own handle to the shell.
#include <dlfcn.h>

#include "platform/linux/own_module.h"
#include "shell/library_entry.h"

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
    shell::LibraryEntry(ownModule, DLL_PROCESS_ATTACH);
}

__attribute__((destructor)) void OnUnload() {
    shell::LibraryEntry(ownModule, DLL_PROCESS_DETACH);
}

}  // namespace

ModuleHandle OwnModule() {
    return ownModule;
}

}  // namespace platform
