// The gates' parameter dialogs, shown through the host as the Gates window does: initial
// selections, the checks before "Execute" runs a gate, and pi-eighth's run on selection.

#include "tests/support/dialogdriver.h"
#include "tests/support/hostfixture.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Steps = std::vector<std::string>;

TEST(GateDialogs, PairAndRangeDialogsRunOnlyOnGoodSelections) {
    const struct {
        const char* path;
        const char* caption;
        const char* step;
        int badFirst; // with 2 in the second list: equal bits or a reversed range
    } cases[] = {
        {"basic\\cnotgate", "CNot", "cnot ( 0, 3 )", 2},
        {"basic\\ctrlhadamard", "Hadamard controlled", "Hadamard controlled ( 0, 3 )", 2},
        {"basic\\hadamardrange", "Hadamard Range", "Hadamardrange ( 0 - 3 )", 3},
        {"shor\\modules\\bitmirror", "Bitmirror", "Bitmirror ( 0 - 3 )", 3},
        {"shor\\modules\\invfourier", "FFT^-1", "FFT^-1 ( 0 - 3 )", 3},
        {"shor\\modules\\ctrlrotate", "Rotate 2bits c", "", 2},
        {"shor\\modules\\power", "Power", "", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        HostFixture f(4);
        DialogDriver d(f.host, c.path);
        ASSERT_TRUE(d.dialog());
        EXPECT_EQ(d.dialog()->windowTitle().toStdString(), c.caption);
        for (const auto& [first, second] : {std::pair{c.badFirst, 2}, {-1, 2}, {0, -1}}) {
            d.select(1001, first);
            d.select(1002, second);
            d.execute();
        }
        EXPECT_TRUE(f.steps.empty());
        if (*c.step) {
            d.reshow(); // back to the initial selections: the first and the last qubit
            d.execute();
            ASSERT_FALSE(f.steps.empty());
            EXPECT_EQ(f.steps.back().text, c.step);
            EXPECT_EQ(f.steps.back().depth, 0);
        }
    }
    // One qubit: both lists hold only "0", so no pair can be chosen, but a range can.
    for (const char* path :
         {"basic\\cnotgate", "basic\\ctrlhadamard", "shor\\modules\\ctrlrotate"}) {
        HostFixture f(1);
        DialogDriver(f.host, path).execute();
        EXPECT_TRUE(f.steps.empty()) << path;
    }
    HostFixture one(1);
    DialogDriver(one.host, "basic\\hadamardrange").execute();
    EXPECT_EQ(one.texts(), (Steps{"Hadamard ( 0 )", "Hadamardrange ( 0 - 0 )"}));
}

// The lists show the qubit count of the last showing; a selection at or above the count of
// the moment is refused.
TEST(GateDialogs, StaleSelectionAfterTheRegisterShrankIsRefused) {
    HostFixture f(4);
    DialogDriver d(f.host, "shor\\modules\\bitmirror");
    f.live.setQubitCount(2);
    f.live.amplitudes[0] = 1.0;
    d.execute();
    EXPECT_TRUE(f.steps.empty());
    d.reshow(); // now with two qubits to choose from
    d.execute();
    EXPECT_EQ(f.texts(), Steps{"Bitmirror ( 0 - 1 )"});
}

// Fields are read with "%i" (decimal, 0x hexadecimal, leading-0 octal); one that does not parse
// runs nothing.
TEST(GateDialogs, RotationAndPowerReadTheirFields) {
    HostFixture f(3);
    f.setBasisState(3);
    DialogDriver d(f.host, "shor\\modules\\ctrlrotate");
    d.execute(); // qubits 0 and 1, 180 degrees
    EXPECT_EQ(f.live.amplitudes[3].real, -1.0);
    EXPECT_EQ(f.live.amplitudes[3].imag, 1.2246467991473532e-16);
    for (const char* typed : {"90", "010", "0x2D", "-45", "", "abc", "-"}) {
        d.setText(1003, typed);
        d.execute();
    }
    EXPECT_EQ(f.texts(), (Steps{"Rotate 2 bits controlled ( bits: 0, 1, angle: 3.1416)",
                                "Rotate 2 bits controlled ( bits: 0, 1, angle: 1.5708)",
                                "Rotate 2 bits controlled ( bits: 0, 1, angle: 0.13963)",
                                "Rotate 2 bits controlled ( bits: 0, 1, angle: 0.7854)",
                                "Rotate 2 bits controlled ( bits: 0, 1, angle: -0.7854)"}));
    d.reshow();
    EXPECT_EQ(d.text(1003), "180");

    HostFixture g(8);
    DialogDriver power(g.host, "shor\\modules\\power");
    EXPECT_EQ(power.text(1003), "13");
    EXPECT_EQ(power.text(1004), "15");
    power.execute(); // the exponent fills the register: no room for the value
    power.select(1002, 3);
    power.setText(1003, "x");
    power.execute();
    power.setText(1003, "7");
    power.execute();
    EXPECT_EQ(g.texts(), Steps{"Power ( a: 0 - 3, y: 4 - 7, x = 7, N = 15 )"});
}

TEST(GateDialogs, PiEighthRunsOnAClickedQubitNotOnKeysOrRefill) {
    HostFixture f(3);
    DialogDriver d(f.host, "basic\\pieighth");
    EXPECT_EQ(d.dialog()->windowTitle(), "Pi-eighth T");
    EXPECT_EQ(d.dialog()->findChild<QPushButton*>(), nullptr);
    EXPECT_EQ(d.selection(1000), -1);
    d.clickRow(1000, 1);
    // Walking the list with the keys moves the selection and applies nothing.
    QTest::keyClick(d.control(1000), Qt::Key_Down);
    QTest::keyClick(d.control(1000), Qt::Key_Up);
    EXPECT_EQ(d.selection(1000), 1);
    d.clickRow(1000, 2);
    EXPECT_EQ(f.texts(), (Steps{"Pi-eighth ( 1 )", "Pi-eighth ( 2 )"}));
    // Hidden and shown again: nothing selected and nothing run, so choosing the same qubit
    // again runs it.
    d.reshow();
    EXPECT_EQ(d.selection(1000), -1);
    d.clickRow(1000, 2);
    EXPECT_EQ(f.steps.size(), 3u);
    EXPECT_EQ(f.steps.back().depth, 0);
}

// Every refused input says why under the controls, runs nothing, and the next good run clears it.
TEST(GateDialogs, RefusedInputsAreExplainedInTheDialogAndNothingRuns) {
    const struct {
        const char* path;
        int qubits;
        int from, to; // selections of lists 1001 and 1002; -2 keeps the initial one
        const char* field1003;
        const char* field1004;
        const char* why;
    } cases[] = {
        {"basic\\hadamardrange", 4, 3, 1, nullptr, nullptr, "from must not be above to"},
        {"basic\\cnotgate", 4, 2, 2, nullptr, nullptr,
         "controlbit and targetbit must be different bits"},
        {"basic\\hadamardrange", 4, -1, -2, nullptr, nullptr, "from: select a bit"},
        {"shor\\modules\\ctrlrotate", 4, -2, -2, "", nullptr,
         "angle (in degrees) is empty: type a whole number"},
        {"shor\\modules\\ctrlrotate", 4, -2, -2, "abc", nullptr,
         "angle (in degrees): \"abc\" is not a whole number"},
        {"shor\\shorbegin", 4, -2, -2, nullptr, "N?", "N: \"N?\" is not a whole number"},
        {"shor\\modules\\power", 15, -2, -2, nullptr, nullptr,
         "the value register needs 4 free qubits above qubit 14"},
        {"shor\\modules\\power", 15, 2, 12, nullptr, nullptr,
         "the value register needs 4 free qubits above qubit 12 or below qubit 2"},
        {"shor\\modules\\power", 8, 0, 3, nullptr, "1", "N = 1: N must be at least 2"},
        {"shor\\shordriver", 15, -2, -2, nullptr, nullptr,
         "the value register needs 4 free qubits above qubit 14"},
        {"shor\\shordriver", 15, 0, 7, "0", "15", "x = 0 must lie in 2 .. 13 (N - 2)"},
        {"shor\\shordriver", 15, 0, 7, "15", "15", "x = 15 must lie in 2 .. 13 (N - 2)"},
        {"shor\\shordriver", 15, 0, 7, "6", "15",
         "x shares the factor 3 with N = 15: that factor is found without the quantum part"},
        {"shor\\shordriver", 15, 0, 7, "13", "0", "N = 0: N must be at least 2"},
        {"shor\\shordriver", 15, 0, 7, "13", "-15", "N = -15: N must be at least 2"},
        {"shor\\shordriver", 15, 0, 7, "13", "4294967295",
         "N = 4294967295: N must be below 2^31 = 2147483648"},
        {"shor\\shordriver", 15, 0, 7, "13", "100000",
         "N = 100000 is too large for 15 qubits: its values need 17 of them, and a at least 2"},
        {"shor\\shordriver", 15, 3, 3, "13", "15", "the bitrange of a needs at least two qubits"},
        {"shor\\shordriver", 15, 0, 7, "", "15", "x is empty: type a whole number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + ": " + c.why);
        HostFixture f(c.qubits);
        DialogDriver d(f.host, c.path);
        for (const auto& [id, row] : {std::pair{1001, c.from}, {1002, c.to}}) {
            if (row != -2) {
                d.select(id, row);
            }
        }
        if (c.field1003) {
            d.setText(1003, c.field1003);
        }
        if (c.field1004) {
            d.setText(1004, c.field1004);
        }
        d.execute();
        EXPECT_EQ(d.explanation().toStdString(), c.why);
        EXPECT_TRUE(f.steps.empty());
    }
    // A good run clears the line.
    HostFixture f(4);
    DialogDriver d(f.host, "basic\\hadamardrange");
    d.select(1002, 0);
    d.execute();
    d.select(1002, 3);
    d.execute();
    EXPECT_TRUE(d.explanation().isEmpty());
    EXPECT_EQ(f.steps.back().text, "Hadamardrange ( 0 - 3 )");
}

} // namespace
