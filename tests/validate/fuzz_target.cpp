// libFuzzer target: every input is decoded into a case (a score, the region record, the host
// version, the user's answers and a schedule of host faults) and run through the built plug-in's
// exports. A broken invariant, or a difference from the model where it speaks, ends the run as
// a crash, so libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "child_process.h"
#include "fuzz_case.h"

namespace {

const validate::Plugin* plugin = nullptr;

}  // namespace

// The plug-in beside this program, or the one VB_FUZZ_PLUGIN names.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static validate::Plugin loaded;
    const char* named = std::getenv("VB_FUZZ_PLUGIN");
    const std::string file =
        named != nullptr
            ? named
            : (std::filesystem::path(validate::SelfPath()).parent_path() / "vorlanbrisane64.fxt")
                  .string();
    std::string error;
    if (!loaded.Load(file, &error)) {
        std::fprintf(stderr, "vb_fuzz: %s\n", error.c_str());
        std::exit(2);
    }
    plugin = &loaded;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const validate::FuzzCase fuzzCase = validate::DecodeFuzzCase(data, size);
    const std::vector<std::string> failures = validate::JudgeFuzzCase(*plugin, fuzzCase);
    if (failures.empty()) return 0;
    for (const std::string& f : failures) std::fprintf(stderr, "vb_fuzz: %s\n", f.c_str());
    std::abort();
}
