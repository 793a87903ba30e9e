// The gates' parameter dialogs, shown through the host as the Gates window does: initial
// selections, the checks before "Execute" runs a gate, and pi-eighth's run on selection.

#include "tests/support/hostfixture.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A host with one gate's dialog shown, and the dialog's controls by id.
class DialogFixture : public HostFixture {
public:
    DialogFixture(const char* gatePath, int qubits) : HostFixture(qubits) {
        EXPECT_TRUE(host.showGateDialog(gatePath, 1920, 1080));
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<QDialog*>(widget);
                candidate && candidate->isVisible()) {
                dialog = candidate;
            }
        }
        EXPECT_NE(dialog, nullptr);
    }

    QListWidget* list(int id) const { return dialog->findChild<QListWidget*>(QString::number(id)); }
    QLineEdit* edit(int id) const { return dialog->findChild<QLineEdit*>(QString::number(id)); }
    int selected(int id) const {
        const auto items = list(id)->selectedItems();
        return items.isEmpty() ? -1 : list(id)->row(items.front());
    }
    void select(int id, int row) const {
        if (row < 0) {
            list(id)->clearSelection();
        } else {
            list(id)->setCurrentRow(row);
        }
    }
    void execute() const { dialog->findChild<QPushButton*>("1000")->click(); }
    void reshow() const {
        dialog->hide();
        dialog->show();
    }

    QDialog* dialog = nullptr;
};

TEST(GateDialogs, PairAndRangeDialogsRunWithTheirInitialSelections) {
    struct Case {
        const char* path;
        const char* caption;
        const char* step;
    };
    const Case cases[] = {
        {"basic\\cnotgate", "CNot", "cnot ( 0, 3 )"},
        {"basic\\ctrlhadamard", "Hadamard controlled", "Hadamard controlled ( 0, 3 )"},
        {"basic\\hadamardrange", "Hadamard Range", "Hadamardrange ( 0 - 3 )"},
        {"shor\\modules\\bitmirror", "Bitmirror", "Bitmirror ( 0 - 3 )"},
        {"shor\\modules\\invfourier", "FFT^-1", "FFT^-1 ( 0 - 3 )"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        DialogFixture f(c.path, 4);
        EXPECT_EQ(f.dialog->windowTitle().toStdString(), c.caption);
        EXPECT_EQ(f.list(1001)->count(), 4);
        EXPECT_EQ(f.selected(1001), 0);
        EXPECT_EQ(f.selected(1002), 3);
        f.execute();
        ASSERT_FALSE(f.steps.empty());
        EXPECT_EQ(f.steps.back().text, c.step);
        EXPECT_EQ(f.steps.back().depth, 0);
    }
}

TEST(GateDialogs, BadSelectionsMakeExecuteDoNothing) {
    struct Case {
        const char* path;
        int first;
        int second;
    };
    const Case cases[] = {
        {"basic\\cnotgate", 2, 2},           {"basic\\cnotgate", -1, 1},
        {"basic\\ctrlhadamard", 1, 1},       {"basic\\ctrlhadamard", 0, -1},
        {"basic\\hadamardrange", 2, 1},      {"basic\\hadamardrange", -1, 2},
        {"shor\\modules\\bitmirror", 3, 0},  {"shor\\modules\\invfourier", 2, 1},
        {"shor\\modules\\ctrlrotate", 1, 1}, {"shor\\modules\\power", 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.first) + " " +
                     std::to_string(c.second));
        DialogFixture f(c.path, 4);
        f.setBasisState(5);
        f.select(1001, c.first);
        f.select(1002, c.second);
        f.execute();
        EXPECT_TRUE(f.steps.empty());
        EXPECT_EQ(f.live.amplitudes[5].real, 1.0);
    }
}

TEST(GateDialogs, OneQubitAllowsRangesButNoPairs) {
    for (const char* path :
         {"basic\\cnotgate", "basic\\ctrlhadamard", "shor\\modules\\ctrlrotate"}) {
        DialogFixture f(path, 1);
        EXPECT_EQ(f.list(1001)->count(), 1);
        EXPECT_EQ(f.selected(1001), 0);
        EXPECT_EQ(f.selected(1002), 0);
        f.execute();
        EXPECT_TRUE(f.steps.empty()) << path;
    }
    DialogFixture range("basic\\hadamardrange", 1);
    range.execute();
    EXPECT_EQ(range.texts(),
              (std::vector<std::string>{"Hadamard ( 0 )", "Hadamardrange ( 0 - 0 )"}));
}

// The lists show the qubit count of the last showing; a selection at or above the count of
// the moment is refused.
TEST(GateDialogs, StaleSelectionAfterTheRegisterShrankIsRefused) {
    DialogFixture f("shor\\modules\\bitmirror", 4);
    f.live.setQubitCount(2);
    f.live.amplitudes[0] = 1.0;
    f.execute();
    EXPECT_TRUE(f.steps.empty());
    f.reshow();
    EXPECT_EQ(f.list(1002)->count(), 2);
    EXPECT_EQ(f.selected(1002), 1);
    f.execute();
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Bitmirror ( 0 - 1 )"});
}

TEST(GateDialogs, RotationReadsItsAngleInDegrees) {
    DialogFixture f("shor\\modules\\ctrlrotate", 3);
    EXPECT_EQ(f.selected(1001), 0);
    EXPECT_EQ(f.selected(1002), 1);
    EXPECT_EQ(f.edit(1003)->text(), "180");
    f.setBasisState(3);
    f.execute();
    EXPECT_EQ(f.live.amplitudes[3].real, -1.0);
    EXPECT_EQ(f.live.amplitudes[3].imag, 1.2246467991473532e-16);

    const std::pair<const char*, const char*> angles[] = {
        {"90", "1.5708"}, {"010", "0.13963"}, {"0x2D", "0.7854"}, {"-45", "-0.7854"}};
    for (const auto& [typed, shown] : angles) {
        f.edit(1003)->setText(typed);
        f.execute();
        EXPECT_EQ(f.steps.back().text,
                  std::string("Rotate 2 bits controlled ( bits: 0, 1, angle: ") + shown + ")");
    }
    // A field that does not parse runs nothing.
    const std::size_t before = f.steps.size();
    for (const char* typed : {"", "abc", "-"}) {
        f.edit(1003)->setText(typed);
        f.execute();
    }
    EXPECT_EQ(f.steps.size(), before);
    f.reshow();
    EXPECT_EQ(f.edit(1003)->text(), "180");
}

TEST(GateDialogs, PowerReadsBaseAndModulus) {
    DialogFixture f("shor\\modules\\power", 8);
    EXPECT_EQ(f.edit(1003)->text(), "13");
    EXPECT_EQ(f.edit(1004)->text(), "15");
    EXPECT_EQ(f.selected(1002), 7);
    f.execute(); // the exponent fills the register: no room for the value
    EXPECT_TRUE(f.steps.empty());
    f.select(1002, 3);
    f.edit(1003)->setText("x");
    f.execute();
    EXPECT_TRUE(f.steps.empty());
    f.edit(1003)->setText("7");
    f.execute();
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Power ( a: 0 - 3, y: 4 - 7, x = 7, N = 15 )"});
}

TEST(GateDialogs, PiEighthRunsOncePerUserSelectionAndNotOnRefill) {
    DialogFixture f("basic\\pieighth", 3);
    EXPECT_EQ(f.dialog->windowTitle(), "Pi-eighth T");
    EXPECT_EQ(f.dialog->findChild<QPushButton*>(), nullptr);
    EXPECT_EQ(f.selected(1000), -1);
    f.select(1000, 1);
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Pi-eighth ( 1 )"});
    QTest::keyClick(f.list(1000), Qt::Key_Down);
    QTest::keyClick(f.list(1000), Qt::Key_Up);
    EXPECT_EQ(f.texts(),
              (std::vector<std::string>{"Pi-eighth ( 1 )", "Pi-eighth ( 2 )", "Pi-eighth ( 1 )"}));
    // Hidden and shown again: nothing selected and nothing run, so choosing the same qubit
    // again runs it.
    f.reshow();
    EXPECT_EQ(f.selected(1000), -1);
    EXPECT_EQ(f.steps.size(), 3u);
    f.select(1000, 1);
    EXPECT_EQ(f.steps.size(), 4u);
    EXPECT_EQ(f.steps.back().depth, 0);
}

} // namespace
