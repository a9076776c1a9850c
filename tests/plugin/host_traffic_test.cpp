// What one command costs the host, counted: the built plug-in runs on generated scores through
// its exports, and the stand-in host counts every call it makes.
#include <gtest/gtest.h>

#include <string>

#include "score_generator.h"
#include "session.h"
#include "standin/host.h"

namespace {

using driver::ScoreShape;
using driver::ScoreSize;

struct Traffic {
    uint64_t calls = 0;
    int16_t result = 0;
};

Traffic CommandOn(ScoreShape shape, const ScoreSize& size) {
    standin::Host& host = standin::Host::Instance();
    host.Reset();
    const driver::Selection selection = driver::GenerateScore(host, shape, size);
    driver::Session session;
    std::string error;
    EXPECT_TRUE(session.Start(VB_PLUGIN_PATH, 0x19000000, &error)) << error;
    host.ClearCalls();
    Traffic traffic;
    traffic.result = session.Invoke(selection, driver::ScriptedAnswers({"yes"})).result;
    traffic.calls = host.CallCount();
    session.Stop();
    return traffic;
}

// At most three calls per group and six per staff, and a fixed 200 for the rest.
uint64_t Bound(const ScoreSize& size) {
    return 3 * static_cast<uint64_t>(size.groups) + 6 * static_cast<uint64_t>(size.staves) + 200;
}

TEST(HostTraffic, GrowsWithGroupsPlusStavesAndDoublesAtMostWithTheScore) {
    const ScoreSize small{120, 500, 400}, doubled{240, 1000, 400};
    for (ScoreShape shape : driver::kScoreShapes) {
        SCOPED_TRACE(std::string(driver::ShapeName(shape)));
        const Traffic a = CommandOn(shape, small);
        const Traffic b = CommandOn(shape, doubled);
        EXPECT_EQ(a.result, 1);
        EXPECT_EQ(b.result, 1);
        EXPECT_LE(a.calls, Bound(small));
        EXPECT_LE(b.calls, Bound(doubled));
        EXPECT_LE(b.calls, 2 * a.calls) << a.calls << " calls, then " << b.calls;
    }
}

}  // namespace
