// The modular power gate: its arithmetic, where it puts x^a mod N, and that it is a
// permutation of the basis states that undoes itself.

#include "gates/shor/modules/power/modularpower.h"
#include "tests/gates/referencesim.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

using amplex::gates::modularPower;
using amplex::gates::reduceModulo;

TEST(ModularPower, StaysExactUpToThirtyOneBits) {
    EXPECT_EQ(reduceModulo(-1, 15), 14u);
    EXPECT_EQ(reduceModulo(-30, 15), 0u);
    EXPECT_EQ(reduceModulo(INT_MIN, 2147483647u), 2147483646u);
    EXPECT_EQ(reduceModulo(INT_MAX, 2147483647u), 0u);
    EXPECT_EQ(modularPower(13, 2, 15), 4u);
    EXPECT_EQ(modularPower(13, 4, 15), 1u);
    EXPECT_EQ(modularPower(0, 0, 7), 1u);
    EXPECT_EQ(modularPower(0, 5, 7), 0u);
    // Fermat: a^(p-1) = 1 mod p for the prime 2^31 - 1; the squares need all 62 bits.
    EXPECT_EQ(modularPower(16807, 2147483646u, 2147483647u), 1u);
    EXPECT_EQ(modularPower(2147483646u, 2147483647u, 2147483647u), 2147483646u);
}

// Where each basis state goes: the exponent's bits stay, x^a mod N is XORed in at low.
std::vector<std::uint32_t> expectedTargets(int qubits, int from, int to, std::int32_t x,
                                           std::int32_t n, int low) {
    std::vector<std::uint32_t> targets;
    const auto modulus = static_cast<std::uint32_t>(n);
    for (std::uint32_t i = 0; i < (1u << qubits); ++i) {
        const std::uint32_t a = (i >> from) & ((1u << (to - from + 1)) - 1);
        targets.push_back(i ^ (modularPower(reduceModulo(x, modulus), a, modulus) << low));
    }
    return targets;
}

TEST(PowerGate, PlacesTheValueAboveOrBelowTheExponent) {
    struct Case {
        std::vector<std::int32_t> block;
        int low;
        const char* step;
    };
    const Case cases[] = {
        {{0, 2, 7, 5}, 3, "Power ( a: 0 - 2, y: 3 - 5, x = 7, N = 5 )"},
        {{3, 5, 7, 5}, 0, "Power ( a: 3 - 5, y: 0 - 2, x = 7, N = 5 )"},
        {{1, 2, -2, 5}, 3, "Power ( a: 1 - 2, y: 3 - 5, x = -2, N = 5 )"},
        {{4, 4, 3, 2}, 5, "Power ( a: 4 - 4, y: 5 - 5, x = 3, N = 2 )"},
        {{2, 5, 3, 3}, 0, "Power ( a: 2 - 5, y: 0 - 1, x = 3, N = 3 )"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        HostFixture f(6);
        const ReferenceSim before = ReferenceSim::random(6, 40);
        before.loadInto(f.live);
        f.run("shor\\modules\\power", c.block);
        const auto targets =
            expectedTargets(6, c.block[0], c.block[1], c.block[2], c.block[3], c.low);
        for (std::uint32_t i = 0; i < 64; ++i) {
            EXPECT_EQ(f.live.amplitudes[targets[i]].real, before.state[i].real()) << i;
            EXPECT_EQ(f.live.amplitudes[targets[i]].imag, before.state[i].imag()) << i;
        }
        EXPECT_EQ(f.texts(), std::vector<std::string>{c.step});
        // XOR with a value of bits that it leaves alone: the second run undoes the first.
        f.run("shor\\modules\\power", c.block);
        EXPECT_EQ(before.distanceTo(f.live), 0.0);
    }
}

TEST(PowerGate, ChangesNothingWithoutRoomOrWithATrivialModulus) {
    const std::vector<std::int32_t> refused[] = {
        {1, 4, 7, 5},   // three value bits fit neither above 4 nor below 1
        {0, 5, 7, 5},   // the exponent fills the register
        {0, 2, 7, 1},   // N < 2
        {0, 2, 7, 0},   // N < 2
        {0, 2, 7, -15}, // N < 2
        {0, 6, 7, 5},   // beyond the register
        {3, 2, 7, 5},   // reversed
        {-1, 2, 7, 5},  // not a qubit
    };
    for (const auto& block : refused) {
        HostFixture f(6);
        const ReferenceSim before = ReferenceSim::random(6, 41);
        before.loadInto(f.live);
        f.run("shor\\modules\\power", block);
        EXPECT_TRUE(f.steps.empty()) << block[0] << " " << block[1] << " " << block[3];
        EXPECT_EQ(before.distanceTo(f.live), 0.0);
    }
}

// The quantum part of Shor's algorithm for N = 15, x = 13: after the Hadamard range over the
// exponent, each a is paired with 13^a mod 15 alone, which repeats with period 4.
TEST(PowerGate, LeavesTheStateDependingOnTheExponentOnlyThroughItsPower) {
    HostFixture f(8);
    f.run("basic\\hadamardrange", {0, 3});
    f.run("shor\\modules\\power", {0, 3, 13, 15});
    const std::uint32_t cycle[] = {1, 13, 4, 7};
    for (std::uint32_t y = 0; y < 16; ++y) {
        for (std::uint32_t a = 0; a < 16; ++a) {
            const Complex& amplitude = f.live.amplitudes[a | (y << 4)];
            EXPECT_NEAR(amplitude.real, y == cycle[a % 4] ? 0.25 : 0.0, 1e-15) << a << " " << y;
        }
    }
    EXPECT_NEAR(f.live.probabilitySum(), 1.0, 1e-12);
    EXPECT_EQ(f.steps.back().text, "Power ( a: 0 - 3, y: 4 - 7, x = 13, N = 15 )");
}

} // namespace
