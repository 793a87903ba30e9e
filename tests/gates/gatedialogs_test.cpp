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

TEST(GateDialogs, PiEighthRunsOncePerUserSelectionAndNotOnRefill) {
    HostFixture f(3);
    DialogDriver d(f.host, "basic\\pieighth");
    EXPECT_EQ(d.dialog()->windowTitle(), "Pi-eighth T");
    EXPECT_EQ(d.dialog()->findChild<QPushButton*>(), nullptr);
    EXPECT_EQ(d.selection(1000), -1);
    d.select(1000, 1);
    QTest::keyClick(d.control(1000), Qt::Key_Down);
    QTest::keyClick(d.control(1000), Qt::Key_Up);
    EXPECT_EQ(f.texts(), (Steps{"Pi-eighth ( 1 )", "Pi-eighth ( 2 )", "Pi-eighth ( 1 )"}));
    // Hidden and shown again: nothing selected and nothing run, so choosing the same qubit
    // again runs it.
    d.reshow();
    EXPECT_EQ(d.selection(1000), -1);
    d.select(1000, 1);
    EXPECT_EQ(f.steps.size(), 4u);
    EXPECT_EQ(f.steps.back().depth, 0);
}

} // namespace
