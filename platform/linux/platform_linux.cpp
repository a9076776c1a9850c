// Linux stand-ins for the Windows calls of platform.h. Module handles are dlopen handles;
// "module names" are the last path component of each loaded object and of the main program, so
// a host program makes itself found by loading a shared object whose file is named FINALE.EXE,
// or by being a program of that name.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace platform {
namespace {

bool EqualsIgnoreCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char ca = *a, cb = *b;
        if (ca >= 'a' && ca <= 'z') ca = static_cast<char>(ca - 'a' + 'A');
        if (cb >= 'a' && cb <= 'z') cb = static_cast<char>(cb - 'a' + 'A');
        if (ca != cb) return false;
    }
    return *a == *b;
}

const char* BaseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

std::string MainProgramPath() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return {};
    path[n] = '\0';
    return path;
}

struct Search {
    const char* wanted;
    std::string mainPath;
    std::string found;  // path to reopen, or empty
    bool foundMain = false;
};

int Visit(dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<Search*>(data);
    const char* name = info->dlpi_name;
    if (name == nullptr || name[0] == '\0') {
        if (!search->mainPath.empty() &&
            EqualsIgnoreCase(BaseName(search->mainPath.c_str()), search->wanted)) {
            search->foundMain = true;
            return 1;
        }
        return 0;
    }
    if (EqualsIgnoreCase(BaseName(name), search->wanted)) {
        search->found = name;
        return 1;
    }
    return 0;
}

}  // namespace

ModuleHandle GetModuleHandleA(const char* name) {
    if (name == nullptr) return nullptr;
    Search search{name, MainProgramPath(), {}, false};
    dl_iterate_phdr(Visit, &search);
    if (search.foundMain) return dlopen(nullptr, RTLD_LAZY);
    if (search.found.empty()) return nullptr;
    // RTLD_NOLOAD only hands out the handle of the loaded object; drop the reference it took so
    // that the caller holds a plain handle, as on Windows.
    void* handle = dlopen(search.found.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle != nullptr) dlclose(handle);
    return handle;
}

void* GetProcAddress(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) return nullptr;
    return dlsym(module, name);
}

int32_t MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                    uint32_t style) {
    using MessageBoxFn = int32_t (*)(void*, const char16_t*, const char16_t*, uint32_t);
    if (void* user32 = GetModuleHandleA("USER32.DLL")) {
        if (void* fn = GetProcAddress(user32, "MessageBoxW")) {
            return reinterpret_cast<MessageBoxFn>(fn)(owner, text, caption, style);
        }
    }
    auto narrow = [](const char16_t* s) {
        std::string out;
        for (; s != nullptr && *s != 0; ++s) out.push_back(*s < 0x80 ? static_cast<char>(*s) : '?');
        return out;
    };
    std::fprintf(stderr, "[%s]\n%s\n", narrow(caption).c_str(), narrow(text).c_str());
    return 0;
}

}  // namespace platform
