// What one command costs the host, counted: the built plug-in runs on generated scores through
// its exports, and the stand-in host counts every call it makes.
#include <gtest/gtest.h>

#include <string>

#include "score_generator.h"

namespace {

using driver::ScoreShape;

TEST(HostTraffic, GrowsWithGroupsPlusStavesAndDoublesAtMostWithTheScore) {
    const auto& [small, doubled] = driver::kDoubledScores;
    for (ScoreShape shape : driver::kScoreShapes) {
        SCOPED_TRACE(std::string(driver::ShapeName(shape)));
        std::string error;
        const auto a = driver::CountCommand(VB_PLUGIN_PATH, shape, small, &error);
        ASSERT_TRUE(a) << error;
        const auto b = driver::CountCommand(VB_PLUGIN_PATH, shape, doubled, &error);
        ASSERT_TRUE(b) << error;
        EXPECT_EQ(a->result, 1);
        EXPECT_EQ(b->result, 1);
        EXPECT_LE(a->hostCalls, driver::kHostCallBound.Of(small));
        EXPECT_LE(b->hostCalls, driver::kHostCallBound.Of(doubled));
        EXPECT_LE(b->hostCalls, 2 * a->hostCalls)
            << a->hostCalls << " calls, then " << b->hostCalls;
    }
}

}  // namespace
