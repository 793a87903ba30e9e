// The gates composed of sub-gates run by path: their order, depths and own steps, and the
// transform that they add up to.

#include "host/gatehost.h"
#include "tests/gates/referencesim.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

using Steps = std::vector<std::string>;

std::vector<int> depths(const HostFixture& f) {
    std::vector<int> result;
    for (const auto& step : f.steps) {
        result.push_back(step.depth);
    }
    return result;
}

TEST(HadamardRange, RunsOneHadamardPerQubitAscendingThenRecordsItsStep) {
    HostFixture f(4);
    const ReferenceSim before = ReferenceSim::random(4, 21);
    before.loadInto(f.live);
    f.run("basic\\hadamardrange", {1, 3});
    EXPECT_EQ(f.texts(), (Steps{"Hadamard ( 1 )", "Hadamard ( 2 )", "Hadamard ( 3 )",
                                "Hadamardrange ( 1 - 3 )"}));
    EXPECT_EQ(depths(f), (std::vector<int>{2, 2, 2, 1}));
    ReferenceSim expected = before;
    for (int k = 1; k <= 3; ++k) {
        expected.hadamard(k);
    }
    EXPECT_LT(expected.distanceTo(f.live), 1e-12);

    HostFixture single(1);
    single.run("basic\\hadamardrange", {0, 0});
    EXPECT_EQ(single.texts(), (Steps{"Hadamard ( 0 )", "Hadamardrange ( 0 - 0 )"}));
}

TEST(InverseFourier, RunsHadamardsAndRotationsInItsOrder) {
    HostFixture f(3);
    f.run("shor\\modules\\invfourier", {0, 2});
    EXPECT_EQ(f.texts(),
              (Steps{"Hadamard ( 0 )", "Rotate 2 bits controlled ( bits: 1, 0, angle: -1.5708)",
                     "Hadamard ( 1 )", "Rotate 2 bits controlled ( bits: 2, 0, angle: -0.7854)",
                     "Rotate 2 bits controlled ( bits: 2, 1, angle: -1.5708)", "Hadamard ( 2 )",
                     "FFT^-1 ( 0 - 2 )"}));
    EXPECT_EQ(depths(f), (std::vector<int>{2, 2, 2, 2, 2, 2, 1}));

    HostFixture single(3);
    single.run("shor\\modules\\invfourier", {1, 1});
    EXPECT_EQ(single.texts(), (Steps{"Hadamard ( 1 )", "FFT^-1 ( 1 - 1 )"}));
}

// After the bit mirror, as the Shor driver runs them, the two make the inverse discrete
// Fourier transform of the range.
TEST(InverseFourier, AfterTheBitMirrorIsTheInverseDft) {
    for (const auto& [first, last] : {std::pair{0, 4}, std::pair{1, 3}, std::pair{2, 5}}) {
        SCOPED_TRACE(first);
        HostFixture f(6);
        ReferenceSim expected = ReferenceSim::random(6, 30 + first);
        expected.loadInto(f.live);
        f.run("shor\\modules\\bitmirror", {first, last});
        f.run("shor\\modules\\invfourier", {first, last});
        expected.inverseFourier(first, last);
        EXPECT_LT(expected.distanceTo(f.live), 1e-12);
    }
}

TEST(CompositeGates, RecordNothingForAnEmptyOrOutOfRangeRange) {
    for (const char* path : {"basic\\hadamardrange", "shor\\modules\\invfourier"}) {
        // [0, -1] would count up to 2^32 - 1 without the range check.
        for (const auto& block : {std::vector<std::int32_t>{2, 1}, {0, 3}, {0, -1}, {-1, 1}}) {
            HostFixture f(3);
            f.setBasisState(5);
            f.run(path, block);
            EXPECT_TRUE(f.steps.empty()) << path << " " << block[0] << "-" << block[1];
            EXPECT_EQ(f.live.amplitudes[5].real, 1.0);
        }
    }
}

// A gate tree holding the range gate but not basic\hadamard: the range changes nothing but
// still records its own step.
TEST(CompositeGates, StillRecordTheirStepWhenASubGateIsMissing) {
    const auto root = std::filesystem::temp_directory_path() /
                      ("amplex-partial-tree-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "gates" / "basic");
    std::filesystem::create_symlink(std::filesystem::path(buildDir()) / "gates" / "basic" /
                                        "hadamardrange.so",
                                    root / "gates" / "basic" / "hadamardrange.so");
    {
        HostFixture f(2);
        GateHost partial(f.live, {root});
        std::vector<std::string> steps;
        partial.setStepSink([&](const char* text, int) { steps.push_back(text); });
        const std::int32_t block[] = {0, 1};
        partial.runGate("basic\\hadamardrange", amplex::argumentWord(block));
        EXPECT_EQ(steps, (Steps{"Hadamardrange ( 0 - 1 )"}));
        EXPECT_EQ(f.live.amplitudes[0].real, 1.0);
    }
    std::filesystem::remove_all(root);
}

} // namespace
