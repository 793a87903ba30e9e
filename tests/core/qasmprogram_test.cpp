#include "core/qasmgate.h"
#include "core/qasmprogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

using amplex::QasmProgram;

namespace {

// The operations as "name q q (angle)" joined by "; ", angles to 6 digits.
std::string summary(const QasmProgram& program) {
    std::string text;
    for (const amplex::Operation& op : program.operations) {
        text += (text.empty() ? "" : "; ") + op.name;
        for (int q : op.qubits) {
            text += " " + std::to_string(q);
        }
        for (double angle : op.params) {
            char number[32];
            std::snprintf(number, sizeof number, " (%.6g)", angle);
            text += number;
        }
    }
    return text;
}

TEST(QasmProgram, ReadsBothVersionsIntoOperations) {
    const struct {
        const char* source;
        int qubits;
        const char* operations;
    } cases[] = {
        {"OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg q[3];\ncreg c[3];\n"
         "h q[0]; cx q[0],q[1]; // comment\nu1(pi/4) q[2]; cu1(-pi/2) q[2], q[0];\n"
         "barrier q; measure q[1] -> c[1]; measure q -> c;",
         3, "h 0; cx 0 1; p 2 (0.785398); cp 2 0 (-1.5708); measure 1; measure 0 1 2"},
        {"OPENQASM 3.0;\ninclude 'stdgates.inc';\nqubit[4] q; bit[4] c; bit b;\n/* a\nblock */"
         "ccx q[0], q[1], q[3]; swap q[2],q[3]; b = measure q[2]; c[1:3] = measure q[1:3]; "
         "measure q[0];",
         4, "ccx 0 1 3; swap 2 3; measure 2; measure 1 2 3; measure 0"},
        // A register or a slice repeats a gate per position; aliases come out as one name.
        {"qubit[3] r; x r; CX r[0:1], r[1:2]; phase(1) r[0]; cphase(2) r[1], r[0];", 3,
         "x 0; x 1; x 2; cx 0 1; cx 1 2; p 0 (1); cp 1 0 (2)"},
        {"qubit q; y q; z q; s q; sdg q; t q; tdg q; rx(0) q; ry(0) q; rz(0) q;", 1,
         "y 0; z 0; s 0; sdg 0; t 0; tdg 0; rx 0 (0); ry 0 (0); rz 0 (0)"},
        {"qreg q[26]; ch q[25], q[0]; cz q[1], q[2];", 26, "ch 25 0; cz 1 2"},
    };
    for (const auto& c : cases) {
        const QasmProgram program = QasmProgram::parse(c.source);
        ASSERT_TRUE(program.ok()) << c.source << "\n" << program.error->text();
        EXPECT_EQ(program.qubitCount, c.qubits) << c.source;
        EXPECT_EQ(summary(program), c.operations) << c.source;
    }
}

TEST(QasmProgram, EvaluatesAngles) {
    const double pi = 3.141592653589793;
    const struct {
        const char* expression;
        double radians;
    } cases[] = {
        {"pi", pi},
        {"-pi/2", -pi / 2},
        {"2*(pi+1)/3", 2 * (pi + 1) / 3},
        {"- -1.5e-3", 1.5e-3},
        {"tau - π", pi},
        {"1 - 2 - 3", -4},
        {"8/2/2", 2},
        {".5*4", 2},
        {"1.5707963267948966", pi / 2},
    };
    for (const auto& c : cases) {
        const QasmProgram program =
            QasmProgram::parse("qreg q[1]; rz(" + std::string(c.expression) + ") q[0];");
        ASSERT_TRUE(program.ok()) << c.expression << ": " << program.error->text();
        EXPECT_EQ(program.operations[0].params[0], c.radians) << c.expression;
    }
}

TEST(QasmProgram, RefusesWithLineAndColumn) {
    const struct {
        const char* source;
        const char* error;
    } cases[] = {
        {"qreg q[27];", "1:6: a qubit register holds 1 to 26 qubits, not 27"},
        {"qreg q[2];\n  u3(1,2,3) q[0];", "2:3: \"u3\" is not a gate Amplex runs"},
        {"qreg q[2]; qreg r[1];", "1:12: a second qubit register"},
        {"qubit[2] q;\nh q[2];", "2:5: q[2] is outside the register of 2 qubits"},
        {"qreg q[2]; cx q[0], q[0];", "1:21: \"cx\" needs distinct qubits"},
        {"qreg q[2]; cx q[0];", "1:12: \"cx\" acts on 2 qubits, not 1"},
        {"qreg q[1]; rz q[0];", "1:12: \"rz\" takes 1 angle, not 0"},
        {"qreg q[1]; rz(1/0) q[0];", "1:15: the angle is not a finite number"},
        {"qreg q[1]; rz(sin(1)) q[0];", "1:15: unknown name \"sin\" in an angle"},
        {"qreg q[1];\nh q[0]", "2:7: expected \",\" or \";\""},
        {"h q[0];", "1:3: no qubit register is declared"},
        {"qreg q[1]; OPENQASM 2.0;", "1:12: \"OPENQASM\" must be the first statement"},
        {"include \"mine.inc\";", "1:9: cannot include \"mine.inc\""},
        {"qreg q[2]; creg c[1]; measure q -> c;", "1:36: measure needs as many bits as qubits"},
        {"qreg q[1];\n/* open", "2:1: unterminated comment"},
        {"qreg q[1]; gate g a { h a; }", "1:12: defining gates is not supported"},
        {"qreg q[1]; rz(1.2.3) q[0];", "1:15: malformed number"},
        // Columns count characters: π is two bytes.
        {"qreg q[1]; rz(π π) q[0];", "1:17: expected \",\" or \")\""},
    };
    for (const auto& c : cases) {
        const QasmProgram program = QasmProgram::parse(c.source);
        ASSERT_FALSE(program.ok()) << c.source;
        EXPECT_EQ(program.error->text().rfind(c.error, 0), 0u) << c.source << "\n"
                                                               << program.error->text();
        EXPECT_TRUE(program.operations.empty());
    }
}

TEST(QasmProgram, DeepNestingIsRefusedNotOverflowed) {
    const std::string deep = "qreg q[1]; rz(" + std::string(100000, '(') + "1) q[0];";
    EXPECT_NE(QasmProgram::parse(deep).error->message.find("nested too deeply"), std::string::npos);
    const std::string minus = "qreg q[1]; rz(" + std::string(100000, '-') + "1) q[0];";
    EXPECT_FALSE(QasmProgram::parse(minus).ok());
}

// Random and mutated programs: the parser never crashes, and every refusal has a place inside
// the text; whatever it accepts is runnable as it stands.
TEST(QasmProgram, FuzzedProgramsGetAPlaceOrRunnableOperations) {
    const std::string valid =
        "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg q[4];\ncreg c[4];\nh q[0];\n"
        "cx q[0], q[1];\ncu1(-pi/2) q[1], q[2];\nrz(2*(pi+0.5)/3) q[3];\nccx q[0],q[1],q[3];\n"
        "barrier q;\nswap q[2], q[3]; /* x */ sdg q;\nmeasure q[2] -> c[2];\nc = measure q;\n";
    const char* words[] = {"qreg",    "qubit",   "creg", "bit", "q",  "c",  "h", "cx",   "rz",
                           "measure", "->",      "=",    "[",   "]",  "(",  ")", ";",    ",",
                           ":",       "pi",      "-",    "*",   "/",  "0",  "1", "3",    "26",
                           "1e400",   ".5",      "\"",   "//",  "/*", "\n", "π", "\xFF", "OPENQASM",
                           "include", "barrier", "ccx",  "cp"};
    std::mt19937 random(20261207);
    auto pick = [&random](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    for (int round = 0; round < 20000; ++round) {
        std::string source;
        if (round % 2) {
            for (std::size_t k = 0, n = pick(40); k < n; ++k) {
                source += std::string(words[pick(std::size(words))]) + (pick(3) ? " " : "");
            }
        } else {
            source = valid;
            for (std::size_t k = 0, n = 1 + pick(4); k < n; ++k) {
                const std::size_t at = pick(source.size());
                switch (pick(3)) {
                case 0:
                    source.erase(at, 1 + pick(6));
                    break;
                case 1:
                    source.insert(at, words[pick(std::size(words))]);
                    break;
                default:
                    source[at] = static_cast<char>(pick(256));
                }
            }
        }
        const QasmProgram program = QasmProgram::parse(source);
        const auto lines = 1 + std::count(source.begin(), source.end(), '\n');
        if (!program.ok()) {
            EXPECT_GE(program.error->line, 1) << source;
            EXPECT_LE(program.error->line, lines) << source;
            EXPECT_GE(program.error->column, 1) << source;
            EXPECT_FALSE(program.error->message.empty()) << source;
            continue;
        }
        EXPECT_TRUE(program.qubitCount >= 1 && program.qubitCount <= QasmProgram::MaxQubits);
        for (const amplex::Operation& op : program.operations) {
            const amplex::QasmGate* gate = amplex::QasmGate::find(op.name);
            ASSERT_TRUE(gate) << source;
            EXPECT_TRUE(gate->qubits == 0 || op.qubits.size() == std::size_t(gate->qubits));
            for (int q : op.qubits) {
                EXPECT_TRUE(q >= 0 && q < program.qubitCount) << source;
            }
        }
    }
}

} // namespace
