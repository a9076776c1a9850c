#include "framework/base/module_state.h"

#include "framework/host/host_bridge.h"

namespace vb {
void* resourceInstance = nullptr;

int16_t DocumentReads::Document() {
    if (!known_) {
        document_ = static_cast<int16_t>(host::GetCurrentEnigmaDocument());
        known_ = true;
    }
    return document_;
}

int16_t CurrentDocument() {
    DocumentReads* reads = DocumentReads::Running();
    return reads != nullptr ? reads->Document() : 0;
}

}  // namespace vb
