// A host whose module is FINDEMO.EXE (no FINALE.EXE in the process): the plug-in finds the host
// functions there.
#include <gtest/gtest.h>

#include "scenario.h"

TEST(FindemoHost, TheCommandSplitsThroughTheSecondModuleName) {
    const auto outcome = driver::RunScenarioFile(
        std::string(VB_SCENARIO_DIR) + "/split-on-both-sides.json", VB_PLUGIN_PATH);
    EXPECT_TRUE(outcome.passed) << outcome.transcript;
}
