#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

namespace {

TEST(GateHost, RunsAGateByPathAndTakesItsStep) {
    HostFixture f(2);
    f.setBasisState(1);
    f.run("basic\\cnotgate", {0, 1});
    EXPECT_EQ(f.live.amplitudes[3].real, 1.0);
    ASSERT_EQ(f.steps.size(), 1u);
    EXPECT_EQ(f.steps[0].text, "cnot ( 0, 1 )");
    EXPECT_EQ(f.steps[0].depth, 1);
    EXPECT_EQ(f.host.nestingDepth(), 0);
}

} // namespace
