#include "app/qasmexport.h"

#include <gtest/gtest.h>

using Step = QasmExport::Step;
using Version = QasmExport::Version;

namespace {

std::string body(const QasmExport::Result& result) {
    // Everything after the register's declarations.
    const std::string& p = result.program;
    const auto at = p.find(" q;\n") != std::string::npos ? p.find(" q;\n") + 4 : p.find("];\n") + 3;
    return p.substr(at);
}

// A search's shape: a composite over sub-steps that have sub-steps of their own.
const std::vector<Step> Search = {
    {"Hadamard ( 0 )", 2}, {"Hadamard ( 1 )", 2},       {"Hadamardrange ( 0 - 1 )", 1},
    {"Signoracle", 2},     {"Seekerstep ( 0 - 1 )", 1}, {"Seeker ( 1 )", 0},
};

} // namespace

TEST(QasmExport, WritesTheGatesOfOpenQasm3And2) {
    const std::vector<Step> steps = {
        {"Hadamard ( 0 )", 0},  {"cnot ( 0, 2 )", 0},       {"Phase ( 1, 90 )", 0},
        {"Rx ( 2, -22.5 )", 0}, {"Toffoli ( 0, 1, 2 )", 0}, {"Measure ( 1 - 2 ) = 2", 0},
    };
    const QasmExport::Result v3 = QasmExport::write(steps, 3, 0);
    EXPECT_EQ(v3.program, "OPENQASM 3.0;\ninclude \"stdgates.inc\";\nqubit[3] q;\nbit[3] c;\n"
                          "h q[0];\n"
                          "cx q[0], q[2];\n"
                          "p(1.5707963267948966) q[1];\n"
                          "rx(-0.39269908169872414) q[2];\n"
                          "ccx q[0], q[1], q[2];\n"
                          "// Measure ( 1 - 2 ) = 2 (the outcome recorded)\n"
                          "c[1] = measure q[1];\nc[2] = measure q[2];\n");
    const QasmExport::Result v2 = QasmExport::write(steps, 3, 0, Version::Qasm2);
    EXPECT_TRUE(v2.program.starts_with(
        "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg q[3];\ncreg c[3];\nh q[0];\n"));
    EXPECT_NE(v2.program.find("u1(1.5707963267948966) q[1];"), std::string::npos);
    EXPECT_NE(v2.program.find("measure q[2] -> c[2];"), std::string::npos);
    EXPECT_EQ(v3.warnings.size(), 1u); // the measurement is drawn afresh
    // Without a measurement no bits are declared and nothing is lost.
    const QasmExport::Result plain = QasmExport::write(std::span(steps).first(5), 3, 0);
    EXPECT_EQ(plain.program.find(" c;"), std::string::npos);
    EXPECT_TRUE(plain.warnings.empty());
}

TEST(QasmExport, CompositesAreTheirSubStepsNamedDownToTheDepthFilter) {
    const std::pair<int, std::string> cases[] = {
        {0, "// Seeker ( 1 )\nh q[0];\nh q[1];\n// Signoracle: no OpenQASM equivalent, left out\n"},
        {1, "// Seeker ( 1 )\n// Hadamardrange ( 0 - 1 )\nh q[0];\nh q[1];\n"
            "// Seekerstep ( 0 - 1 )\n// Signoracle: no OpenQASM equivalent, left out\n"},
    };
    for (const auto& [filter, expected] : cases) {
        const QasmExport::Result result = QasmExport::write(Search, 2, filter);
        EXPECT_EQ(body(result), expected);
        ASSERT_EQ(result.warnings.size(), 1u);
        EXPECT_EQ(result.warnings[0], "\"Signoracle\" has no OpenQASM equivalent and no recorded "
                                      "sub-steps: the file will not reproduce the state.");
    }
    // Stopped inside the composite: the sub-steps so far stand on their own.
    EXPECT_EQ(body(QasmExport::write(std::span(Search).first(2), 2, 0)), "h q[0];\nh q[1];\n");
}

TEST(QasmExport, StepsWithoutSubStepsAnglesAndOddTexts) {
    const std::pair<Step, std::string> cases[] = {
        {{"Hadamardrange ( 1 - 2 )", 0}, "// Hadamardrange ( 1 - 2 )\nh q[1];\nh q[2];\n"},
        {{"Bitmirror ( 0 - 2 )", 0}, "// Bitmirror ( 0 - 2 )\nswap q[0], q[2];\n"},
        {{"Bitmirror ( 0 - 3 )", 1}, "swap q[0], q[3];\nswap q[1], q[2];\n"},
        {{"Rotate 2 bits controlled ( bits: 2, 0, angle: -0.19635)", 1},
         "// Rotate 2 bits controlled ( bits: 2, 0, angle: -0.19635): the exact angle -pi/2^4 "
         "rebuilt from its 5 digits\ncp(-0.19634954084936207) q[2], q[0];\n"},
        {{"Rotate 2 bits controlled ( bits: 0, 1, angle: 0.5236)", 0},
         "// Rotate 2 bits controlled ( bits: 0, 1, angle: 0.5236): the angle is known to 5 "
         "digits only\ncp(0.52359999999999995) q[0], q[1];\n"},
        {{"Power ( a: 0 - 1, y: 2 - 3, x = 2, N = 3 )", 0},
         "// Power ( a: 0 - 1, y: 2 - 3, x = 2, N = 3 ): no OpenQASM equivalent, left out\n"},
        {{"Z ( 7 )", 0}, "// Z ( 7 ): a qubit outside the register, left out\n"},
        {{"mine\nh q[0];", 0}, "// mine h q[0];: no OpenQASM equivalent, left out\n"},
    };
    for (const auto& [step, expected] : cases) {
        SCOPED_TRACE(step.text);
        const QasmExport::Result result = QasmExport::write(std::span(&step, 1), 4, 0);
        EXPECT_EQ(body(result), expected);
        const bool lossless = expected.find("left out") == std::string::npos &&
                              expected.find("5 digits only") == std::string::npos;
        EXPECT_EQ(result.warnings.empty(), lossless);
    }
}
