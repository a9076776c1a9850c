#pragma once
// The few operating-system calls the plug-in makes. On Windows these are the real kernel32 and
// user32 calls; on Linux a small layer stands in for them (see platform/linux).
#include <cstdint>

namespace platform {

using ModuleHandle = void*;
using WindowHandle = void*;

// The module this code is linked into (the plug-in, or a test program built from its objects),
// recorded when the system loads it: Windows names it to DllMain, the Linux layer finds it in a
// load-time constructor. Null before that.
ModuleHandle OwnModule();

// An already loaded module whose file name equals `name` (ASCII case-insensitive); null if none.
// Never loads anything.
ModuleHandle GetModuleHandleA(const char* name);

// The exported symbol `name` of `module`; null when either is missing.
void* GetProcAddress(ModuleHandle module, const char* name);

// The user's display language as a Windows primary language (0x07 German, 0x09 English, ...).
// Windows: the user's default UI language. Linux: the language the first of LC_ALL, LC_MESSAGES
// and LANG that is set names (the POSIX order): "de_DE.UTF-8" is German; "C", "POSIX" and none
// at all are English; a language without a table of this module is 0. Only reads: the process's
// and the thread's locale and UI language stay as the host set them.
uint16_t UserLanguage();

// Copies entry `id` of the string table in `language` (a primary language) of `instance` into
// `buffer`: at most capacity-1 units and a terminator. Returns the number of units copied; 0 when
// the instance has no table in exactly that language, or that table lacks the entry.
int LoadTableString(ModuleHandle instance, uint32_t id, uint16_t language, char16_t* buffer,
                    int capacity);

// Shows a modal message box and returns the button pressed (IDYES 6, IDNO 7, IDOK 1), or 0 when
// no box could be shown.
int32_t MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                    uint32_t style);

constexpr uint32_t MB_OK = 0x0;
constexpr uint32_t MB_YESNO = 0x4;
constexpr uint32_t MB_ICONERROR = 0x10;
constexpr uint32_t MB_ICONWARNING = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;
constexpr int32_t IDOK = 1;
constexpr int32_t IDYES = 6;
constexpr int32_t IDNO = 7;

}  // namespace platform
