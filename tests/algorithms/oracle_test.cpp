#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Every amplitude different, so a moved or negated one can be told from any other.
void setDistinctState(QRegister& reg) {
    for (std::uint64_t i = 0; i < reg.amplitudeCount(); ++i) {
        reg.amplitudes[i].set(0.1 + 0.01 * double(i), -0.02 * double(i));
    }
}

std::vector<Complex> amplitudes(const QRegister& reg) {
    return {reg.amplitudes, reg.amplitudes + reg.amplitudeCount()};
}

void expectSame(const Complex& actual, const Complex& expected, std::uint64_t i) {
    EXPECT_EQ(actual.real, expected.real) << "index " << i;
    EXPECT_EQ(actual.imag, expected.imag) << "index " << i;
}

// Bit oracle: from, to, count, values..., target.
TEST(FlagOracle, FlipsTheTargetWhereTheFunctionIsOne) {
    HostFixture f(3);
    setDistinctState(f.live);
    const auto before = amplitudes(f.live);
    f.run("oracle\\flagoracle", {0, 1, 6, 0, -1, -1, -1, -1, -1, 2});
    for (std::uint32_t i = 0; i < 8; ++i) {
        // Only the states whose qubits 0 and 1 are 0 swap their qubit 2.
        expectSame(f.live.amplitudes[i], before[(i & 3u) == 0 ? i ^ 4u : i], i);
    }
    ASSERT_EQ(f.steps.size(), 1u);
    EXPECT_EQ(f.steps[0].text, "Flagoracle");
    EXPECT_EQ(f.steps[0].depth, 1);

    // Twice restores; out-of-range values (-1, 4 for two qubits) and a repeated value change
    // nothing about that.
    f.run("oracle\\flagoracle", {0, 1, 4, 0, 4, -1, 0, 2});
    for (std::uint32_t i = 0; i < 8; ++i) {
        expectSame(f.live.amplitudes[i], before[i], i);
    }
}

TEST(FlagOracle, TakesARepeatedValueOnceAndKeepsTheNorm) {
    HostFixture f(3);
    for (std::uint32_t i = 0; i < 8; ++i) {
        f.live.amplitudes[i] = 1.0 / std::sqrt(8.0);
    }
    f.run("oracle\\flagoracle", {0, 1, 3, 2, 2, 2, 2});
    EXPECT_NEAR(f.live.probabilitySum(), 1.0, 1e-12);
    for (std::uint32_t i = 0; i < 8; ++i) {
        EXPECT_NEAR(f.live.amplitudes[i].real, 1.0 / std::sqrt(8.0), 1e-15) << i;
    }
}

TEST(FlagOracle, TargetInsideTheRangeReadsXFromTheOldIndex) {
    HostFixture f(2);
    setDistinctState(f.live);
    const auto before = amplitudes(f.live);
    // f(1) = 1, target qubit 0: |1> goes to |0>, |0> stays: both land on |0>.
    f.run("oracle\\flagoracle", {0, 1, 1, 1, 0});
    EXPECT_DOUBLE_EQ(f.live.amplitudes[0].real, before[0].real + before[1].real);
    EXPECT_DOUBLE_EQ(f.live.amplitudes[0].imag, before[0].imag + before[1].imag);
    EXPECT_EQ(f.live.amplitudes[1].real, 0.0);
    expectSame(f.live.amplitudes[2], before[2], 2);
    expectSame(f.live.amplitudes[3], before[3], 3);
}

TEST(FlagOracle, RefusesQubitsOutsideTheRegister) {
    HostFixture f(3);
    f.setBasisState(4);
    f.run("oracle\\flagoracle", {0, 1, 0, 2}); // count 0: the target is at [3]
    EXPECT_EQ(f.live.amplitudes[4].real, 1.0);
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Flagoracle"});
    f.steps.clear();
    const std::vector<std::int32_t> blocks[] = {
        {0, 1, 1, 0, 3}, {0, 1, 1, 0, -1}, {0, 3, 1, 0, 2},   {-1, 1, 1, 0, 2},
        {2, 1, 1, 0, 0}, {0, 1, -2, 0, 2}, {0, 1, 1, 0, 999},
    };
    for (const auto& block : blocks) {
        f.run("oracle\\flagoracle", block);
    }
    EXPECT_EQ(f.live.amplitudes[4].real, 1.0);
    EXPECT_TRUE(f.steps.empty());
}

// Sign oracle: from, to, count, values...
TEST(SignOracle, NegatesTheMarkedValuesOncePerListing) {
    HostFixture f(5);
    setDistinctState(f.live);
    const auto before = amplitudes(f.live);
    // On qubits 1..3: 3 listed twice cancels, 9 is out of range, so 5 and 7 are marked.
    f.run("oracle\\signoracle", {1, 3, 6, 3, 5, 3, 7, -1, 9});
    for (std::uint32_t i = 0; i < 32; ++i) {
        const std::uint32_t x = (i >> 1) & 7u;
        const double sign = (x == 5 || x == 7) ? -1.0 : 1.0;
        EXPECT_EQ(f.live.amplitudes[i].real, sign * before[i].real) << i;
        EXPECT_EQ(f.live.amplitudes[i].imag, sign * before[i].imag) << i;
    }
    // Listed three times it is negated.
    f.run("oracle\\signoracle", {1, 3, 3, 5, 5, 5});
    EXPECT_EQ(f.live.amplitudes[5 << 1].real, before[5 << 1].real);
    EXPECT_EQ(f.texts(), (std::vector<std::string>{"Signoracle", "Signoracle"}));
}

TEST(SignOracle, ZeroMarkerNegatesWhereTheRangeIsZero) {
    HostFixture f(4);
    setDistinctState(f.live);
    const auto before = amplitudes(f.live);
    f.run("oracle\\signoracle", {1, 2, 1, 0});
    for (std::uint32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(f.live.amplitudes[i].real, ((i & 6u) == 0 ? -1.0 : 1.0) * before[i].real) << i;
    }
}

TEST(SignOracle, CountZeroRecordsAndBadRangesAreRefused) {
    HostFixture f(3);
    f.run("oracle\\signoracle", {0, 2, 0});
    EXPECT_EQ(f.live.amplitudes[0].real, 1.0);
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Signoracle"});
    f.run("oracle\\signoracle", {0, 3, 1, 0});
    f.run("oracle\\signoracle", {-1, 2, 1, 0});
    f.run("oracle\\signoracle", {2, 1, 1, 0});
    EXPECT_EQ(f.live.amplitudes[0].real, 1.0);
    EXPECT_EQ(f.steps.size(), 1u);
}

} // namespace
