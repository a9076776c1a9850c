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

// RT_STRING, whose <windows.h> form follows the UNICODE setting.
const LPCWSTR kStringTable = MAKEINTRESOURCEW(6);

struct LanguageSearch {
    LANGID wanted;
    bool found;
};

BOOL CALLBACK NoteLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR data) {
    auto* search = reinterpret_cast<LanguageSearch*>(data);
    if (language != search->wanted) return TRUE;
    search->found = true;
    return FALSE;
}

// Whether the module holds string-table block `name` in exactly `language`.
bool HasLanguage(HMODULE module, LPCWSTR name, LANGID language) {
    LanguageSearch search{language, false};
    ::EnumResourceLanguagesW(module, kStringTable, name, NoteLanguage,
                             reinterpret_cast<LONG_PTR>(&search));
    return search.found;
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

uint16_t UserLanguage() {
    return PRIMARYLANGID(::GetUserDefaultUILanguage());
}

int LoadTableString(ModuleHandle instance, uint32_t id, uint16_t language, char16_t* buffer,
                    int capacity) {
    // A null instance would read the main program's tables; the plug-in means "none" by it.
    if (instance == nullptr || buffer == nullptr || capacity <= 0 || id > 0xFFFF) return 0;
    buffer[0] = 0;
    const HMODULE module = AsModule(instance);
    // The tables are stored under each language's SUBLANG_DEFAULT. Asked for a language the block
    // lacks, the loader would fall back to another language of its own choosing: only a block of
    // exactly this language counts.
    const auto block = MAKEINTRESOURCEW(id / 16 + 1);
    const LANGID wanted = MAKELANGID(language, SUBLANG_DEFAULT);
    if (!HasLanguage(module, block, wanted)) return 0;
    HRSRC found = ::FindResourceExW(module, kStringTable, block, wanted);
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const auto* units =
        static_cast<const WCHAR*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    if (units == nullptr) return 0;
    // A block is 16 entries, each a length and that many units; an entry of length 0 is absent.
    const DWORD size = ::SizeofResource(module, found) / sizeof(WCHAR);
    DWORD at = 0;
    for (uint32_t entry = 0; entry < id % 16; ++entry) {
        if (at >= size) return 0;
        at += 1 + units[at];
    }
    if (at >= size || units[at] > size - at - 1) return 0;
    const int length = units[at];
    const int n = length < capacity - 1 ? length : capacity - 1;
    for (int i = 0; i < n; ++i)
        buffer[i] = static_cast<char16_t>(units[at + 1 + static_cast<DWORD>(i)]);
    buffer[n] = 0;
    return n;
}

int32_t MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                    uint32_t style) {
    return ::MessageBoxW(static_cast<HWND>(owner), AsWide(text), AsWide(caption), style);
}

}  // namespace platform
