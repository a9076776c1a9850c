#pragma once
// The plug-in module as the notation program sees it: a library file with seven exports,
// loaded into the host's process and called in the program's order.
#include <cstdint>
#include <string>

namespace driver {

class PluginModule {
  public:
    PluginModule() = default;
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;
    ~PluginModule();

    // Loads the library and finds all seven exports; on failure `error` says what is missing.
    bool Load(const std::string& path, std::string* error);
    void Unload();
    bool IsLoaded() const { return module_ != nullptr; }
    // The loaded library's handle (HMODULE on Windows, dlopen handle elsewhere).
    void* Handle() const { return module_; }

    uint32_t Version(uint32_t hostVersion) const { return version_(hostVersion); }
    int32_t Init(uint32_t* flags) const { return init_(nullptr, flags); }
    int16_t Enumerate(int16_t index, void* record) const {
        return enumerate_(nullptr, index, record);
    }
    int16_t EnumerateUTF16(int16_t index, void* record) const {
        return enumerateUTF16_(nullptr, index, record);
    }
    int32_t GetMenuStatus() const { return menuStatus_(nullptr, nullptr, nullptr); }
    int16_t Invoke(void* window, const void* region) const {
        return invoke_(window, nullptr, region);
    }
    void Terminate() const { terminate_(); }

  private:
    void* module_ = nullptr;
    uint32_t (*version_)(uint32_t) = nullptr;
    int32_t (*init_)(void*, uint32_t*) = nullptr;
    int16_t (*enumerate_)(void*, int16_t, void*) = nullptr;
    int16_t (*enumerateUTF16_)(void*, int16_t, void*) = nullptr;
    int32_t (*menuStatus_)(void*, void*, void*) = nullptr;
    int16_t (*invoke_)(void*, void*, const void*) = nullptr;
    void (*terminate_)() = nullptr;
};

}  // namespace driver
