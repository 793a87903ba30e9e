// The oracles run by path, and the range checks of every algorithm gate. Flag oracle block:
// from, to, count, values..., target qubit. Sign oracle block: from, to, count, values...

#include "tests/support/hostfixture.h"
#include "tests/support/referencesim.h"
#include "tests/support/resultboxcatcher.h"

#include <gtest/gtest.h>

namespace {

using Block = std::vector<std::int32_t>;

// Repeated, negative and too large values and a target inside the range are the kernel's
// business (kernels_test): the gate hands it its values unchanged.
TEST(FlagOracle, FlipsTheTargetBehindTheValuesWhereTheFunctionIsOne) {
    HostFixture f(3);
    const ReferenceSim before = ReferenceSim::random(3, 1);
    before.loadInto(f.live);
    f.run("oracle\\flagoracle", {0, 1, 6, 0, -1, -1, -1, -1, -1, 2});
    ReferenceSim expected = before;
    std::swap(expected.state[0], expected.state[4]); // x = 0 on qubits 0, 1 flips qubit 2
    EXPECT_EQ(expected.distanceTo(f.live), 0.0);
    ASSERT_EQ(f.steps.size(), 1u);
    EXPECT_EQ(f.steps[0].text, "Flagoracle");
    EXPECT_EQ(f.steps[0].depth, 1);
}

TEST(SignOracle, NegatesEachValueOncePerListing) {
    HostFixture f(5);
    const ReferenceSim before = ReferenceSim::random(5, 3);
    before.loadInto(f.live);
    // On qubits 1 .. 3: 3 listed twice cancels, 7 listed three times counts, 4000 is out of
    // range and must not be looked for outside the array.
    f.run("oracle\\signoracle", {1, 3, 7, 3, 5, 3, 7, 7, 7, 4000});
    // The search step's block: where qubits 1 .. 3 are all 0, whatever the others hold.
    f.run("oracle\\signoracle", {1, 3, 1, 0});
    ReferenceSim expected = before;
    for (std::uint32_t i = 0; i < 32; ++i) {
        const std::uint32_t x = (i >> 1) & 7u;
        if (x == 0 || x == 5 || x == 7) {
            expected.state[i] = -expected.state[i];
        }
    }
    EXPECT_EQ(expected.distanceTo(f.live), 0.0);
    EXPECT_EQ(f.texts(), (std::vector<std::string>{"Signoracle", "Signoracle"}));
}

// A bad block moves nothing, records nothing and shows no box; an oracle with a count of 0
// moves nothing but records its step.
TEST(AlgorithmGates, MoveNothingOnBadBlocksOrACountOfZero) {
    const ResultBoxCatcher catcher;
    const auto check = [](const char* path, const std::vector<Block>& blocks,
                          std::size_t steps = 0) {
        for (const auto& block : blocks) {
            SCOPED_TRACE(path + testing::PrintToString(block));
            HostFixture f(3);
            const ReferenceSim before = ReferenceSim::random(3, 5);
            before.loadInto(f.live);
            f.run(path, block);
            EXPECT_EQ(f.steps.size(), steps);
            EXPECT_EQ(before.distanceTo(f.live), 0.0);
        }
    };
    check("oracle\\flagoracle", {{0, 1, 0, 2}}, 1); // the target is then at [3]
    check("oracle\\signoracle", {{0, 2, 0}}, 1);
    const std::vector<Block> flags = {
        {0, 1, 1, 0, 3},  {0, 1, 1, 0, -1}, {0, 1, 1, 0, 999}, {0, 3, 1, 0, 2},
        {-1, 1, 1, 0, 2}, {2, 1, 1, 0, 0},  {0, 1, -2, 0, 2},  {0, 1, (1 << 26) + 1, 0, 2}};
    check("oracle\\flagoracle", flags);
    // A count above 2^26 is refused before any value is read behind the short block.
    check("oracle\\signoracle",
          {{0, 3, 1, 0}, {-1, 2, 1, 0}, {2, 1, 1, 0}, {0, 1, (1 << 26) + 1, 0}});
    check("seeker\\seekerstep", {{0, 3, 1, 0}, {-1, 2, 1, 0}});
    check("seeker\\seeker", {{0, 3, 1, 0}, {2, 1, 1, 0}});
    // A single qubit is no range for the driver either.
    check("shor\\shordriver", {{2, 2, 13, 15}, {2, 0, 13, 15}, {0, 3, 13, 15}, {-1, 2, 13, 15}});
    check("shor\\modules\\fracexpand", {{2, 1, 4, 15}, {0, 3, 4, 15}});
    EXPECT_TRUE(catcher.boxes.empty());
}

} // namespace
