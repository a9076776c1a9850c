#include "outside_command.h"

#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "framework/base/module_state.h"

namespace {

int allowed = 0;

std::string Demangled(const char* name) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return status == 0 && readable != nullptr ? std::string(readable.get()) : std::string(name);
}

void FailOutsideCommand(const char* part) {
    if (allowed > 0) return;
    ADD_FAILURE() << "the plug-in read its " << Demangled(part)
                  << " outside a command, where every such read answers nothing: open a "
                     "shell::CommandScope as FinaleExtensionInvoke does, or an OutsideCommand "
                     "where the test means to read outside one";
}

// Set before the first test runs.
[[maybe_unused]] const bool installed = [] {
    vb::outsideCommand = FailOutsideCommand;
    return true;
}();

}  // namespace

OutsideCommand::OutsideCommand() {
    ++allowed;
}

OutsideCommand::~OutsideCommand() {
    --allowed;
}
