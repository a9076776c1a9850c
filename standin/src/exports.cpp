// The host functions under the names the plug-in looks up in FINALE.EXE / FINDEMO.EXE. Each one
// forwards to the process's Host; nothing escapes across the C boundary.
#include <cstdint>

#include "standin/host.h"

#if defined(_WIN32)
#define FX_EXPORT extern "C" __declspec(dllexport)
#else
#define FX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
template <typename F>
int16_t Guarded(F&& f) noexcept {
    standin::Host& host = standin::Host::Instance();
    support::CallObserver* observer = host.GetCallObserver();
    if (observer != nullptr) observer->Entered();
    int16_t result = 0;
    try {
        result = f(host);
    } catch (...) {
        result = 0;
    }
    if (observer != nullptr) observer->Left();
    return result;
}
}  // namespace

FX_EXPORT int16_t FX_LoadEData(uint32_t tag, uint16_t* key, void* buffer, int32_t* size,
                               uint32_t version) noexcept {
    return Guarded([&](standin::Host& h) { return h.LoadEData(tag, key, buffer, size, version); });
}

FX_EXPORT int16_t FX_SaveEData(uint32_t tag, uint16_t* key, void* buffer, int32_t size,
                               uint32_t version) noexcept {
    return Guarded([&](standin::Host& h) { return h.SaveEData(tag, key, buffer, size, version); });
}

FX_EXPORT int16_t FX_CreateEData(uint32_t tag, uint16_t* key, void* buffer, int32_t size,
                                 uint32_t version) noexcept {
    return Guarded(
        [&](standin::Host& h) { return h.CreateEData(tag, key, buffer, size, version); });
}

FX_EXPORT int16_t FX_DeleteEData(uint32_t tag, uint16_t* key, uint32_t version) noexcept {
    return Guarded([&](standin::Host& h) { return h.DeleteEData(tag, key, version); });
}

FX_EXPORT int16_t FX_NextEData(uint32_t tag, uint16_t* key, void* buffer, int32_t* size,
                               uint32_t version) noexcept {
    return Guarded([&](standin::Host& h) { return h.NextEData(tag, key, buffer, size, version); });
}

FX_EXPORT int16_t FX_SlotToInst(uint16_t slot, uint16_t system, uint32_t version) noexcept {
    return Guarded([&](standin::Host& h) { return h.SlotToInst(slot, system, version); });
}

FX_EXPORT int16_t FX_InstToSlot(uint16_t staff, uint16_t system, uint32_t version) noexcept {
    return Guarded([&](standin::Host& h) { return h.InstToSlot(staff, system, version); });
}

FX_EXPORT int16_t FX_FontNumToName(uint16_t font, char* name, uint32_t version) noexcept {
    return Guarded([&](standin::Host& h) { return h.FontNumToName(font, name, version); });
}

FX_EXPORT int16_t FX_FontNumToName_UTF16(uint16_t font, char16_t* name, int32_t capacity,
                                         uint32_t version) noexcept {
    return Guarded(
        [&](standin::Host& h) { return h.FontNumToNameUTF16(font, name, capacity, version); });
}

FX_EXPORT int16_t FX_GetCurrentEnigmaDocument(uint32_t version) noexcept {
    return Guarded([&](standin::Host& h) { return h.GetCurrentEnigmaDocument(version); });
}
