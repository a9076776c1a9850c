#include "framework/host/host_bridge.h"

#include "platform/platform.h"

namespace host {
namespace {

// The host module, looked up once (also when nothing was found).
platform::ModuleHandle GetHostModule() {
    static bool done = false;
    static platform::ModuleHandle module = nullptr;
    if (!done) {
        done = true;
        module = platform::GetModuleHandleA("FINALE.EXE");
        if (module == nullptr) module = platform::GetModuleHandleA("FINDEMO.EXE");
    }
    return module;
}

// One lazily resolved host export. The flag is set before the lookup so that a failed lookup is
// never repeated.
template <typename Fn>
struct HostFunction {
    const char* name;
    bool done = false;
    Fn entry = nullptr;

    Fn Get() {
        if (!done) {
            done = true;
            platform::ModuleHandle module = GetHostModule();
            if (module != nullptr) {
                entry = reinterpret_cast<Fn>(platform::GetProcAddress(module, name));
            }
        }
        return entry;
    }
};

using LoadFn = int16_t (*)(uint32_t, uint16_t*, void*, int32_t*, uint32_t);
using SaveFn = int16_t (*)(uint32_t, uint16_t*, void*, int32_t, uint32_t);
using DeleteFn = int16_t (*)(uint32_t, uint16_t*, uint32_t);
using SlotFn = int16_t (*)(uint16_t, uint16_t, uint32_t);
using FontNameFn = int16_t (*)(uint16_t, char*, uint32_t);
using FontNameUTF16Fn = int16_t (*)(uint16_t, char16_t*, int32_t, uint32_t);
using DocumentFn = int16_t (*)(uint32_t);

HostFunction<LoadFn> loadEData{"FX_LoadEData"};
HostFunction<SaveFn> saveEData{"FX_SaveEData"};
HostFunction<SaveFn> createEData{"FX_CreateEData"};
HostFunction<DeleteFn> deleteEData{"FX_DeleteEData"};
HostFunction<LoadFn> nextEData{"FX_NextEData"};
HostFunction<SlotFn> slotToInst{"FX_SlotToInst"};
HostFunction<SlotFn> instToSlot{"FX_InstToSlot"};
HostFunction<FontNameFn> fontNumToName{"FX_FontNumToName"};
HostFunction<FontNameUTF16Fn> fontNumToNameUTF16{"FX_FontNumToName_UTF16"};
HostFunction<DocumentFn> currentDocument{"FX_GetCurrentEnigmaDocument"};

constexpr int32_t kFontNameUnits = 512;

}  // namespace

int32_t LoadEData(uint32_t tag, uint16_t* key, void* buffer, int32_t* size, uint32_t version) {
    auto fn = loadEData.Get();
    return fn ? fn(tag, key, buffer, size, version) : 0;
}

int32_t SaveEData(uint32_t tag, uint16_t* key, void* buffer, int32_t size, uint32_t version) {
    auto fn = saveEData.Get();
    return fn ? fn(tag, key, buffer, size, version) : 0;
}

int32_t CreateEData(uint32_t tag, uint16_t* key, void* buffer, int32_t size, uint32_t version) {
    auto fn = createEData.Get();
    return fn ? fn(tag, key, buffer, size, version) : 0;
}

int32_t DeleteEData(uint32_t tag, uint16_t* key, uint32_t version) {
    auto fn = deleteEData.Get();
    return fn ? fn(tag, key, version) : 0;
}

int32_t NextEData(uint32_t tag, uint16_t* key, void*, int32_t*, uint32_t version) {
    auto fn = nextEData.Get();
    return fn ? fn(tag, key, nullptr, nullptr, version) : 0;
}

int32_t SlotToInst(uint16_t slot, uint16_t system) {
    auto fn = slotToInst.Get();
    return fn ? fn(slot, system, DATA_VERSION) : 0;
}

int32_t InstToSlot(uint16_t staff) {
    auto fn = instToSlot.Get();
    return fn ? fn(staff, 0, DATA_VERSION) : 0;
}

int32_t FontNumToName(uint16_t font, char* name256) {
    auto fn = fontNumToName.Get();
    return fn ? fn(font, name256, DATA_VERSION) : 0;
}

int32_t FontNumToNameUTF16(uint16_t font, char16_t* name512) {
    auto fn = fontNumToNameUTF16.Get();
    return fn ? fn(font, name512, kFontNameUnits, DATA_VERSION) : 0;
}

int32_t GetCurrentEnigmaDocument() {
    auto fn = currentDocument.Get();
    return fn ? fn(DATA_VERSION) : 0;
}

}  // namespace host
