#include "gates/seeker/searchiterations.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using amplex::seeker::searchIterations;

std::vector<std::int32_t> searchBlock(int from, int to, std::int32_t value) {
    return {from, to, 6, value, -1, -1, -1, -1, -1};
}

TEST(Search, IterationCountFollowsTheRangeSize) {
    const int expected[] = {1, 1, 1, 2, 2, 3, 4, 6, 8, 11, 15, 21, 30, 42, 59, 83};
    for (int m = 1; m <= 16; ++m) {
        EXPECT_EQ(searchIterations(m, 6), expected[m - 1]) << "m = " << m;
    }
    EXPECT_EQ(searchIterations(4, 1), 4);
    EXPECT_EQ(searchIterations(4, 0), 0);
    EXPECT_EQ(searchIterations(4, -1), 1); // count is unsigned: 2^32 - 1 values
}

TEST(Search, FindsTheMarkedValueOnFourQubits) {
    HostFixture f(4);
    f.run("seeker\\seeker", searchBlock(0, 3, 5));
    for (std::uint32_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(f.live.amplitudes[i].real, i == 5 ? 0.953125 : 0.078125, 1e-12) << i;
        EXPECT_NEAR(f.live.amplitudes[i].imag, 0.0, 1e-12) << i;
    }
    EXPECT_NEAR(f.live.amplitudes[5].norm(), 0.908447265625, 1e-12);
}

TEST(Search, StepsComeNestedAfterTheirSubSteps) {
    HostFixture f(4);
    f.run("seeker\\seeker", searchBlock(0, 3, 5));
    std::vector<HostFixture::Step> expected;
    const auto hadamardRange = [&](int depth) {
        for (int k = 0; k < 4; ++k) {
            expected.push_back({"Hadamard ( " + std::to_string(k) + " )", depth + 1});
        }
        expected.push_back({"Hadamardrange ( 0 - 3 )", depth});
    };
    hadamardRange(2);
    for (int step = 0; step < 2; ++step) {
        expected.push_back({"Signoracle", 3});
        hadamardRange(3);
        expected.push_back({"Signoracle", 3});
        hadamardRange(3);
        expected.push_back({"Seekerstep ( 0 - 3 )", 2});
    }
    expected.push_back({"Seeker ( 2 )", 1});
    ASSERT_EQ(f.steps.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(f.steps[k].text, expected[k].text) << k;
        EXPECT_EQ(f.steps[k].depth, expected[k].depth) << k;
    }
}

TEST(Search, CountZeroRunsNoStep) {
    HostFixture f(3);
    f.run("seeker\\seeker", {0, 2, 0});
    EXPECT_EQ(f.texts(),
              (std::vector<std::string>{"Hadamard ( 0 )", "Hadamard ( 1 )", "Hadamard ( 2 )",
                                        "Hadamardrange ( 0 - 2 )", "Seeker ( 0 )"}));
    EXPECT_NEAR(f.live.amplitudes[7].real, 1.0 / std::sqrt(8.0), 1e-15);
}

TEST(Search, RefusesRangesOutsideTheRegister) {
    HostFixture f(3);
    f.run("seeker\\seeker", searchBlock(0, 3, 0));
    f.run("seeker\\seeker", searchBlock(2, 1, 0));
    f.run("seeker\\seekerstep", searchBlock(-1, 2, 0));
    EXPECT_TRUE(f.steps.empty());
    EXPECT_EQ(f.live.amplitudes[0].real, 1.0);
}

TEST(SearchStep, AmplifiesTheMarkedValueTimesMinusOne) {
    HostFixture f(2);
    f.run("basic\\hadamardrange", {0, 1});
    f.run("seeker\\seekerstep", searchBlock(0, 1, 3));
    EXPECT_NEAR(f.live.amplitudes[3].real, -1.0, 1e-15);
    EXPECT_NEAR(f.live.probabilitySum(), 1.0, 1e-15);
    EXPECT_EQ(f.texts().back(), "Seekerstep ( 0 - 1 )");

    // Nothing marked (a value listed twice cancels): the superposition comes back negated.
    HostFixture g(2);
    g.run("basic\\hadamardrange", {0, 1});
    g.run("seeker\\seekerstep", {0, 1, 2, 3, 3});
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(g.live.amplitudes[i].real, -0.5, 1e-15) << i;
    }
}

} // namespace
