// The standard gates run by path through the real host: each against the reference simulator
// on random states at every qubit position, each undone by its inverse, their refusals, and
// what their dialogs send.

#include "tests/support/dialogdriver.h"
#include "tests/support/hostfixture.h"
#include "tests/support/referencesim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <stdexcept>

namespace {

using Amp = ReferenceSim::Amplitude;
using Matrix = std::array<Amp, 4>;
constexpr Amp I(0.0, 1.0);

std::uint64_t bits(std::initializer_list<int> qubits) {
    std::uint64_t mask = 0;
    for (const int q : qubits) {
        mask |= std::uint64_t{1} << q;
    }
    return mask;
}

// A gate of the table: how many qubits it takes, whether it takes an angle, its step text
// (printf style, the angle as "%.15g" of degrees) and its textbook definition.
struct StandardGate {
    const char* path;
    int qubits;
    bool angle;
    const char* step;
    std::function<void(ReferenceSim&, const std::vector<int>&, double)> reference;

    // Runs it on q (and theta radians): a one-qubit gate without angle takes the qubit itself.
    void run(HostFixture& f, const std::vector<int>& q, double theta = 0.0) const {
        if (qubits == 1 && !angle) {
            f.run(path, static_cast<std::intptr_t>(q[0]));
            return;
        }
        std::vector<std::int32_t> block(q.begin(), q.end());
        if (angle) {
            block.resize(3);
            amplex::putDouble(block.data() + 1, theta);
        }
        f.run(path, block);
    }

    std::string text(const std::vector<int>& q, double theta) const {
        char out[128];
        if (angle) {
            std::snprintf(out, sizeof out, step, q[0], theta * 180.0 / std::numbers::pi);
        } else {
            std::snprintf(out, sizeof out, step, q[0], q.size() > 1 ? q[1] : 0,
                          q.size() > 2 ? q[2] : 0);
        }
        return out;
    }
};

// The one-qubit matrix at q[0], with the qubits before it as controls.
auto onLast(Matrix m) {
    return [m](ReferenceSim& s, const std::vector<int>& q, double) {
        std::uint64_t controls = 0;
        for (std::size_t c = 0; c + 1 < q.size(); ++c) {
            controls |= bits({q[c]});
        }
        s.matrix(q.back(), m, controls);
    };
}

template <Matrix (*M)(double)> auto rotation() {
    return
        [](ReferenceSim& s, const std::vector<int>& q, double theta) { s.matrix(q[0], M(theta)); };
}

Matrix phase(double t) {
    return {1.0, 0.0, 0.0, std::polar(1.0, t)};
}
Matrix rx(double t) {
    return {std::cos(t / 2), -I * std::sin(t / 2), -I * std::sin(t / 2), std::cos(t / 2)};
}
Matrix ry(double t) {
    return {std::cos(t / 2), -std::sin(t / 2), std::sin(t / 2), std::cos(t / 2)};
}
Matrix rz(double t) {
    return {std::polar(1.0, -t / 2), 0.0, 0.0, std::polar(1.0, t / 2)};
}

const StandardGate& gate(const std::string& path);

const std::vector<StandardGate>& gates() {
    static const std::vector<StandardGate> table = {
        {"standard\\x", 1, false, "X ( %i )", onLast({0.0, 1.0, 1.0, 0.0})},
        {"standard\\y", 1, false, "Y ( %i )", onLast({0.0, -I, I, 0.0})},
        {"standard\\z", 1, false, "Z ( %i )", onLast({1.0, 0.0, 0.0, -1.0})},
        {"standard\\s", 1, false, "S ( %i )", onLast({1.0, 0.0, 0.0, I})},
        {"standard\\sdg", 1, false, "S-dagger ( %i )", onLast({1.0, 0.0, 0.0, -I})},
        {"standard\\tdg", 1, false, "T-dagger ( %i )",
         onLast({1.0, 0.0, 0.0, std::polar(1.0, -std::numbers::pi / 4)})},
        {"standard\\phase", 1, true, "Phase ( %i, %.15g )", rotation<phase>()},
        {"standard\\rx", 1, true, "Rx ( %i, %.15g )", rotation<rx>()},
        {"standard\\ry", 1, true, "Ry ( %i, %.15g )", rotation<ry>()},
        {"standard\\rz", 1, true, "Rz ( %i, %.15g )", rotation<rz>()},
        {"standard\\swap", 2, false, "Swap ( %i, %i )",
         [](ReferenceSim& s, const std::vector<int>& q, double) { s.swap(q[0], q[1]); }},
        {"standard\\cz", 2, false, "Controlled Z ( %i, %i )", onLast({1.0, 0.0, 0.0, -1.0})},
        {"standard\\toffoli", 3, false, "Toffoli ( %i, %i, %i )", onLast({0.0, 1.0, 1.0, 0.0})},
    };
    return table;
}

const StandardGate& gate(const std::string& path) {
    for (const StandardGate& g : gates()) {
        if (path == g.path) {
            return g;
        }
    }
    throw std::out_of_range(path);
}

// Every ordered choice of `count` distinct qubits out of n.
std::vector<std::vector<int>> placements(int n, int count) {
    std::vector<std::vector<int>> all;
    for (std::uint64_t m = 0; m < (std::uint64_t{1} << (3 * count)); ++m) {
        std::vector<int> q;
        for (int c = 0; c < count; ++c) {
            q.push_back(static_cast<int>((m >> (3 * c)) & 7));
        }
        const bool distinct = std::all_of(q.begin(), q.end(), [&](int k) {
            return k < n && std::count(q.begin(), q.end(), k) == 1;
        });
        if (distinct) {
            all.push_back(q);
        }
    }
    return all;
}

TEST(StandardGates, MatchTheReferenceAtEveryQubitPositionKeepTheNormAndRecordTheirStep) {
    constexpr int N = 4;
    unsigned seed = 100;
    for (const StandardGate& g : gates()) {
        for (const auto& q : placements(N, g.qubits)) {
            const double theta = g.angle ? 0.3 + q[0] : 0.0;
            SCOPED_TRACE(g.text(q, theta));
            HostFixture f(N);
            ReferenceSim expected = ReferenceSim::random(N, seed++);
            expected.loadInto(f.live);
            g.run(f, q, theta);
            g.reference(expected, q, theta);
            EXPECT_LT(expected.distanceTo(f.live), 1e-15);
            EXPECT_NEAR(f.live.probabilitySum(), 1.0, 1e-14);
            ASSERT_EQ(f.steps.size(), 1u);
            EXPECT_EQ(f.steps[0].text, g.text(q, theta));
        }
    }
}

bool sameBits(const ReferenceSim& a, const QRegister& b) {
    for (std::size_t i = 0; i < a.state.size(); ++i) {
        if (std::bit_cast<std::uint64_t>(a.state[i].real()) !=
                std::bit_cast<std::uint64_t>(b.amplitudes[i].real) ||
            std::bit_cast<std::uint64_t>(a.state[i].imag()) !=
                std::bit_cast<std::uint64_t>(b.amplitudes[i].imag)) {
            return false;
        }
    }
    return true;
}

// A gate and its inverse on a random 7-qubit state (pairs that move amplitudes run on high and
// low qubits both): the permutations give the state back bit for bit.
TEST(StandardGates, InversesUndoThemBitForBitWhereNothingIsRounded) {
    struct Inverse {
        const char* gate;
        const char* inverse;
        std::vector<int> q;
        double theta = 0.0;
        bool exact = false;
    };
    const double t = 0.8;
    const Inverse table[] = {
        {"standard\\x", "standard\\x", {6}, 0, true},
        {"standard\\swap", "standard\\swap", {0, 6}, 0, true},
        {"standard\\swap", "standard\\swap", {5, 2}, 0, true},
        {"standard\\toffoli", "standard\\toffoli", {6, 0, 3}, 0, true},
        {"standard\\y", "standard\\y", {3}},
        {"standard\\z", "standard\\z", {0}},
        {"standard\\cz", "standard\\cz", {1, 6}},
        {"standard\\s", "standard\\sdg", {2}},
        {"standard\\phase", "standard\\phase", {4}, t},
        {"standard\\rx", "standard\\rx", {6}, t},
        {"standard\\ry", "standard\\ry", {0}, t},
        {"standard\\rz", "standard\\rz", {5}, t},
    };
    for (const Inverse& c : table) {
        SCOPED_TRACE(c.gate);
        HostFixture f(7);
        const ReferenceSim before = ReferenceSim::random(7, 9);
        before.loadInto(f.live);
        gate(c.gate).run(f, c.q, c.theta);
        EXPECT_GT(before.distanceTo(f.live), 0.01);
        gate(c.inverse).run(f, c.q, -c.theta);
        if (c.exact) {
            EXPECT_TRUE(sameBits(before, f.live));
        }
        EXPECT_LT(before.distanceTo(f.live), 1e-15);
    }
    // T-dagger undoes the pi-eighth gate.
    HostFixture f(3);
    const ReferenceSim before = ReferenceSim::random(3, 4);
    before.loadInto(f.live);
    f.run("basic\\pieighth", std::intptr_t{1});
    f.run("standard\\tdg", std::intptr_t{1});
    EXPECT_LT(before.distanceTo(f.live), 1e-15);
}

TEST(StandardGates, RefuseQubitsOutsideTheRegisterRepeatedQubitsAndAnglesThatAreNoNumbers) {
    std::vector<std::int32_t> nan(3, 0), infinite(3, 1);
    amplex::putDouble(nan.data() + 1, std::nan(""));
    amplex::putDouble(infinite.data() + 1, HUGE_VAL);
    const std::pair<const char*, std::vector<std::vector<std::int32_t>>> refused[] = {
        {"standard\\rx", {nan, infinite, {4, 0, 0}, {-1, 0, 0}}},
        {"standard\\swap", {{1, 1}, {0, 4}, {-1, 2}}},
        {"standard\\cz", {{2, 2}, {4, 0}}},
        {"standard\\toffoli", {{0, 0, 1}, {0, 1, 1}, {1, 0, 1}, {0, 1, 4}, {0, -1, 2}}},
    };
    const auto unchanged = [](HostFixture& f, const ReferenceSim& before) {
        EXPECT_TRUE(f.steps.empty());
        EXPECT_EQ(before.distanceTo(f.live), 0.0);
    };
    for (const auto& [path, blocks] : refused) {
        for (auto block : blocks) {
            SCOPED_TRACE(path + testing::PrintToString(block));
            HostFixture f(4);
            const ReferenceSim before = ReferenceSim::random(4, 3);
            before.loadInto(f.live);
            f.run(path, block);
            f.run(path, std::intptr_t{0}); // a null block
            unchanged(f, before);
        }
    }
    for (const char* path : {"standard\\x", "standard\\y", "standard\\tdg"}) {
        HostFixture f(4);
        const ReferenceSim before = ReferenceSim::random(4, 3);
        before.loadInto(f.live);
        for (const std::intptr_t word :
             {std::intptr_t{4}, std::intptr_t{-1}, std::intptr_t{1} << 40}) {
            f.run(path, word);
        }
        unchanged(f, before);
    }
}

// Degrees with a fraction, radians in the block, degrees again in the text; bad fields and
// repeated bits explain themselves and run nothing.
TEST(StandardGates, DialogsSendRadiansAndRefuseWhatCannotRun) {
    HostFixture f(3);
    {
        DialogDriver d(f.host, "standard\\rz");
        ASSERT_TRUE(d.dialog());
        EXPECT_EQ(d.text(1003), "90");
        d.select(1001, 2);
        d.execute();
        d.setText(1003, " -22.5 ");
        d.execute();
        for (const char* bad : {"abc", "", "nan", "1,5"}) {
            d.setText(1003, bad);
            d.execute();
            EXPECT_FALSE(d.explanation().isEmpty()) << bad;
        }
    }
    EXPECT_EQ(f.texts(), (std::vector<std::string>{"Rz ( 2, 90 )", "Rz ( 2, -22.5 )"}));
    ReferenceSim expected(3);
    expected.matrix(2, rz(std::numbers::pi / 2));
    expected.matrix(2, rz(-22.5 * std::numbers::pi / 180));
    EXPECT_LT(expected.distanceTo(f.live), 1e-15);

    HostFixture g(3);
    DialogDriver d(g.host, "standard\\toffoli");
    EXPECT_EQ(d.selection(1001), 0);
    EXPECT_EQ(d.selection(1002), 1);
    EXPECT_EQ(d.selection(1003), 2);
    d.select(1003, 1);
    d.execute();
    EXPECT_EQ(d.explanation(), "2nd and target must be different bits");
    d.select(1003, 2);
    g.setBasisState(3);
    d.execute();
    EXPECT_EQ(g.texts(), std::vector<std::string>{"Toffoli ( 0, 1, 2 )"});
    EXPECT_EQ(g.live.amplitudes[7].real, 1.0);
}

} // namespace
