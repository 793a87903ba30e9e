// seeker\amplify run by path: the steps it counts for its values, the success it reaches, and
// the cases where there is nothing to amplify.

#include "gates/seeker/searchiterations.h"
#include "tests/support/dialogdriver.h"
#include "tests/support/hostfixture.h"
#include "tests/support/referencesim.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using amplex::seeker::amplifyIterations;
using Steps = std::vector<std::string>;

std::vector<std::int32_t> searchBlock(int m, const std::vector<std::int32_t>& values) {
    std::vector<std::int32_t> block = {0, m - 1, static_cast<std::int32_t>(values.size())};
    block.insert(block.end(), values.begin(), values.end());
    return block;
}

// The probability held by the basis states whose value is listed (the whole register searched).
double success(const HostFixture& f, const std::vector<std::int32_t>& values) {
    double p = 0.0;
    for (const std::int32_t v : values) {
        p += f.live.amplitudes[v].norm();
    }
    return p;
}

TEST(Amplify, ReachesTheBestSuccessForOneTwoAndSixValues) {
    const std::vector<std::int32_t> values = {5, 9, 1, 2, 3, 7};
    for (const int m : {4, 8, 12}) {
        for (const std::size_t count : {1u, 2u, 6u}) {
            SCOPED_TRACE(testing::Message() << count << " of 2^" << m);
            const std::vector<std::int32_t> marked(values.begin(), values.begin() + count);
            HostFixture f(m);
            f.run("seeker\\amplify", searchBlock(m, marked));
            const double theta = std::asin(std::sqrt(count / std::pow(2.0, m)));
            const int k = amplifyIterations(m, count);
            EXPECT_EQ(f.texts().back(), "Amplify ( " + std::to_string(k) + " )");
            EXPECT_NEAR(success(f, marked), std::pow(std::sin((2 * k + 1) * theta), 2), 1e-10);
            // The counted k leaves at most the marked share itself unfound.
            EXPECT_GT(success(f, marked), 1.0 - count / std::pow(2.0, m));
        }
    }
}

// One marked value of 4096: the search that assumes six values stops far short.
TEST(Amplify, FindsOneValueOfTwelveQubitsWhereTheSixValueSearchStopsShort) {
    // One host at a time: the plug-ins call back the one made last.
    const auto run = [](const char* path, const std::vector<std::int32_t>& block) {
        HostFixture f(12);
        f.run(path, block);
        return std::pair{f.texts().back(), success(f, {1234})};
    };
    const auto [amplified, found] = run("seeker\\amplify", searchBlock(12, {1234}));
    const auto [sought, short_] = run("seeker\\seeker", {0, 11, 6, 1234, -1, -1, -1, -1, -1});
    EXPECT_EQ(amplified, "Amplify ( 50 )");
    EXPECT_EQ(sought, "Seeker ( 21 )");
    EXPECT_GT(found, 0.999);
    EXPECT_NEAR(short_, 0.3875, 0.0005);
}

// -1, repeats and values beyond the range count for nothing; the steps see each value once (a
// repeat would cancel itself in the sign oracle).
TEST(Amplify, CountsEachValueInRangeOnce) {
    HostFixture f(4);
    f.run("seeker\\amplify", searchBlock(4, {5}));
    const auto once = f.texts();
    const ReferenceSim state(f.live);
    f.setBasisState(0);
    f.steps.clear();
    f.run("seeker\\amplify", {0, 3, 6, 5, 5, -1, 16, 5, -7});
    EXPECT_EQ(f.texts(), once);
    EXPECT_EQ(f.texts().back(), "Amplify ( 3 )");
    EXPECT_EQ(state.distanceTo(f.live), 0.0);
    EXPECT_GT(success(f, {5}), 0.96);
}

TEST(Amplify, RunsNoStepWhenHalfOrMoreAreMarkedAndNothingWithoutValues) {
    {
        // Every value marked: the superposition is already all success.
        HostFixture all(2);
        all.run("seeker\\amplify", searchBlock(2, {0, 1, 2, 3}));
        EXPECT_EQ(all.texts().back(), "Amplify ( 0 )");
        EXPECT_NEAR(success(all, {0, 1, 2, 3}), 1.0, 1e-15);
        EXPECT_EQ(amplifyIterations(3, 5), 0);
    }
    // No value in range: the register stays as it is and no step is recorded.
    HostFixture none(3);
    none.run("seeker\\amplify", {0, 2, 3, -1, 8, 9});
    none.run("seeker\\amplify", {0, 2, -4});
    EXPECT_TRUE(none.steps.empty());
    EXPECT_EQ(none.live.amplitudes[0].real, 1.0);
    DialogDriver d(none.host, "seeker\\amplify");
    d.setText(1003, "8");
    d.execute();
    EXPECT_EQ(d.explanation(), "no value lies in 0 .. 7: nothing to search for");
    EXPECT_TRUE(none.steps.empty());
}

} // namespace
