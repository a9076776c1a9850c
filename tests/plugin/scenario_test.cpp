// The command scenarios shared with the Windows suite, run through the built plug-in's exports
// in this process's stand-in host.
#include <gtest/gtest.h>

#include <filesystem>

#include "scenario.h"

namespace {

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, BehavesAsWritten) {
    const driver::ScenarioOutcome outcome = driver::RunScenarioFile(GetParam(), VB_PLUGIN_PATH);
    std::string failures;
    for (const auto& f : outcome.failures) failures += "  - " + f + "\n";
    EXPECT_TRUE(outcome.passed) << outcome.name << "\n" << failures << outcome.transcript;
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = std::filesystem::path(info.param).stem().string();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Shared, Scenario,
                         ::testing::ValuesIn(driver::ScenarioFiles(VB_SCENARIO_DIR)), TestName);

}  // namespace
