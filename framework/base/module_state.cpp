#include "framework/base/module_state.h"

#include "framework/host/host_bridge.h"

namespace vb {
uint32_t hostVersion = 0;
void* moduleHandle = nullptr;
void* resourceInstance = nullptr;

namespace {
uint32_t commandCount = 0;   // commands begun so far
uint32_t activeCommand = 0;  // 0 outside a command
bool documentKnown = false;
int16_t document = 0;
}  // namespace

CommandScope::CommandScope() : opened_(activeCommand == 0) {
    if (!opened_) return;
    if (++commandCount == 0) ++commandCount;  // 0 means "no command"
    activeCommand = commandCount;
    documentKnown = false;
}

CommandScope::~CommandScope() {
    if (opened_) activeCommand = 0;
}

uint32_t CommandNumber() {
    return activeCommand;
}

int16_t CurrentDocument() {
    if (activeCommand != 0 && documentKnown) return document;
    const auto current = static_cast<int16_t>(host::GetCurrentEnigmaDocument());
    if (activeCommand != 0) {
        document = current;
        documentKnown = true;
    }
    return current;
}

}  // namespace vb
