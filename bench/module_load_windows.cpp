// The plug-in's load, start-up and unload in a Windows process (under Wine on Linux), measured
// against the load of a DLL with nothing in it. Prints one JSON object: microseconds per
// operation, averaged over the rounds.
//
// Usage: vb_module_load PLUGIN EMPTY_DLL [ROUNDS]   (Unix paths reach Windows through Z:)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/wine_path.h"

namespace {

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const char* const kExports[] = {"FinaleExtensionVersion",       "FinaleExtensionInit",
                                "FinaleExtensionEnumerate",     "FinaleExtensionEnumerate_UTF16",
                                "FinaleExtensionGetMenuStatus", "FinaleExtensionInvoke",
                                "FinaleExtensionTerminate"};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vb_module_load PLUGIN EMPTY_DLL [ROUNDS]\n");
        return 2;
    }
    const std::wstring plugin = support::WindowsPath(argv[1]),
                       empty = support::WindowsPath(argv[2]);
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 200;
    if (rounds < 1) return 2;
    double emptyLoad = 0, load = 0, startup = 0, unload = 0;
    for (int r = -1; r < rounds; ++r) {  // round -1 warms the file cache and is not counted
        double t = Seconds();
        HMODULE none = LoadLibraryW(empty.c_str());
        const double emptyTime = Seconds() - t;
        if (none == nullptr) {
            std::fprintf(stderr, "vb_module_load: cannot load %s\n", argv[2]);
            return 1;
        }
        FreeLibrary(none);

        t = Seconds();
        HMODULE module = LoadLibraryW(plugin.c_str());
        if (module == nullptr) {
            std::fprintf(stderr, "vb_module_load: cannot load %s\n", argv[1]);
            return 1;
        }
        for (const char* name : kExports) {
            if (GetProcAddress(module, name) == nullptr) {
                std::fprintf(stderr, "vb_module_load: %s lacks %s\n", argv[1], name);
                return 1;
            }
        }
        const double loadTime = Seconds() - t;

        t = Seconds();
        Export<uint32_t (*)(uint32_t)>(module, "FinaleExtensionVersion")(0x19000000);
        uint32_t flags = 0;
        Export<int32_t (*)(void*, uint32_t*)>(module, "FinaleExtensionInit")(nullptr, &flags);
        uint8_t record[0x304] = {};
        Export<int16_t (*)(void*, int16_t, void*)>(module, "FinaleExtensionEnumerate_UTF16")(
            nullptr, 0, record);
        Export<int32_t (*)(void*, void*, void*)>(module, "FinaleExtensionGetMenuStatus")(
            nullptr, nullptr, nullptr);
        const double startupTime = Seconds() - t;

        t = Seconds();
        Export<void (*)()>(module, "FinaleExtensionTerminate")();
        FreeLibrary(module);
        const double unloadTime = Seconds() - t;
        if (r < 0) continue;
        emptyLoad += emptyTime;
        load += loadTime;
        startup += startupTime;
        unload += unloadTime;
    }
    const double us = 1e6 / rounds;
    std::printf(
        "{\"rounds\": %d, \"empty_load_us\": %.3f, \"load_us\": %.3f, \"startup_us\": %.3f, "
        "\"unload_us\": %.3f}\n",
        rounds, emptyLoad * us, load * us, startup * us, unload * us);
    return 0;
}
