// The library entry notification: records the module's own handle on process attach.
// platform.h comes first: its constants share their names with macros of <windows.h>.
#include "platform/platform.h"

#include <windows.h>

#if defined(__GLIBCXX__)
// The C++ runtime linked into this library keeps an emergency pool for exceptions, allocated when
// the library is loaded and never given back; only this function of the runtime frees it.
namespace __gnu_cxx {
void __freeres() noexcept;
}
#endif

namespace platform {
namespace {
ModuleHandle ownModule = nullptr;
}  // namespace

ModuleHandle OwnModule() {
    return ownModule;
}
}  // namespace platform

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) platform::ownModule = module;
#if defined(__GLIBCXX__)
    // Unloaded by the host (not at the process's end, where nothing need be freed): whatever
    // the library's runtime holds goes back, so that loading it again costs nothing more.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
#else
    static_cast<void>(reserved);
#endif
    return TRUE;
}
