// The library entry notification: hands the module's own handle to the shell on process attach.
#include <windows.h>

#include "shell/library_entry.h"

#if defined(__GLIBCXX__)
// The C++ runtime linked into this library keeps an emergency pool for exceptions, allocated when
// the library is loaded and never given back; only this function of the runtime frees it.
namespace __gnu_cxx {
void __freeres() noexcept;
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    const int32_t result = shell::LibraryEntry(module, reason);
#if defined(__GLIBCXX__)
    // Unloaded by the host (not at the process's end, where nothing need be freed): whatever
    // the library's runtime holds goes back, so that loading it again costs nothing more.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
#else
    static_cast<void>(reserved);
#endif
    return result != 0 ? TRUE : FALSE;
}
