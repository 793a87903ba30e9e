#include "app/commandline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

// The command line finds gates beside the program; this test program lives elsewhere.
static const int gatePathSet = setenv("AMPLEX_GATE_PATH", AMPLEX_BUILD_DIR "/gates", 1);

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the command line in this process on a program written to a file of the test's own:
// CTest runs the cases as parallel processes.
Outcome run(const std::string& program, std::vector<std::string> options) {
    const std::string file =
        testing::TempDir() + "commandline_test_" + std::to_string(getpid()) + ".qasm";
    std::ofstream(file) << program;
    options.insert(options.begin(), {"--run", file});
    char* outText = nullptr;
    char* errText = nullptr;
    std::size_t outSize = 0;
    std::size_t errSize = 0;
    std::FILE* out = open_memstream(&outText, &outSize);
    std::FILE* err = open_memstream(&errText, &errSize);
    Outcome outcome;
    outcome.status = CommandLine::parse(options).run(out, err);
    std::fclose(out);
    std::fclose(err);
    outcome.out = outText;
    outcome.err = errText;
    std::free(outText);
    std::free(errText);
    return outcome;
}

const char* const Bell = "OPENQASM 3.0;\ninclude \"stdgates.inc\";\nqubit[2] q;\n"
                         "h q[0];\ncx q[0], q[1];\ncp(pi) q[0], q[1];\n";

TEST(CommandLine, ReadsOptions) {
    using P = CommandLine::Print;
    const struct {
        std::vector<std::string> args;
        bool wanted;
        bool refused;
        P print;
        const char* file;
    } cases[] = {
        {{"--run", "a.qasm"}, true, false, P::Probabilities, "a.qasm"},
        {{"--run=a.qasm", "--print", "state", "--seed=7"}, true, false, P::State, "a.qasm"},
        {{"--print=history", "--run", "-"}, true, false, P::History, "-"},
        {{"--run", "a", "--print", "amplitudes"}, true, true, P::Probabilities, "a"},
        {{"--run", "a", "--verbose"}, true, true, P::Probabilities, "a"},
        {{"--seed", "3"}, true, true, P::Probabilities, ""},
        {{"-platform", "offscreen"}, false, true, P::Probabilities, ""},
    };
    for (const auto& c : cases) {
        const CommandLine line = CommandLine::parse(c.args);
        const std::string args = testing::PrintToString(c.args);
        EXPECT_EQ(CommandLine::wanted(c.args), c.wanted) << args;
        EXPECT_EQ(!line.usageError.empty(), c.refused) << args;
        EXPECT_EQ(line.print, c.print) << args;
        EXPECT_EQ(line.file, c.file) << args;
    }
    EXPECT_EQ(CommandLine::parse({"--run=a", "--seed=4294967295"}).seed, 4294967295u);
}

TEST(CommandLine, PrintsEachBasisStateOrTheSteps) {
    const struct {
        const char* print;
        const char* out;
    } cases[] = {
        {"probabilities", "|00> 0.5\n|11> 0.5\n"},
        // The phase pi leaves a tiny imaginary part behind, as the plug-in computes it.
        {"state", "|00> 0.707106781186547\n|11> -0.707106781186547 + 8.65956056235493e-17i\n"},
        {"history", "Hadamard ( 0 )\ncnot ( 0, 1 )\n"
                    "Rotate 2 bits controlled ( bits: 0, 1, angle: 3.1416)\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run(Bell, {"--print", c.print});
        EXPECT_EQ(outcome.status, CommandLine::Done) << outcome.err;
        EXPECT_EQ(outcome.out, c.out) << c.print;
    }
}

TEST(CommandLine, ErrorsExitWithStatusTwoAndRunNothing) {
    const Outcome bad = run("qubit[2] q;\nh q[0];\nfoo q[1];\n", {"--print", "history"});
    EXPECT_EQ(bad.status, CommandLine::BadInput);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "3:1: \"foo\" is not a gate Amplex runs\n");
    const Outcome missing = run("", {"--run", testing::TempDir() + "no/such.qasm"});
    EXPECT_EQ(missing.status, CommandLine::BadInput);
    EXPECT_NE(missing.err.find("No such file"), std::string::npos) << missing.err;
}

} // namespace
