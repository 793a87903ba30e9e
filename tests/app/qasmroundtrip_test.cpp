#include "app/qasmexport.h"
#include "core/qasmgate.h"
#include "core/qasmprogram.h"
#include "host/circuitrunner.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <random>

namespace {

using amplex::Operation;

std::vector<QasmExport::Step> exportSteps(const HostFixture& fixture) {
    std::vector<QasmExport::Step> steps;
    for (const auto& step : fixture.steps) {
        steps.push_back({step.text, step.depth});
    }
    return steps;
}

// Runs the operations on a fresh register with the C generator seeded alike, so that the
// measurements draw the same numbers.
void runFresh(HostFixture& fixture, const std::vector<Operation>& operations) {
    std::srand(11);
    std::string failure;
    EXPECT_EQ(CircuitRunner::run(fixture.host, operations, failure), operations.size());
    EXPECT_EQ(failure, "");
}

// Every gate the import knows, on random distinct qubits, with random angles; the controlled
// rotation's step keeps 5 digits of its angle, so it takes the angles +-pi/2^k that the export
// rebuilds exactly.
std::vector<Operation> randomCircuit(int n, std::mt19937& random) {
    const char* names[] = {"h",  "x",  "y",  "z",  "s",  "sdg", "t",    "tdg", "p",      "rx",
                           "ry", "rz", "cx", "cz", "ch", "cp",  "swap", "ccx", "measure"};
    std::vector<int> qubits(static_cast<std::size_t>(n));
    std::vector<Operation> circuit;
    while (circuit.size() < static_cast<std::size_t>(4 * n)) {
        const amplex::QasmGate* gate = amplex::QasmGate::find(names[random() % std::size(names)]);
        const int arity = std::max(gate->qubits, 1);
        if (arity > n) {
            continue;
        }
        for (int k = 0; k < n; ++k) {
            qubits[static_cast<std::size_t>(k)] = k;
        }
        std::shuffle(qubits.begin(), qubits.end(), random);
        Operation op{std::string(gate->name), {qubits.begin(), qubits.begin() + arity}, {}, {}};
        if (gate->angles) {
            op.params.push_back(
                gate->name == "cp" ? std::ldexp(random() % 2 ? -std::numbers::pi : std::numbers::pi,
                                                -static_cast<int>(random() % 8))
                                   : std::uniform_real_distribution<double>(-7, 7)(random));
        }
        circuit.push_back(std::move(op));
    }
    return circuit;
}

TEST(QasmRoundTrip, ExportThenImportGivesTheStateAndTheText) {
    std::mt19937 random(1207);
    for (int round = 0; round < 30; ++round) {
        const int n = 1 + round % 10;
        HostFixture made(n);
        runFresh(made, randomCircuit(n, random));
        for (auto version : {QasmExport::Version::Qasm3, QasmExport::Version::Qasm2}) {
            const std::string text = QasmExport::write(exportSteps(made), n, 0, version).program;
            const amplex::QasmProgram program = amplex::QasmProgram::parse(text);
            ASSERT_TRUE(program.ok()) << program.error->text() << "\n" << text;
            ASSERT_EQ(program.qubitCount, n);
            HostFixture read(n);
            runFresh(read, program.operations);
            double distance = 0;
            for (std::uint64_t i = 0; i < made.live.amplitudeCount(); ++i) {
                const Complex& a = made.live.amplitudes[i];
                const Complex& b = read.live.amplitudes[i];
                distance = std::max(distance, std::hypot(a.real - b.real, a.imag - b.imag));
            }
            EXPECT_LE(distance, 1e-12) << text;
            EXPECT_EQ(QasmExport::write(exportSteps(read), n, 0, version).program, text);
        }
    }
}

} // namespace
