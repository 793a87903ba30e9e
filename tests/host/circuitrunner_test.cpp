#include "core/qasmprogram.h"
#include "host/circuitrunner.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CircuitRunner, RunsEachGateAsItsPlugInAtTheTopLevel) {
    const struct {
        const char* statement;
        const char* step;
    } cases[] = {
        {"h q[1];", "Hadamard ( 1 )"},
        {"x q[2];", "X ( 2 )"},
        {"y q[0];", "Y ( 0 )"},
        {"z q[0];", "Z ( 0 )"},
        {"s q[0];", "S ( 0 )"},
        {"sdg q[1];", "S-dagger ( 1 )"},
        {"t q[2];", "Pi-eighth ( 2 )"},
        {"tdg q[0];", "T-dagger ( 0 )"},
        {"u1(pi/2) q[1];", "Phase ( 1, 90 )"},
        {"rx(pi) q[0];", "Rx ( 0, 180 )"},
        {"ry(-pi/4) q[2];", "Ry ( 2, -45 )"},
        {"rz(0.5) q[1];", "Rz ( 1, 28.6478897565412 )"},
        {"cx q[2], q[0];", "cnot ( 2, 0 )"},
        {"cz q[0], q[1];", "Controlled Z ( 0, 1 )"},
        {"ch q[1], q[2];", "Hadamard controlled ( 1, 2 )"},
        {"cu1(pi/2) q[0], q[2];", "Rotate 2 bits controlled ( bits: 0, 2, angle: 1.5708)"},
        {"swap q[0], q[2];", "Swap ( 0, 2 )"},
        {"ccx q[2], q[0], q[1];", "Toffoli ( 2, 0, 1 )"},
        {"measure q[1:2];", "Measure ( 1 - 2 ) = 0"},
    };
    for (const auto& c : cases) {
        const amplex::QasmProgram program =
            amplex::QasmProgram::parse(std::string("qreg q[3];\n") + c.statement);
        ASSERT_TRUE(program.ok()) << c.statement;
        HostFixture fixture(3);
        std::string failure;
        EXPECT_EQ(CircuitRunner::run(fixture.host, program.operations, failure), 1u);
        EXPECT_EQ(failure, "") << c.statement;
        ASSERT_EQ(fixture.steps.size(), 1u) << c.statement;
        EXPECT_EQ(fixture.steps[0].text, c.step);
        EXPECT_EQ(fixture.steps[0].depth, 0) << c.statement;
    }
}

TEST(CircuitRunner, StopsAtTheFirstOperationThatCannotRun) {
    HostFixture fixture(2);
    std::string failure;
    const std::vector<amplex::Operation> unknown = {{"h", {0}, {}, {}}, {"u3", {0}, {}, {}}};
    EXPECT_EQ(CircuitRunner::run(fixture.host, unknown, failure), 1u);
    EXPECT_EQ(failure, "operation 2 (u3): no plug-in runs \"u3\"");
    const std::vector<amplex::Operation> outside = {{"cx", {0, 2}, {}, {}}};
    EXPECT_EQ(CircuitRunner::run(fixture.host, outside, failure), 0u);
    EXPECT_EQ(failure, "operation 1 (cx): qubit 2 is outside the register");

    // Without its plug-in nothing after it runs either.
    QRegister live;
    live.setQubitCount(1);
    GateHost host(live, {"/nonexistent"});
    const std::vector<amplex::Operation> two = {{"h", {0}, {}, {}}, {"h", {0}, {}, {}}};
    EXPECT_EQ(CircuitRunner::run(host, two, failure), 0u);
    EXPECT_EQ(failure.rfind("operation 1 (h): basic\\hadamard could not be loaded", 0), 0u)
        << failure;
}

} // namespace
