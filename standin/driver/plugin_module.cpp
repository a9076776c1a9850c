#include "plugin_module.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <string>

namespace driver {
namespace {

#if defined(_WIN32)
void* OpenLibrary(const std::string& path, std::string* error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr && error != nullptr) {
        *error = path + ": cannot load the plug-in (error " + std::to_string(GetLastError()) + ")";
    }
    return reinterpret_cast<void*>(module);
}
void* FindSymbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
void CloseLibrary(void* module) {
    FreeLibrary(static_cast<HMODULE>(module));
}
#else
void* OpenLibrary(const std::string& path, std::string* error) {
    // A path without a slash would be searched for; the plug-in is always named by its file.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr && error != nullptr) {
        const char* reason = dlerror();
        *error = path + ": cannot load the plug-in (" + (reason ? reason : "unknown reason") + ")";
    }
    return module;
}
void* FindSymbol(void* module, const char* name) {
    return dlsym(module, name);
}
void CloseLibrary(void* module) {
    dlclose(module);
}
#endif

template <typename Fn>
bool Resolve(void* module, const char* name, Fn& entry, std::string* missing) {
    entry = reinterpret_cast<Fn>(FindSymbol(module, name));
    if (entry == nullptr && missing->empty()) *missing = name;
    return entry != nullptr;
}

}  // namespace

PluginModule::~PluginModule() {
    Unload();
}

bool PluginModule::Load(const std::string& path, std::string* error) {
    Unload();
    module_ = OpenLibrary(path, error);
    if (module_ == nullptr) return false;
    std::string missing;
    Resolve(module_, "FinaleExtensionVersion", version_, &missing);
    Resolve(module_, "FinaleExtensionInit", init_, &missing);
    Resolve(module_, "FinaleExtensionEnumerate", enumerate_, &missing);
    Resolve(module_, "FinaleExtensionEnumerate_UTF16", enumerateUTF16_, &missing);
    Resolve(module_, "FinaleExtensionGetMenuStatus", menuStatus_, &missing);
    Resolve(module_, "FinaleExtensionInvoke", invoke_, &missing);
    Resolve(module_, "FinaleExtensionTerminate", terminate_, &missing);
    if (!missing.empty()) {
        if (error != nullptr) *error = path + ": the plug-in does not export " + missing;
        Unload();
        return false;
    }
    return true;
}

void PluginModule::Unload() {
    if (module_ != nullptr) CloseLibrary(module_);
    module_ = nullptr;
}

}  // namespace driver
