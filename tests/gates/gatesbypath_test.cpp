// The gates run by path through the real host: against the reference simulator on random
// states, their steps, their refusals, and the exact values that their arithmetic order fixes.

#include "core/modularpower.h"
#include "tests/support/hostfixture.h"
#include "tests/support/referencesim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <numbers>

namespace {

using amplex::kernels::modularPower;
using amplex::kernels::reduceModulo;
using Amp = ReferenceSim::Amplitude;
using Steps = std::vector<std::string>;

const double r = std::numbers::sqrt2 / 2.0;
const std::array<Amp, 4> H = {r, r, r, -r}, X = {0.0, 1.0, 1.0, 0.0};

std::vector<std::int32_t> rotation(int first, int second, double theta) {
    std::vector<std::int32_t> block = {first, second, 0, 0};
    amplex::putDouble(block.data() + 2, theta);
    return block;
}

// A gate run with a block or, when the block is empty, with `word` as the argument word.
struct GateCall {
    const char* path;
    std::vector<std::int32_t> block = {};
    std::intptr_t word = 0;

    void run(HostFixture& f) const {
        if (block.empty()) {
            f.run(path, word);
        } else {
            f.run(path, block);
        }
    }
};

TEST(Gates, MatchTheReferenceOnRandomStatesAndRecordOneStepOfTheirOwn) {
    unsigned seed = 1;
    const auto check = [&](const GateCall& call, const char* step,
                           const std::function<void(ReferenceSim&)>& reference) {
        SCOPED_TRACE(step);
        HostFixture f(6);
        const ReferenceSim before = ReferenceSim::random(6, seed++);
        before.loadInto(f.live);
        call.run(f);
        ReferenceSim expected = before;
        reference(expected);
        EXPECT_LT(expected.distanceTo(f.live), 1e-12);
        // What the gate leaves alone is not even rounded.
        const auto after = ReferenceSim(f.live).state;
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (expected.state[i] == before.state[i]) {
                EXPECT_EQ(after[i], before.state[i]) << i;
            }
        }
        ASSERT_FALSE(f.steps.empty());
        EXPECT_EQ(f.steps.back().text, step);
        EXPECT_EQ(f.steps.back().depth, 1);
        EXPECT_EQ(
            std::count_if(f.steps.begin(), f.steps.end(), [](auto& s) { return s.depth == 1; }), 1);
    };
    check({"basic\\cnotgate", {0, 3}}, "cnot ( 0, 3 )", [](auto& s) { s.matrix(3, X, 1 << 0); });
    check({"basic\\ctrlhadamard", {0, 3}}, "Hadamard controlled ( 0, 3 )",
          [](auto& s) { s.matrix(3, H, 1 << 0); });
    check({"basic\\hadamard", {}, 3}, "Hadamard ( 3 )", [](auto& s) { s.matrix(3, H); });
    check({"basic\\pieighth", {}, 2}, "Pi-eighth ( 2 )", [](auto& s) { s.t(2); });
    check({"shor\\modules\\ctrlrotate", rotation(1, 3, 0.7)},
          "Rotate 2 bits controlled ( bits: 1, 3, angle: 0.7)",
          [](auto& s) { s.controlledPhase(1, 3, 0.7); });
    // Equal qubits: the phase wherever that one qubit is 1.
    check({"shor\\modules\\ctrlrotate", rotation(2, 2, -2.5)},
          "Rotate 2 bits controlled ( bits: 2, 2, angle: -2.5)",
          [](auto& s) { s.controlledPhase(2, 2, -2.5); });
    check({"shor\\modules\\bitmirror", {1, 4}}, "Bitmirror ( 1 - 4 )",
          [](auto& s) { s.mirror(1, 4); });
    check({"shor\\modules\\bitmirror", {2, 2}}, "Bitmirror ( 2 - 2 )", [](auto&) {});
    check({"basic\\hadamardrange", {1, 3}}, "Hadamardrange ( 1 - 3 )", [](auto& s) {
        for (int k = 1; k <= 3; ++k) {
            s.matrix(k, H);
        }
    });
    // The inverse discrete Fourier transform once the bit mirror, which the Shor driver runs
    // first, has reversed the range.
    check({"shor\\modules\\invfourier", {1, 4}}, "FFT^-1 ( 1 - 4 )", [](auto& s) {
        s.mirror(1, 4);
        s.inverseFourier(1, 4);
    });
}

// Bad qubits from a caller through procexecute must neither reach memory outside the array nor
// record a step.
TEST(Gates, RefuseQubitsOutsideTheRegisterEqualPairsAndEmptyRanges) {
    const auto refused = [](const char* path, std::vector<std::vector<std::int32_t>> blocks) {
        blocks.emplace_back(); // a null word instead of a block
        for (const auto& block : blocks) {
            SCOPED_TRACE(path + testing::PrintToString(block));
            HostFixture f(6);
            const ReferenceSim before = ReferenceSim::random(6, 7);
            before.loadInto(f.live);
            GateCall{path, block}.run(f);
            EXPECT_TRUE(f.steps.empty());
            EXPECT_EQ(before.distanceTo(f.live), 0.0);
        }
    };
    refused("basic\\cnotgate", {{0, 6}, {-1, 0}, {2, 2}});
    refused("basic\\ctrlhadamard", {{31, 0}, {1, 1}});
    refused("shor\\modules\\ctrlrotate", {rotation(0, 32, 1.0), rotation(-1, 0, 1.0)});
    refused("shor\\modules\\bitmirror", {{0, 6}, {0, -1}, {3, 1}});
    // {0, -1} would count up to 2^32 - 1 without the range check.
    refused("basic\\hadamardrange", {{2, 1}, {0, 6}, {0, -1}});
    refused("shor\\modules\\invfourier", {{2, 1}, {0, 6}, {-1, 1}, {0, -1}});
    // No room for the value above 4 or below 1, an exponent that fills the register, N < 2.
    const std::vector<std::vector<std::int32_t>> power = {
        {1, 4, 7, 5},   {0, 5, 7, 5}, {0, 2, 7, 1}, {0, 2, 7, 0},
        {0, 2, 7, -15}, {0, 6, 7, 5}, {3, 2, 7, 5}, {-1, 2, 7, 5}};
    refused("shor\\modules\\power", power);
    // The single-qubit gates take the qubit itself as their word.
    for (const char* path : {"basic\\hadamard", "basic\\pieighth"}) {
        for (const std::intptr_t word :
             {std::intptr_t{6}, std::intptr_t{-1}, std::intptr_t{1} << 40}) {
            HostFixture f(2);
            f.run(path, word);
            EXPECT_TRUE(f.steps.empty()) << path << " " << word;
        }
    }
}

// The Hadamard factor 1 / sqrt(2) is pinned by the kernel tests; the pi-eighth gate passes its
// own, sqrt(0.5), one unit in the last place above, and the phase kernel's arithmetic order.
TEST(Gates, PiEighthGivesTheExactValuesOfItsFactor) {
    HostFixture t(1);
    t.setBasisState(1);
    t.run("basic\\pieighth", std::intptr_t{0});
    EXPECT_EQ(ReferenceSim(t.live).state[1], Amp(0.7071067811865476, 0.7071067811865476));
    t.run("basic\\pieighth", std::intptr_t{0});
    EXPECT_EQ(ReferenceSim(t.live).state[1], Amp(0.0, 1.0000000000000002));
    for (int k = 2; k < 8; ++k) {
        t.run("basic\\pieighth", std::intptr_t{0});
    }
    EXPECT_EQ(ReferenceSim(t.live).state[1], Amp(1.0000000000000002, 0.0));
}

TEST(CompositeGates, RunTheirSubGatesInOrderOneLevelDeeperAndTheirOwnStepLast) {
    const auto check = [](const char* path, const std::vector<std::int32_t>& block,
                          const Steps& steps) {
        SCOPED_TRACE(steps.back());
        HostFixture f(4);
        f.run(path, block);
        EXPECT_EQ(f.texts(), steps);
        for (std::size_t k = 0; k < f.steps.size(); ++k) {
            EXPECT_EQ(f.steps[k].depth, k + 1 == f.steps.size() ? 1 : 2) << k;
        }
    };
    // The Hadamard range's sub-steps are pinned by the search's nested steps (search_test).
    check("shor\\modules\\invfourier", {0, 2},
          {"Hadamard ( 0 )", "Rotate 2 bits controlled ( bits: 1, 0, angle: -1.5708)",
           "Hadamard ( 1 )", "Rotate 2 bits controlled ( bits: 2, 0, angle: -0.7854)",
           "Rotate 2 bits controlled ( bits: 2, 1, angle: -1.5708)", "Hadamard ( 2 )",
           "FFT^-1 ( 0 - 2 )"});
    check("shor\\modules\\invfourier", {1, 1}, {"Hadamard ( 1 )", "FFT^-1 ( 1 - 1 )"});
}

TEST(PowerGate, XorsTheValueInAboveOrElseBelowTheExponent) {
    // First the arithmetic that the expected states below are built with.
    EXPECT_EQ(reduceModulo(-1, 15), 14u);
    EXPECT_EQ(reduceModulo(INT_MIN, 2147483647u), 2147483646u);
    EXPECT_EQ(modularPower(0, 0, 7), 1u);
    // Fermat: a^(p-1) = 1 mod p for the prime 2^31 - 1; the squares need all 62 bits.
    EXPECT_EQ(modularPower(16807, 2147483646u, 2147483647u), 1u);
    const struct {
        std::vector<std::int32_t> block;
        int low; // the lowest qubit of the value
        const char* step;
    } cases[] = {
        {{0, 2, 7, 5}, 3, "Power ( a: 0 - 2, y: 3 - 5, x = 7, N = 5 )"},
        {{3, 5, 7, 5}, 0, "Power ( a: 3 - 5, y: 0 - 2, x = 7, N = 5 )"},
        {{1, 2, -2, 5}, 3, "Power ( a: 1 - 2, y: 3 - 5, x = -2, N = 5 )"},
        {{4, 4, 3, 2}, 5, "Power ( a: 4 - 4, y: 5 - 5, x = 3, N = 2 )"},
        {{2, 5, 3, 3}, 0, "Power ( a: 2 - 5, y: 0 - 1, x = 3, N = 3 )"},
        {{0, 1, 13, 15}, 2, "Power ( a: 0 - 1, y: 2 - 5, x = 13, N = 15 )"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        HostFixture f(6);
        const ReferenceSim before = ReferenceSim::random(6, 40);
        before.loadInto(f.live);
        f.run("shor\\modules\\power", c.block);
        const int from = c.block[0], bits = c.block[1] - from + 1;
        const auto modulus = static_cast<std::uint32_t>(c.block[3]);
        const std::uint32_t x = reduceModulo(c.block[2], modulus);
        std::vector<Amp> expected(64);
        for (std::uint32_t i = 0; i < 64; ++i) {
            const std::uint32_t a = (i >> from) & ((1u << bits) - 1);
            expected[i ^ (modularPower(x, a, modulus) << c.low)] = before.state[i];
        }
        EXPECT_EQ(ReferenceSim(f.live).state, expected);
        EXPECT_EQ(f.texts(), Steps{c.step});
        f.run("shor\\modules\\power", c.block);
        EXPECT_EQ(ReferenceSim(f.live).state, before.state);
    }
}

} // namespace
