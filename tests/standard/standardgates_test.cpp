// The standard gates run by path through the real host: each against the reference simulator
// on random states at every qubit position, each undone by its inverse, their refusals, and
// what their dialogs send.

#include "tests/support/dialogdriver.h"
#include "tests/support/hostfixture.h"
#include "tests/support/referencesim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <numbers>
#include <set>

namespace {

using Amp = ReferenceSim::Amplitude;
using Matrix = std::array<Amp, 4>;
using Qubits = std::vector<int>;
constexpr Amp I(0.0, 1.0);

Matrix rz(double t) {
    return {std::polar(1.0, -t / 2), 0.0, 0.0, std::polar(1.0, t / 2)};
}

// A gate of the table: its qubits, whether it takes an angle, its step text (printf style, the
// angle as "%.15g" of degrees) and its matrix on the last of its qubits, the others controls.
struct StandardGate {
    int qubits;
    bool angle;
    const char* step;
    std::function<Matrix(double)> matrix;

    // A one-qubit gate without angle takes the qubit itself as its word.
    void run(HostFixture& f, const char* path, const Qubits& q, double theta = 0.0) const {
        std::vector<std::int32_t> block(q.begin(), q.end());
        if (angle) {
            block.resize(3);
            amplex::putDouble(block.data() + 1, theta);
        }
        qubits == 1 && !angle ? f.run(path, static_cast<std::intptr_t>(q[0])) : f.run(path, block);
    }
    void reference(ReferenceSim& s, const Qubits& q, double theta) const {
        std::uint64_t controls = 0;
        for (std::size_t c = 0; c + 1 < q.size(); ++c) {
            controls |= std::uint64_t{1} << q[c];
        }
        s.matrix(q.back(), matrix(theta), controls);
    }
    std::string text(const Qubits& q, double theta) const {
        char out[128];
        if (angle) {
            std::snprintf(out, sizeof out, step, q[0], theta * 180.0 / std::numbers::pi);
        } else {
            std::snprintf(out, sizeof out, step, q[0], q.size() > 1 ? q[1] : 0, q.back());
        }
        return out;
    }
};

const std::map<std::string, StandardGate>& gates() {
    const auto fixed = [](Matrix m) { return [m](double) { return m; }; };
    const auto c = [](double t) { return std::cos(t / 2); };
    const auto s = [](double t) { return std::sin(t / 2); };
    const auto phase = [](double t) { return Matrix{1.0, 0.0, 0.0, std::polar(1.0, t)}; };
    const auto rx = [=](double t) { return Matrix{c(t), -I * s(t), -I * s(t), c(t)}; };
    const auto ry = [=](double t) { return Matrix{c(t), -s(t), s(t), c(t)}; };
    const Amp tdg = std::polar(1.0, -std::numbers::pi / 4);
    static const std::map<std::string, StandardGate> table = {
        {"standard\\x", {1, false, "X ( %i )", fixed({0.0, 1.0, 1.0, 0.0})}},
        {"standard\\y", {1, false, "Y ( %i )", fixed({0.0, -I, I, 0.0})}},
        {"standard\\z", {1, false, "Z ( %i )", fixed({1.0, 0.0, 0.0, -1.0})}},
        {"standard\\s", {1, false, "S ( %i )", fixed({1.0, 0.0, 0.0, I})}},
        {"standard\\sdg", {1, false, "S-dagger ( %i )", fixed({1.0, 0.0, 0.0, -I})}},
        {"standard\\tdg", {1, false, "T-dagger ( %i )", fixed({1.0, 0.0, 0.0, tdg})}},
        {"standard\\phase", {1, true, "Phase ( %i, %.15g )", phase}},
        {"standard\\rx", {1, true, "Rx ( %i, %.15g )", rx}},
        {"standard\\ry", {1, true, "Ry ( %i, %.15g )", ry}},
        {"standard\\rz", {1, true, "Rz ( %i, %.15g )", rz}},
        {"standard\\cz", {2, false, "Controlled Z ( %i, %i )", fixed({1.0, 0.0, 0.0, -1.0})}},
        {"standard\\toffoli", {3, false, "Toffoli ( %i, %i, %i )", fixed({0.0, 1.0, 1.0, 0.0})}},
        // The swap's own reference is ReferenceSim::swap; its "matrix" is never used.
        {"standard\\swap", {2, false, "Swap ( %i, %i )", fixed({})}},
    };
    return table;
}

// Every ordered choice of `count` distinct qubits out of 5.
std::vector<Qubits> placements(int count) {
    std::vector<Qubits> all;
    for (int m = 0; m < 125; ++m) {
        Qubits q = {m % 5, m / 5 % 5, m / 25};
        q.resize(static_cast<std::size_t>(count));
        if (std::set<int>(q.begin(), q.end()).size() == q.size() &&
            std::find(all.begin(), all.end(), q) == all.end()) {
            all.push_back(q);
        }
    }
    return all;
}

TEST(StandardGates, MatchTheReferenceAtEveryQubitPositionKeepTheNormAndRecordTheirStep) {
    unsigned seed = 100;
    for (const auto& [path, g] : gates()) {
        for (const Qubits& q : placements(g.qubits)) {
            const double theta = g.angle ? 0.3 + q[0] : 0.0;
            SCOPED_TRACE(g.text(q, theta));
            HostFixture f(5);
            ReferenceSim expected = ReferenceSim::random(5, seed++);
            expected.loadInto(f.live);
            g.run(f, path.c_str(), q, theta);
            path == "standard\\swap" ? expected.swap(q[0], q[1]) : g.reference(expected, q, theta);
            EXPECT_LT(expected.distanceTo(f.live), 1e-15);
            EXPECT_NEAR(f.live.probabilitySum(), 1.0, 1e-14);
            EXPECT_EQ(f.texts(), std::vector<std::string>{g.text(q, theta)});
        }
    }
}

// A gate and its inverse on a random 7-qubit state: the permutations and the factors 0, +-1
// and +-i give the state back bit for bit (no amplitude here is zero), the rotations to 1e-15.
TEST(StandardGates, InversesUndoThemBitForBitWhereNothingIsRounded) {
    struct Inverse {
        const char* gate;
        const char* inverse;
        Qubits q;
        double theta = 0.0;
    };
    const Inverse table[] = {
        {"standard\\x", "standard\\x", {6}},
        {"standard\\swap", "standard\\swap", {0, 6}},
        {"standard\\toffoli", "standard\\toffoli", {6, 0, 3}},
        {"standard\\y", "standard\\y", {3}},
        {"standard\\z", "standard\\z", {0}},
        {"standard\\cz", "standard\\cz", {1, 6}},
        {"standard\\s", "standard\\sdg", {5}},
        {"standard\\phase", "standard\\phase", {4}, 0.8},
        {"standard\\rx", "standard\\rx", {6}, 0.8},
        {"standard\\ry", "standard\\ry", {0}, 0.8},
        {"standard\\rz", "standard\\rz", {5}, 0.8},
        {"basic\\pieighth", "standard\\tdg", {2}},
    };
    for (const Inverse& c : table) {
        SCOPED_TRACE(c.inverse);
        HostFixture f(7);
        const ReferenceSim before = ReferenceSim::random(7, 9);
        before.loadInto(f.live);
        c.gate == std::string("basic\\pieighth") ? f.run(c.gate, std::intptr_t{2})
                                                 : gates().at(c.gate).run(f, c.gate, c.q, c.theta);
        EXPECT_GT(before.distanceTo(f.live), 0.01);
        gates().at(c.inverse).run(f, c.inverse, c.q, -c.theta);
        const bool exact = c.theta == 0.0 && c.gate != std::string("basic\\pieighth");
        EXPECT_TRUE(exact ? ReferenceSim(f.live).state == before.state
                          : before.distanceTo(f.live) < 1e-15);
    }
}

TEST(StandardGates, RefuseQubitsOutsideTheRegisterRepeatedQubitsAndAnglesThatAreNoNumbers) {
    std::vector<std::int32_t> nan(3, 0), infinite(3, 1);
    amplex::putDouble(nan.data() + 1, std::nan(""));
    amplex::putDouble(infinite.data() + 1, HUGE_VAL);
    const std::pair<const char*, std::vector<std::vector<std::int32_t>>> refused[] = {
        {"standard\\rx", {nan, infinite, {4, 0, 0}, {-1, 0, 0}}},
        {"standard\\swap", {{1, 1}, {0, 4}}},
        {"standard\\cz", {{2, 2}, {-1, 0}}},
        {"standard\\toffoli", {{0, 0, 1}, {0, 1, 1}, {1, 0, 1}, {0, 1, 4}}},
        {"standard\\x", {}}, // its word is the qubit itself
    };
    for (const auto& [path, blocks] : refused) {
        SCOPED_TRACE(path);
        HostFixture f(4);
        const ReferenceSim before = ReferenceSim::random(4, 3);
        before.loadInto(f.live);
        for (const auto& block : blocks) {
            f.run(path, block);
        }
        if (blocks.empty()) {
            for (const std::intptr_t word :
                 {std::intptr_t{4}, std::intptr_t{-1}, std::intptr_t{1} << 40}) {
                f.run(path, word);
            }
        } else {
            f.run(path, std::intptr_t{0}); // no block at all
        }
        EXPECT_TRUE(f.steps.empty());
        EXPECT_EQ(before.distanceTo(f.live), 0.0);
    }
}

// Degrees with a fraction, radians in the block, degrees again in the text; bad fields and
// repeated bits explain themselves and run nothing.
TEST(StandardGates, DialogsSendRadiansAndRefuseWhatCannotRun) {
    HostFixture f(3);
    {
        DialogDriver d(f.host, "standard\\rz");
        EXPECT_EQ(d.text(1003), "90");
        d.select(1001, 2);
        d.execute();
        for (const char* typed : {" -22.5 ", "abc", "", "nan", "1,5"}) {
            d.setText(1003, typed);
            d.execute();
            EXPECT_EQ(d.explanation().isEmpty(), typed[0] == ' ') << typed;
        }
    }
    EXPECT_EQ(f.texts(), (std::vector<std::string>{"Rz ( 2, 90 )", "Rz ( 2, -22.5 )"}));
    ReferenceSim expected(3);
    expected.matrix(2, rz(std::numbers::pi / 2));
    expected.matrix(2, rz(-22.5 * std::numbers::pi / 180));
    EXPECT_LT(expected.distanceTo(f.live), 1e-15);

    f.setBasisState(3);
    f.steps.clear();
    DialogDriver d(f.host, "standard\\toffoli");
    d.select(1003, 1);
    d.execute();
    EXPECT_EQ(d.explanation(), "2nd and target must be different bits");
    d.select(1003, 2);
    d.execute();
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Toffoli ( 0, 1, 2 )"});
    EXPECT_EQ(f.live.amplitudes[7].real, 1.0);
}

} // namespace
