// The elementary gates run by path through the real host, against the reference simulator on
// random states, and the exact values that their arithmetic order fixes.

#include "tests/gates/referencesim.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::vector<std::int32_t> rotationBlock(int first, int second, double theta) {
    std::vector<std::int32_t> block = {first, second, 0, 0};
    amplex::putDouble(block.data() + 2, theta);
    return block;
}

// A gate run either with a block or, when the block is empty, with the qubit as the word.
struct GateCall {
    const char* path;
    std::vector<std::int32_t> block;
    std::intptr_t qubit = 0;

    void run(HostFixture& f) const {
        if (block.empty()) {
            f.run(path, qubit);
        } else {
            f.run(path, block);
        }
    }
};

void swapQubits(ReferenceSim& sim, int a, int b) {
    sim.cnot(a, b);
    sim.cnot(b, a);
    sim.cnot(a, b);
}

struct ReferenceCase {
    GateCall call;
    std::function<void(ReferenceSim&)> reference;
    const char* step;
};

TEST(ElementaryGates, MatchTheReferenceOnRandomStates) {
    const ReferenceCase cases[] = {
        {{"basic\\cnotgate", {0, 3}}, [](auto& s) { s.cnot(0, 3); }, "cnot ( 0, 3 )"},
        {{"basic\\ctrlhadamard", {0, 3}},
         [](auto& s) { s.controlledHadamard(0, 3); },
         "Hadamard controlled ( 0, 3 )"},
        {{"basic\\hadamard", {}, 3}, [](auto& s) { s.hadamard(3); }, "Hadamard ( 3 )"},
        {{"basic\\pieighth", {}, 2}, [](auto& s) { s.t(2); }, "Pi-eighth ( 2 )"},
        {{"shor\\modules\\ctrlrotate", rotationBlock(1, 3, 0.7)},
         [](auto& s) { s.controlledPhase(1, 3, 0.7); },
         "Rotate 2 bits controlled ( bits: 1, 3, angle: 0.7)"},
        // Equal qubits: the phase wherever that one qubit is 1.
        {{"shor\\modules\\ctrlrotate", rotationBlock(2, 2, -2.5)},
         [](auto& s) { s.controlledPhase(2, 2, -2.5); },
         "Rotate 2 bits controlled ( bits: 2, 2, angle: -2.5)"},
        {{"shor\\modules\\bitmirror", {0, 3}},
         [](auto& s) {
             swapQubits(s, 0, 3);
             swapQubits(s, 1, 2);
         },
         "Bitmirror ( 0 - 3 )"},
        {{"shor\\modules\\bitmirror", {1, 3}},
         [](auto& s) { swapQubits(s, 1, 3); },
         "Bitmirror ( 1 - 3 )"},
    };
    unsigned seed = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        HostFixture f(4);
        ReferenceSim expected = ReferenceSim::random(4, seed++);
        expected.loadInto(f.live);
        c.call.run(f);
        c.reference(expected);
        EXPECT_LT(expected.distanceTo(f.live), 1e-12);
        ASSERT_EQ(f.steps.size(), 1u);
        EXPECT_EQ(f.steps[0].text, c.step);
        EXPECT_EQ(f.steps[0].depth, 1);
    }
}

// Bad qubits from a caller through procexecute must neither reach memory outside the array
// nor record a step.
TEST(ElementaryGates, RefuseQubitsOutsideTheRegisterAndEqualPairs) {
    const GateCall refused[] = {
        {"basic\\cnotgate", {0, 4}},
        {"basic\\cnotgate", {-1, 0}},
        {"basic\\cnotgate", {2, 2}},
        {"basic\\ctrlhadamard", {31, 0}},
        {"basic\\ctrlhadamard", {1, 1}},
        {"basic\\hadamard", {}, 4},
        {"basic\\hadamard", {}, -1},
        {"basic\\hadamard", {}, std::intptr_t{1} << 40},
        {"basic\\pieighth", {}, 4},
        {"basic\\pieighth", {}, -3},
        {"shor\\modules\\ctrlrotate", rotationBlock(0, 32, 1.0)},
        {"shor\\modules\\ctrlrotate", rotationBlock(-1, 0, 1.0)},
        {"shor\\modules\\bitmirror", {0, 4}},
        {"shor\\modules\\bitmirror", {0, -1}},
        {"shor\\modules\\bitmirror", {3, 1}},
    };
    for (const auto& call : refused) {
        SCOPED_TRACE(std::string(call.path) + " " + std::to_string(call.qubit));
        HostFixture f(4);
        const ReferenceSim before = ReferenceSim::random(4, 7);
        before.loadInto(f.live);
        call.run(f);
        EXPECT_TRUE(f.steps.empty());
        EXPECT_EQ(before.distanceTo(f.live), 0.0);
    }
    // No block at all.
    for (const char* path : {"basic\\cnotgate", "basic\\ctrlhadamard", "shor\\modules\\bitmirror",
                             "shor\\modules\\ctrlrotate", "shor\\modules\\power"}) {
        HostFixture f(2);
        f.run(path, std::intptr_t{0});
        EXPECT_TRUE(f.steps.empty()) << path;
    }
}

TEST(CNot, MovesAmplitudesExactlySoTwiceIsNothing) {
    HostFixture f(5);
    const ReferenceSim before = ReferenceSim::random(5, 3);
    before.loadInto(f.live);
    f.run("basic\\cnotgate", {4, 0});
    f.run("basic\\cnotgate", {4, 0});
    EXPECT_EQ(before.distanceTo(f.live), 0.0);
}

TEST(ControlledHadamard, GivesTheExactValuesOfItsAdditionOrder) {
    const double h = 0.7071067811865475;
    HostFixture f(2);
    f.setBasisState(1);
    f.run("basic\\ctrlhadamard", {0, 1});
    EXPECT_EQ(f.live.amplitudes[1].real, h);
    EXPECT_EQ(f.live.amplitudes[3].real, h);
    EXPECT_EQ(f.live.amplitudes[0].real, 0.0);
    EXPECT_EQ(f.live.amplitudes[2].real, 0.0);
    // Twice: h * h is 0.4999999999999999, so the state comes back only nearly.
    f.run("basic\\ctrlhadamard", {0, 1});
    EXPECT_EQ(f.live.amplitudes[1].real, 0.9999999999999998);
    EXPECT_EQ(f.live.amplitudes[3].real, 0.0);

    f.setBasisState(3);
    f.run("basic\\ctrlhadamard", {0, 1});
    EXPECT_EQ(f.live.amplitudes[1].real, h);
    EXPECT_EQ(f.live.amplitudes[3].real, -h);
}

TEST(ControlledHadamard, KeepsControlZeroStatesBitForBit) {
    HostFixture f(4);
    const ReferenceSim before = ReferenceSim::random(4, 11);
    before.loadInto(f.live);
    f.run("basic\\ctrlhadamard", {2, 0});
    for (std::uint32_t i = 0; i < 16; ++i) {
        if (!(i & 4u)) {
            EXPECT_EQ(f.live.amplitudes[i].real, before.state[i].real()) << i;
            EXPECT_EQ(f.live.amplitudes[i].imag, before.state[i].imag()) << i;
        }
    }
}

TEST(PiEighth, ReachesTheExactPhasesOfItsProducts) {
    HostFixture f(1);
    f.setBasisState(1);
    f.run("basic\\pieighth", std::intptr_t{0});
    EXPECT_EQ(f.live.amplitudes[1].real, 0.7071067811865476);
    EXPECT_EQ(f.live.amplitudes[1].imag, 0.7071067811865476);
    f.run("basic\\pieighth", std::intptr_t{0});
    EXPECT_EQ(f.live.amplitudes[1].real, 0.0);
    EXPECT_EQ(f.live.amplitudes[1].imag, 1.0000000000000002);
    for (int k = 2; k < 8; ++k) {
        f.run("basic\\pieighth", std::intptr_t{0});
    }
    EXPECT_EQ(f.live.amplitudes[1].real, 1.0000000000000002);
    EXPECT_EQ(f.live.amplitudes[1].imag, 0.0);
}

TEST(ControlledRotation, HalfTurnIsASignChangeUpToTheRoundingOfPi) {
    HostFixture f(3);
    const ReferenceSim before = ReferenceSim::random(3, 5);
    before.loadInto(f.live);
    f.run("shor\\modules\\ctrlrotate", rotationBlock(0, 1, 180 * 0.017453292519943295));
    ASSERT_EQ(f.steps.size(), 1u);
    EXPECT_EQ(f.steps[0].text, "Rotate 2 bits controlled ( bits: 0, 1, angle: 3.1416)");
    for (std::uint32_t i = 0; i < 8; ++i) {
        const auto& a = f.live.amplitudes[i];
        const auto old = before.state[i];
        if ((i & 3u) == 3u) {
            // The factor is -1 + 1.2246467991473532e-16 i.
            EXPECT_EQ(a.real, -old.real() - 1.2246467991473532e-16 * old.imag()) << i;
            EXPECT_EQ(a.imag, -old.imag() + 1.2246467991473532e-16 * old.real()) << i;
        } else {
            EXPECT_EQ(a.real, old.real()) << i;
            EXPECT_EQ(a.imag, old.imag()) << i;
        }
    }
}

TEST(BitMirror, MovesBasisStatesToTheirMirrorAndUndoesItself) {
    HostFixture f(3);
    for (std::uint32_t i = 0; i < 8; ++i) {
        f.live.amplitudes[i] = static_cast<double>(i + 1);
    }
    f.run("shor\\modules\\bitmirror", {0, 2});
    const double expected[] = {1, 5, 3, 7, 2, 6, 4, 8};
    for (std::uint32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(f.live.amplitudes[i].real, expected[i]) << i;
    }

    HostFixture g(4);
    g.setBasisState(2);
    g.run("shor\\modules\\bitmirror", {1, 3});
    EXPECT_EQ(g.live.amplitudes[8].real, 1.0);
    g.setBasisState(3);
    g.run("shor\\modules\\bitmirror", {1, 3});
    EXPECT_EQ(g.live.amplitudes[9].real, 1.0);

    HostFixture h(5);
    const ReferenceSim before = ReferenceSim::random(5, 9);
    before.loadInto(h.live);
    h.run("shor\\modules\\bitmirror", {2, 2});
    EXPECT_EQ(before.distanceTo(h.live), 0.0);
    h.run("shor\\modules\\bitmirror", {0, 4});
    h.run("shor\\modules\\bitmirror", {0, 4});
    EXPECT_EQ(before.distanceTo(h.live), 0.0);
    EXPECT_EQ(h.texts(), (std::vector<std::string>{"Bitmirror ( 2 - 2 )", "Bitmirror ( 0 - 4 )",
                                                   "Bitmirror ( 0 - 4 )"}));
}

} // namespace
