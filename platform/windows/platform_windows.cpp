// The real kernel32 and user32 calls behind platform.h. wchar_t is a 16-bit UTF-16 unit on
// Windows, so the plug-in's char16_t text passes through unchanged.
// platform.h comes first: its constants share their names with macros of <windows.h>.
#include "platform/platform.h"

#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");

namespace platform {
namespace {

HMODULE AsModule(ModuleHandle module) {
    return static_cast<HMODULE>(module);
}

const wchar_t* AsWide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace

ModuleHandle GetModuleHandleA(const char* name) {
    if (name == nullptr) return nullptr;  // null would name the main program
    return ::GetModuleHandleA(name);
}

void* GetProcAddress(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(AsModule(module), name));
}

int LoadStringW(ModuleHandle instance, uint32_t id, char16_t* buffer, int capacity) {
    // A null instance would read the main program's table; the plug-in means "none" by it.
    if (instance == nullptr || buffer == nullptr || capacity <= 0) return 0;
    return ::LoadStringW(static_cast<HINSTANCE>(instance), id, reinterpret_cast<wchar_t*>(buffer),
                         capacity);
}

int32_t MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                    uint32_t style) {
    return ::MessageBoxW(static_cast<HWND>(owner), AsWide(text), AsWide(caption), style);
}

}  // namespace platform
