#include "framework/base/module_state.h"

#include "framework/host/host_bridge.h"

namespace vb {
void* resourceInstance = nullptr;
void (*outsideCommand)(const char* part) = nullptr;

int16_t DocumentReads::Document() {
    if (!known_) {
        document_ = static_cast<int16_t>(host::GetCurrentEnigmaDocument());
        known_ = true;
    }
    return document_;
}

int16_t CurrentDocument() {
    return DocumentReads::InCommand() ? DocumentReads::Running()->Document() : 0;
}

}  // namespace vb
