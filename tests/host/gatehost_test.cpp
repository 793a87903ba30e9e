#include "core/qregister.h"
#include "host/gatehost.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Steps = std::vector<std::string>;

const fs::path fixtureRoot = AMPLEX_FIXTURE_ROOT;
const fs::path mainRoot = fixtureRoot / "main";

bool isMapped(const char* fixture) { // whether fixtures\<fixture> is still loaded
    const fs::path file = mainRoot / "gates/fixtures" / (std::string(fixture) + ".so");
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    return handle && dlclose(handle) == 0;
}

// A host over two qubits in the basis state 0 that finds the fixture plug-ins first and the real
// gates of the build tree after them, recording every step as "<depth> <text>".
struct FixtureHost {
    FixtureHost() : host(live, {mainRoot / "gates", fs::path(buildDir()) / "gates"}) {
        EXPECT_TRUE(live.setQubitCount(2));
        live.amplitudes[0] = 1.0;
        host.setStepSink([this](const char* text, int depth) {
            steps.push_back(std::to_string(depth) + " " + text);
        });
    }

    QRegister live;
    GateHost host;
    Steps steps;
};

TEST(GateHost, APathThatCannotRunFailsTheRunAndLeavesDepthRegisterAndStepsAlone) {
    FixtureHost f;
    f.live.amplitudes[1] = Complex(0.25, -0.5);
    for (const char* path : {"basic\\nosuchgate", "fixtures\\notalib", "..\\gates\\basic\\cnotgate",
                             "fixtures", "", "fixtures\\noregister", "fixtures\\noexecute"}) {
        unsetenv("AMPLEX_FIXTURE_RAN");
        const std::int32_t block[] = {0, 1};
        f.host.runGate(path, amplex::argumentWord(block));
        EXPECT_EQ(f.host.nestingDepth(), 0) << path;
        EXPECT_EQ(f.host.runFailure(),
                  path + std::string(" could not be loaded: ") + f.host.lastError());
        EXPECT_FALSE(f.host.lastError().empty()) << path;
        EXPECT_EQ(std::getenv("AMPLEX_FIXTURE_RAN"), nullptr) << path;
        f.host.endRun();
    }
    f.host.runGate(nullptr, 0);
    EXPECT_TRUE(f.steps.empty());
    EXPECT_EQ(f.live.amplitudes[0].real, 1.0);
    EXPECT_EQ(f.live.amplitudes[1].imag, -0.5);
}

TEST(GateHost, RunsByPathAreLoadedAnewAndADialogStaysLoadedUntilTheNextOne) {
    FixtureHost f;
    // The word is handed over unread: a pointer-sized value that is no valid address.
    f.host.runGate("fixtures\\counter", 0x123456789);
    f.host.runGate("fixtures\\counter", -3);
    f.host.runGate("fixtures\\nodlghide", 0); // a run needs no dialog exports
    EXPECT_FALSE(isMapped("counter"));
    ASSERT_TRUE(f.host.showGateDialog("fixtures\\counter", 1280, 1024));
    EXPECT_EQ(*static_cast<void**>(dlsym(f.host.dialogHandle(), "hdll")), f.host.dialogHandle());
    // Runs by path share the dialog's module, and with it the count.
    f.host.runGate("fixtures\\counter", 7);
    f.host.runGate("fixtures\\counter", 7);
    EXPECT_TRUE(isMapped("counter"));
    ASSERT_TRUE(f.host.showGateDialog("fixtures\\chain", 1024, 768));
    EXPECT_FALSE(isMapped("counter"));
    f.host.runGate("fixtures\\counter", 7);
    // A directory entry, a missing export or a non-library: the old dialog goes, none comes.
    for (const char* path : {"fixtures", "fixtures\\nodlghide", "fixtures\\noregister",
                             "fixtures\\noexecute", "fixtures\\notalib"}) {
        EXPECT_FALSE(f.host.showGateDialog(path, 1024, 768)) << path;
        EXPECT_FALSE(f.host.hasDialog()) << path;
    }
    f.host.hideGateDialog(); // nothing shown: nothing happens
    EXPECT_FALSE(isMapped("chain"));
    EXPECT_FALSE(isMapped("nodlghide"));
    EXPECT_EQ(f.steps,
              (Steps{"1 counter 1 word 4886718345 qubits 2", "1 counter 1 word -3 qubits 2",
                     "1 nodlghide", "0 dlgshow 1100 635 180 360", "1 counter 1 word 7 qubits 2",
                     "1 counter 2 word 7 qubits 2", "0 dlghide", "0 dlgshow 844 380 180 360",
                     "1 counter 1 word 7 qubits 2", "0 dlghide"}));
    // The two quotients of the placement are rounded down separately: 938 + 113 - 360.
    EXPECT_EQ(GateHost::dialogRect(1920, 1080), (ScreenRect{1740, 691, 180, 360}));
}

TEST(GateHost, NestedRunsRecordInnermostFirstOneLevelDeeperEach) {
    FixtureHost f;
    f.host.runGate("fixtures\\chain", 1000); // far deeper than the nesting limit
    const int limit = GateHost::MaxNestingDepth;
    ASSERT_EQ(f.steps.size(), static_cast<std::size_t>(limit));
    EXPECT_EQ(f.steps.front(), std::to_string(limit) + " chain " + std::to_string(1001 - limit));
    EXPECT_EQ(f.steps.back(), "1 chain 1000");
    EXPECT_FALSE(isMapped("chain"));

    f.steps.clear();
    ASSERT_TRUE(f.host.showGateDialog("fixtures\\chain", 1024, 768));
    // A top-level run, as the dialog's own button makes it.
    reinterpret_cast<ExecuteFn>(dlsym(f.host.dialogHandle(), "execute"))(2);
    f.host.runGate("fixtures\\chain", 1); // by path, the same chain starts one level deeper
    EXPECT_EQ(f.steps, (Steps{"0 dlgshow 844 380 180 360", "2 chain 0", "1 chain 1", "0 chain 2",
                              "2 chain 0", "1 chain 1"}));
    EXPECT_EQ(f.host.nestingDepth(), 0);
}

TEST(GateHost, AFailedSubGateOrAStopRefusesTheRestOfTheRunAndMarksTheStepsAfter) {
    FixtureHost f;
    int progress = 0;
    f.host.setProgressSink([&] { ++progress; });
    // The runner's Hadamard runs, its missing gate fails the run, its CNot is refused.
    f.host.runGate("fixtures\\runner", 0);
    EXPECT_EQ(f.steps, (Steps{"2 Hadamard ( 0 )", "1 runner [incomplete]"}));
    EXPECT_EQ(progress, 4); // every run by path, refused or not
    EXPECT_EQ(f.host.runFailure(),
              "basic\\nosuchgate could not be loaded: no library for gate path basic\\nosuchgate");
    EXPECT_DOUBLE_EQ(f.live.amplitudes[1].real, M_SQRT1_2);
    EXPECT_EQ(f.live.amplitudes[3].real, 0.0);
    // The mark always fits into a step text.
    const std::string longText(300, 'x');
    f.host.recordStep(longText.c_str());
    EXPECT_EQ(f.steps.back(), "0 " + longText.substr(0, 242) + " [incomplete]");

    // The next run is served in full.
    f.host.endRun();
    f.steps.clear();
    f.host.runGate("fixtures\\counter", 1);
    EXPECT_EQ(f.steps, Steps{"1 counter 1 word 1 qubits 2"});
    // Stop, pressed while a gate runs, refuses its sub-gates likewise.
    f.host.setProgressSink([&] {
        if (f.host.nestingDepth() == 3) {
            f.host.requestStop();
        }
    });
    f.host.runGate("fixtures\\chain", 5);
    EXPECT_EQ(f.steps, (Steps{"1 counter 1 word 1 qubits 2", "3 chain 3 [incomplete]",
                              "2 chain 4 [incomplete]", "1 chain 5 [incomplete]"}));
    EXPECT_TRUE(f.host.stopRequested());
    EXPECT_EQ(f.host.runFailure(), "");
    f.host.endRun();
    EXPECT_FALSE(f.host.refusingRuns());

    // Whatever the sinks do meanwhile, the dialog whose code may be running stays.
    ASSERT_TRUE(f.host.showGateDialog("fixtures\\counter", 1024, 768));
    f.host.setProgressSink([&] {
        f.host.hideGateDialog();
        EXPECT_FALSE(f.host.showGateDialog("fixtures\\chain", 1024, 768));
    });
    f.steps.clear();
    f.host.runGate("fixtures\\counter", 1);
    EXPECT_EQ(f.steps, Steps{"1 counter 1 word 1 qubits 2"});
    EXPECT_TRUE(isMapped("counter"));
    EXPECT_FALSE(isMapped("chain"));
}

TEST(GateHost, CallbacksReachTheNewestLiveHostAndNothingOnceItIsGone) {
    QRegister live;
    auto older = std::make_unique<GateHost>(live, std::vector<fs::path>{});
    Steps late;
    {
        FixtureHost f;
        older.reset(); // hosts may go in any order
        EXPECT_EQ(GateHost::current(), &f.host);
        ASSERT_TRUE(f.host.showGateDialog("fixtures\\counter", 1024, 768));
        f.host.setStepSink([&](const char* text, int) { late.emplace_back(text); });
    }
    EXPECT_TRUE(late.empty()); // the dialog closed without reporting to a sink that may be gone
    EXPECT_EQ(GateHost::current(), nullptr);
    GateHost::runGateCallback("basic\\cnotgate", 0); // no host: ignored
    GateHost::recordStepCallback("lost");
}

TEST(GateLibrary, GatePathLevelsBecomeDirectoriesUnderGatesAndNeverLeaveThem) {
    EXPECT_EQ(GateLibrary::relativeFile("shor\\modules\\power"), fs::path("shor/modules/power.so"));
    std::vector<std::string> refused = {"",           "\\",         "basic\\",           "\\basic",
                                        "..",         "..\\amplex", "basic\\..\\..\\x",  ".\\basic",
                                        "a/b",        "basic\\.",   "basic\\\\hadamard", "/etc/x",
                                        "../../etc/x"};
    refused.emplace_back("basic\\had\0amard", 15);
    for (const std::string& path : refused) {
        EXPECT_TRUE(GateLibrary::relativeFile(path).empty()) << path;
        EXPECT_FALSE(GateLibrary::open(path, {mainRoot / "gates"}).loaded()) << path;
    }
}

TEST(GateLibrary, TheFirstFolderHoldingALoadableFileInsideItWins) {
    // The file that fixtures\counter is loaded from, searching the folders in turn.
    auto found = [](const std::vector<fs::path>& folders) {
        const GateLibrary library = GateLibrary::open("fixtures\\counter", folders);
        Dl_info info{};
        return dladdr(library.symbol("execute"), &info) ? fs::path(info.dli_fname) : fs::path();
    };
    const fs::path first = fixtureRoot / "first/gates", second = fixtureRoot / "second/gates";
    const fs::path main = mainRoot / "gates", counter = "fixtures/counter.so";
    EXPECT_EQ(found({main, second}), main / counter);
    // Folders without the file, or with a file that is no library, are passed over.
    EXPECT_EQ(found({first, second, main}), second / counter);
    EXPECT_EQ(found({fixtureRoot, first, main}), main / counter);
    // A link out of its folder is not followed, even to a library another folder holds.
    const fs::path escape = fixtureRoot / "escape/gates";
    fs::create_directories(escape / "fixtures");
    fs::remove(escape / counter);
    fs::create_symlink(main / counter, escape / counter);
    EXPECT_EQ(found({escape}), fs::path());
    EXPECT_EQ(found({escape, second}), second / counter);
    EXPECT_NE(GateLibrary::open("fixtures\\counter", {escape}).error().find("outside"),
              std::string::npos);
}

TEST(GateFolders, ProgramThenUserThenVariableNeverTheWorkingDirectory) {
    const fs::path bin = "/opt/amplex/gates";
    EXPECT_EQ(GateFolders::compose(bin, "", "/home/u", ""),
              (std::vector<fs::path>{bin, "/home/u/.local/share/amplex/gates"}));
    // A relative XDG_DATA_HOME is ignored; relative, empty and repeated entries add nothing.
    EXPECT_EQ(GateFolders::compose(bin, "data", "/home/u", "::/a/./b:rel:/opt/amplex/gates:/c/"),
              (std::vector<fs::path>{bin, "/home/u/.local/share/amplex/gates", "/a/b", "/c/"}));
    EXPECT_EQ(GateFolders::compose(bin, "/xdg", "", "/a"),
              (std::vector<fs::path>{bin, "/xdg/amplex/gates", "/a"}));
    for (const fs::path& folder : GateFolders::fromEnvironment()) {
        EXPECT_TRUE(folder.is_absolute()) << folder;
    }
    EXPECT_EQ(GateFolders::fromEnvironment().front(),
              fs::read_symlink("/proc/self/exe").parent_path() / "gates");
}

} // namespace
