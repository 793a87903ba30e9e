// standard\measure through the real host: the post-state for known draws, the outcome
// frequencies, a repeated measurement, a draw beyond a short probability sum, and the dialog.

#include "core/random.h"
#include "tests/support/dialogdriver.h"
#include "tests/support/hostfixture.h"
#include "tests/support/referencesim.h"
#include "tests/support/resultboxcatcher.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

// The draw that the next measurement will make after srand(seed).
int drawAfter(unsigned seed) {
    std::srand(seed);
    const int draw = drawNonZeroRandom15();
    std::srand(seed);
    return draw;
}

// The outcome of qubits first .. last that a draw gives on a state: the value in the basis
// state that the register's own sample picks.
std::uint64_t outcomeOf(const ReferenceSim& state, int first, int last, int draw) {
    QRegister reg;
    reg.setQubitCount(state.qubits);
    state.loadInto(reg);
    return (reg.sampleFromDraw(draw) >> first) & ((std::uint64_t{2} << (last - first)) - 1);
}

// Measured again, the qubits give the same value and the state stays (but for rounding).
TEST(Measure, LeavesExactlyTheRenormalisedOutcomeForEachDrawAndKeepsItWhenMeasuredAgain) {
    for (const auto& [n, first, last] : {std::array{2, 0, 0}, {4, 1, 2}, {5, 0, 4}, {5, 4, 4}}) {
        std::set<std::uint64_t> seen;
        for (unsigned seed = 1; seed <= 12; ++seed) {
            SCOPED_TRACE(testing::Message()
                         << n << " qubits, " << first << " - " << last << ", seed " << seed);
            HostFixture f(n);
            ReferenceSim expected = ReferenceSim::random(n, seed);
            expected.loadInto(f.live);
            const std::uint64_t v = outcomeOf(expected, first, last, drawAfter(seed));
            f.run("standard\\measure", {first, last});
            expected.project(first, last, v);
            EXPECT_EQ(expected.distanceTo(f.live), 0.0);
            const std::string step = "Measure ( " + std::to_string(first) + " - " +
                                     std::to_string(last) + " ) = " + std::to_string(v);
            f.run("standard\\measure", {first, last});
            EXPECT_EQ(f.texts(), (std::vector<std::string>{step, step}));
            EXPECT_LT(expected.distanceTo(f.live), 1e-15);
            seen.insert(v);
        }
        EXPECT_GE(seen.size(), 2u); // the draws reach more than one outcome
    }
}

// Qubits 0 - 1 of a three-qubit state with outcome probabilities 0.1, 0.2, 0.3, 0.4.
TEST(Measure, OutcomeFrequenciesFollowTheProbabilities) {
    ReferenceSim state(3);
    const double p[] = {0.1, 0.2, 0.3, 0.4};
    for (std::uint64_t i = 0; i < 8; ++i) {
        state.state[i] = std::polar(std::sqrt(p[i & 3] / 2), 0.3 * static_cast<double>(i));
    }
    HostFixture f(3);
    std::srand(2026);
    constexpr int Runs = 10000;
    int counts[4] = {};
    for (int run = 0; run < Runs; ++run) {
        state.loadInto(f.live);
        f.steps.clear();
        f.run("standard\\measure", {0, 1});
        ++counts[f.steps.at(0).text.back() - '0'];
    }
    double chiSquare = 0.0;
    for (int v = 0; v < 4; ++v) {
        const double expected = Runs * p[v];
        chiSquare += (counts[v] - expected) * (counts[v] - expected) / expected;
    }
    EXPECT_LT(chiSquare, 16.27); // three degrees of freedom, one chance in a thousand
}

// A state whose probabilities sum to 0.25: a draw above that runs past every basis state to
// the last, which holds nothing. The last state that holds something decides; a register with
// nothing at all is left alone.
TEST(Measure, ADrawBeyondTheProbabilitySumTakesTheLastStateThatHoldsSomething) {
    unsigned seed = 1;
    while (drawAfter(seed) <= 8192) {
        ++seed;
    }
    HostFixture f(2);
    f.live.amplitudes[0] = 0.5;
    f.run("standard\\measure", {1, 1});
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Measure ( 1 - 1 ) = 0"});
    EXPECT_EQ(f.live.amplitudes[0].real, 1.0);

    f.live.amplitudes[0] = 0.0;
    f.steps.clear();
    f.run("standard\\measure", {0, 1});
    f.run("standard\\measure", {1, 0});
    EXPECT_TRUE(f.steps.empty());
}

// One qubit of a Bell pair, from the dialog: the outcome in a result box, the partner qubit
// following it.
TEST(Measure, DialogShowsTheOutcome) {
    HostFixture f(2);
    f.run("basic\\hadamard", std::intptr_t{0});
    f.run("basic\\cnotgate", {0, 1});
    const std::string v = drawAfter(7) * RandomScale > 0.5 ? "1" : "0";
    ResultBoxCatcher catcher;
    DialogDriver d(f.host, "standard\\measure");
    d.select(1002, 0);
    d.execute();
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text.rfind("Qubits 0 - 0 measured: " + v + " (binary " + v + ")"),
              0u);
    EXPECT_EQ(f.texts().back(), "Measure ( 0 - 0 ) = " + v);
    EXPECT_EQ(f.live.amplitudes[v == "1" ? 3 : 0].real, 1.0);
}

} // namespace
