// The library entry notification: hands the module's own handle to the shell on process attach.
#include <windows.h>

#include "shell/library_entry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    return shell::LibraryEntry(module, reason) != 0 ? TRUE : FALSE;
}
