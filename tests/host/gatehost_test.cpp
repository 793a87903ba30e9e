#include "app/stephistory.h"
#include "core/qregister.h"
#include "core/segmentation.h"
#include "host/gatehost.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path fixtureRoot = AMPLEX_FIXTURE_ROOT;
const fs::path mainRoot = fixtureRoot / "main";

// A host over a live register that finds the fixture plug-ins first and the real gates of the
// build tree after them, recording every step with its depth.
struct FixtureHost {
    explicit FixtureHost(std::vector<fs::path> roots = {mainRoot, buildDir()})
        : host(live, std::move(roots)) {
        live.segmentation = &segmentation;
        EXPECT_TRUE(live.setQubitCount(2));
        live.amplitudes[0] = 1.0;
        host.setStepSink([this](const char* text, int depth) {
            texts.emplace_back(text);
            depths.push_back(depth);
        });
    }
    // Runs a gate's execute directly from its loaded dialog library: a top-level run, as the
    // gate's own dialog button does it.
    void runFromDialog(std::intptr_t word) {
        auto execute = reinterpret_cast<ExecuteFn>(dlsym(host.dialogHandle(), "execute"));
        ASSERT_NE(execute, nullptr);
        execute(word);
    }

    Segmentation segmentation;
    QRegister live;
    GateHost host;
    std::vector<std::string> texts;
    std::vector<int> depths;
};

bool isMapped(const fs::path& file) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) {
        dlclose(handle);
    }
    return handle != nullptr;
}

TEST(GateHost, RunsAGateByPathAndTakesItsStep) {
    HostFixture f(2);
    f.setBasisState(1);
    f.run("basic\\cnotgate", {0, 1});
    EXPECT_EQ(f.live.amplitudes[3].real, 1.0);
    ASSERT_EQ(f.steps.size(), 1u);
    EXPECT_EQ(f.steps[0].text, "cnot ( 0, 1 )");
    EXPECT_EQ(f.steps[0].depth, 1);
    EXPECT_EQ(f.host.nestingDepth(), 0);
}

TEST(GateHost, DialogSitsBelowTheGatesWindowAtTheFootOfTheRightColumn) {
    EXPECT_EQ(GateHost::dialogRect(1024, 768), (ScreenRect{844, 380, 180, 360}));
    EXPECT_EQ(GateHost::dialogRect(1280, 1024), (ScreenRect{1100, 635, 180, 360}));
    // The two quotients are rounded down separately: H = 1052 gives 938 + 113 - 360.
    EXPECT_EQ(GateHost::dialogRect(1920, 1080), (ScreenRect{1740, 691, 180, 360}));
}

TEST(GateHost, APathThatCannotRunLeavesDepthRegisterAndStepsAlone) {
    FixtureHost f;
    f.live.amplitudes[2] = Complex(0.25, -0.5);
    for (const char* path : {"basic\\nosuchgate", "fixtures\\notalib", "..\\gates\\basic\\cnotgate",
                             "fixtures", "", "fixtures\\noregister", "fixtures\\noexecute"}) {
        unsetenv("AMPLEX_FIXTURE_RAN");
        const std::int32_t block[] = {0, 1};
        f.host.runGate(path, amplex::argumentWord(block));
        EXPECT_EQ(f.host.nestingDepth(), 0) << path;
        EXPECT_FALSE(f.host.lastError().empty()) << path;
        EXPECT_EQ(std::getenv("AMPLEX_FIXTURE_RAN"), nullptr) << path;
    }
    f.host.runGate(nullptr, 0);
    EXPECT_TRUE(f.texts.empty());
    EXPECT_EQ(f.live.amplitudes[0].real, 1.0);
    EXPECT_EQ(f.live.amplitudes[2].real, 0.25);
    EXPECT_EQ(f.live.amplitudes[2].imag, -0.5);
}

TEST(GateHost, EachRunByPathLoadsWiresAndUnloadsAnew) {
    FixtureHost f;
    // The word is handed over unread: a pointer-sized value that is no valid address.
    f.host.runGate("fixtures\\counter", 0x123456789);
    f.host.runGate("fixtures\\counter", -3);
    EXPECT_EQ(f.texts, (std::vector<std::string>{"counter 1 word 4886718345 qubits 2",
                                                 "counter 1 word -3 qubits 2"}));
    EXPECT_EQ(f.depths, (std::vector<int>{1, 1}));
    EXPECT_FALSE(isMapped(mainRoot / "gates/fixtures/counter.so"));
}

TEST(GateHost, DialogLibraryStaysLoadedAndSharesItsModuleWithRunsByPath) {
    FixtureHost f;
    const fs::path file = mainRoot / "gates/fixtures/counter.so";
    ASSERT_TRUE(f.host.showGateDialog("fixtures\\counter", 1280, 1024));
    EXPECT_TRUE(f.host.hasDialog());
    EXPECT_EQ(*static_cast<QRegister**>(dlsym(f.host.dialogHandle(), "r")), &f.live);
    EXPECT_EQ(*static_cast<void**>(dlsym(f.host.dialogHandle(), "hdll")), f.host.dialogHandle());

    f.host.runGate("fixtures\\counter", 7);
    f.host.runGate("fixtures\\counter", 7);
    EXPECT_TRUE(isMapped(file));
    f.host.hideGateDialog();
    EXPECT_FALSE(f.host.hasDialog());
    EXPECT_FALSE(isMapped(file));
    f.host.hideGateDialog(); // nothing shown: nothing happens
    f.host.runGate("fixtures\\counter", 7);
    EXPECT_EQ(f.texts, (std::vector<std::string>{
                           "dlgshow 1100 635 180 360", "counter 1 word 7 qubits 2",
                           "counter 2 word 7 qubits 2", "dlghide", "counter 1 word 7 qubits 2"}));
}

TEST(GateHost, ShowingADialogReplacesThePreviousOneEvenWhenNoneCanBeShown) {
    FixtureHost f;
    ASSERT_TRUE(f.host.showGateDialog("fixtures\\counter", 1024, 768));
    ASSERT_TRUE(f.host.showGateDialog("fixtures\\chain", 1024, 768));
    EXPECT_FALSE(isMapped(mainRoot / "gates/fixtures/counter.so"));
    // A directory entry, a missing export or a non-library: the old dialog goes, none comes.
    for (const char* path : {"fixtures", "fixtures\\nodlghide", "fixtures\\noregister",
                             "fixtures\\noexecute", "fixtures\\notalib"}) {
        EXPECT_FALSE(f.host.showGateDialog(path, 1024, 768)) << path;
        EXPECT_FALSE(f.host.hasDialog()) << path;
    }
    EXPECT_FALSE(isMapped(mainRoot / "gates/fixtures/chain.so"));
    EXPECT_FALSE(isMapped(mainRoot / "gates/fixtures/nodlghide.so"));
    EXPECT_EQ(f.texts, (std::vector<std::string>{"dlgshow 844 380 180 360", "dlghide",
                                                 "dlgshow 844 380 180 360", "dlghide"}));
}

TEST(GateHost, RunByPathNeedsOnlyTheFiveNamesItUses) {
    FixtureHost f;
    f.host.runGate("fixtures\\nodlghide", 0);
    EXPECT_EQ(f.texts, (std::vector<std::string>{"nodlghide"}));
}

TEST(GateHost, NestedRunsRecordInnermostFirstOneLevelDeeperEach) {
    FixtureHost f;
    ASSERT_TRUE(f.host.showGateDialog("fixtures\\chain", 1024, 768));
    f.texts.clear();
    f.depths.clear();
    f.runFromDialog(2);
    EXPECT_EQ(f.texts, (std::vector<std::string>{"chain 0", "chain 1", "chain 2"}));
    EXPECT_EQ(f.depths, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(f.host.nestingDepth(), 0);

    // Run by path, the same chain starts one level deeper.
    f.texts.clear();
    f.depths.clear();
    f.host.runGate("fixtures\\chain", 1);
    EXPECT_EQ(f.depths, (std::vector<int>{2, 1}));
}

TEST(GateHost, AGateThatRunsItselfStopsAtTheNestingLimit) {
    FixtureHost f;
    f.host.runGate("fixtures\\forever", 0);
    ASSERT_EQ(f.depths.size(), static_cast<std::size_t>(GateHost::MaxNestingDepth));
    EXPECT_EQ(f.depths.front(), GateHost::MaxNestingDepth);
    EXPECT_EQ(f.texts.front(), "forever " + std::to_string(GateHost::MaxNestingDepth - 1));
    EXPECT_EQ(f.depths.back(), 1);
    EXPECT_EQ(f.host.nestingDepth(), 0);
    EXPECT_FALSE(isMapped(mainRoot / "gates/fixtures/forever.so"));
}

TEST(GateHost, CompositeGateRunsRealGatesAndStillStepsPastAMissingOne) {
    FixtureHost f;
    f.host.runGate("fixtures\\runner", 0);
    EXPECT_EQ(f.texts, (std::vector<std::string>{"Hadamard ( 0 )", "cnot ( 0, 1 )", "runner"}));
    EXPECT_EQ(f.depths, (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(f.host.nestingDepth(), 0);
    const double h = 1.0 / std::sqrt(2.0);
    EXPECT_DOUBLE_EQ(f.live.amplitudes[0].real, h);
    EXPECT_EQ(f.live.amplitudes[1].real, 0.0);
    EXPECT_EQ(f.live.amplitudes[2].real, 0.0);
    EXPECT_DOUBLE_EQ(f.live.amplitudes[3].real, h);
}

TEST(GateHost, SearchRootsAreTriedInOrder) {
    FixtureHost a({fixtureRoot / "first", fixtureRoot / "second"});
    a.host.runGate("fixtures\\where", 0);
    FixtureHost b({fixtureRoot / "second", fixtureRoot / "first"});
    b.host.runGate("fixtures\\where", 0);
    EXPECT_EQ(a.texts, (std::vector<std::string>{"where first"}));
    EXPECT_EQ(b.texts, (std::vector<std::string>{"where second"}));
}

TEST(GateHost, DefaultSearchFallsBackToTheWorkingDirectory) {
    // Nothing named fixtures\where lies beside the test program, so the working directory's
    // copy is found.
    const fs::path before = fs::current_path();
    fs::current_path(fixtureRoot / "second");
    {
        FixtureHost f(GateLibrary::defaultSearchRoots());
        f.host.runGate("fixtures\\where", 0);
        EXPECT_EQ(f.texts, (std::vector<std::string>{"where second"}));
    }
    fs::current_path(before);
}

TEST(GateHost, CallbacksReachTheNewestLiveHostInAnyOrderOfDestruction) {
    QRegister live;
    auto older = std::make_unique<GateHost>(live, std::vector<fs::path>{});
    auto newer = std::make_unique<GateHost>(live, std::vector<fs::path>{});
    EXPECT_EQ(GateHost::current(), newer.get());
    older.reset();
    EXPECT_EQ(GateHost::current(), newer.get());
    newer.reset();
    EXPECT_EQ(GateHost::current(), nullptr);
    GateHost::runGateCallback("basic\\cnotgate", 0); // no host: ignored
    GateHost::recordStepCallback("lost");
}

// The history goes before the host, whose dialog then closes without reaching it.
TEST(GateHost, StepsDeeperThanFourAreNotRecordedInTheHistory) {
    FixtureHost f;
    StepHistory history(f.live);
    ASSERT_TRUE(f.host.showGateDialog("fixtures\\chain", 1024, 768));
    f.host.setStepSink([&](const char* text, int depth) { history.recordStep(text, depth); });
    f.runFromDialog(5);
    ASSERT_EQ(history.historySize(), 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(history.entry(k).depth, 4 - k);
        EXPECT_EQ(history.entry(k).text, "chain " + std::to_string(k + 1));
    }
}

} // namespace
