// The search and its step run by path: iteration counts, amplitudes, and the nested steps.

#include "gates/seeker/searchiterations.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using amplex::seeker::searchIterations;
using Steps = std::vector<std::string>;

TEST(Search, IterationCountFollowsTheRangeSize) {
    const int expected[] = {1, 1, 1, 2, 2, 3, 4, 6, 8, 11, 15, 21, 30, 42, 59, 83};
    for (int m = 1; m <= 16; ++m) {
        EXPECT_EQ(searchIterations(m, 6), expected[m - 1]) << "m = " << m;
    }
    EXPECT_EQ(searchIterations(4, 1), 4);
    EXPECT_EQ(searchIterations(4, -1), 1); // count is unsigned: 2^32 - 1 values
}

TEST(Search, FindsTheMarkedValueAfterTheNestedStepsOfTwoIterations) {
    HostFixture f(4);
    f.run("seeker\\seeker", {0, 3, 6, 5, -1, -1, -1, -1, -1});
    for (std::uint32_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(f.live.amplitudes[i].real, i == 5 ? 0.953125 : 0.078125, 1e-12) << i;
        EXPECT_NEAR(f.live.amplitudes[i].imag, 0.0, 1e-12) << i;
    }

    std::vector<std::pair<int, std::string>> expected, actual;
    const auto hadamardRange = [&](int depth) {
        for (int k = 0; k < 4; ++k) {
            expected.emplace_back(depth + 1, "Hadamard ( " + std::to_string(k) + " )");
        }
        expected.emplace_back(depth, "Hadamardrange ( 0 - 3 )");
    };
    hadamardRange(2);
    for (int step = 0; step < 2; ++step) {
        for (int half = 0; half < 2; ++half) {
            expected.emplace_back(3, "Signoracle");
            hadamardRange(3);
        }
        expected.emplace_back(2, "Seekerstep ( 0 - 3 )");
    }
    expected.emplace_back(1, "Seeker ( 2 )");
    for (const auto& step : f.steps) {
        actual.emplace_back(step.depth, step.text);
    }
    EXPECT_EQ(actual, expected);
}

TEST(Search, CountZeroRunsNoIteration) {
    HostFixture f(3);
    f.run("seeker\\seeker", {0, 2, 0});
    EXPECT_EQ(f.texts(), (Steps{"Hadamard ( 0 )", "Hadamard ( 1 )", "Hadamard ( 2 )",
                                "Hadamardrange ( 0 - 2 )", "Seeker ( 0 )"}));
    EXPECT_NEAR(f.live.amplitudes[7].real, 1.0 / std::sqrt(8.0), 1e-15);
}

TEST(SearchStep, AmplifiesTheMarkedValueTimesMinusOne) {
    HostFixture f(2);
    f.run("basic\\hadamardrange", {0, 1});
    f.run("seeker\\seekerstep", {0, 1, 6, 3, -1, -1, -1, -1, -1});
    EXPECT_NEAR(f.live.amplitudes[3].real, -1.0, 1e-15);
    EXPECT_NEAR(f.live.probabilitySum(), 1.0, 1e-15);
    EXPECT_EQ(f.texts().back(), "Seekerstep ( 0 - 1 )");
    // Nothing marked (a value listed twice cancels): the superposition comes back negated.
    f.setBasisState(0);
    f.run("basic\\hadamardrange", {0, 1});
    f.run("seeker\\seekerstep", {0, 1, 2, 3, 3});
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(f.live.amplitudes[i].real, -0.5, 1e-15) << i;
    }
}

} // namespace
