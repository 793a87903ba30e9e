#include "app/historytext.h"
#include "app/historywindow.h"
#include "app/mainwindow.h"
#include "app/windowlayout.h"
#include "host/gateswindow.h"
#include "views/probabilitieswindow.h"
#include "views/registergraphwindow.h"
#include "views/segmentationdialog.h"
#include "views/statewindow.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using amplex::ui::MainWindow;

// Answers the next modal message box with a button, remembering its caption and text. Gives up
// after a few seconds, so a box that never comes cannot hang the test.
class ModalAnswer {
public:
    explicit ModalAnswer(QMessageBox::StandardButton button) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this, button] {
            if (++polls_ > 500) {
                timer_.stop();
            }
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            timer_.stop();
            seen = true;
            title = box->windowTitle();
            text = box->text();
            if (QAbstractButton* b = box->button(button)) {
                b->click();
            } else {
                box->reject();
            }
        });
        timer_.start();
    }

    bool seen = false;
    QString title;
    QString text;

private:
    QTimer timer_;
    int polls_ = 0;
};

// The real main window, started up, with the gate tree of the build directory.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>();
        window->show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->isStarted(); }, 10000));
    }

    std::string field(int id) const { return window->fieldText(id).toStdString(); }
    QLineEdit* qubitsField() const {
        return qobject_cast<QLineEdit*>(window->control(MainWindow::QubitsField));
    }
    void click(int id) const { qobject_cast<QPushButton*>(window->control(id))->click(); }
    void typeAndReset(const QString& text) const {
        qubitsField()->setText(text);
        click(MainWindow::ResetButton);
    }
    // Waits for the deferred refresh that a recorded step asked for.
    void waitForPosition(const std::string& position) const {
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return field(MainWindow::PositionField) == position; }, 5000))
            << "position stays " << field(MainWindow::PositionField);
    }
    QTreeWidgetItem* gateEntry(const QString& dir, const QString& name) const {
        QTreeWidget* tree = window->gatesWindow()->tree();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* top = tree->topLevelItem(i);
            for (int j = 0; top->text(0) == dir && j < top->childCount(); ++j) {
                if (top->child(j)->text(0) == name) {
                    return top->child(j);
                }
            }
        }
        return nullptr;
    }
    static QWidget* gateDialog(const QString& caption) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == caption) {
                return w;
            }
        }
        return nullptr;
    }
    std::string historyShown() const { return window->historyWindow()->text().toStdString(); }
    std::string historyModel() const {
        const auto* state = window->stateWindow();
        QString text = QString::fromStdString(HistoryText::build(
            window->history(), state->firstIndex(), state->shownCount(), state->sortMode()));
        return text.replace("\r\n", "\n").toStdString();
    }
    // Runs the Hadamard range over the whole register from its dialog, as the user would.
    void runHadamardRangeFromItsDialog() const {
        window->gatesWindow()->selectEntry(gateEntry("basic", "hadamardrange"));
        QWidget* dialog = gateDialog("Hadamard Range");
        ASSERT_NE(dialog, nullptr);
        auto* execute = dialog->findChild<QPushButton*>("1000");
        ASSERT_NE(execute, nullptr);
        execute->click();
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartsWith15QubitsAndEveryFieldFilled) {
    EXPECT_EQ(window->windowTitle(), "Amplex");
    EXPECT_EQ(field(MainWindow::QubitsField), "15");
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0");
    EXPECT_EQ(field(MainWindow::DepthField), "0");
    EXPECT_EQ(field(MainWindow::ProbabilitySumField), "1");
    EXPECT_EQ(field(MainWindow::MeasurementField), " 0");
    EXPECT_EQ(field(MainWindow::StatusField), "");
    EXPECT_EQ(window->liveRegister().qubitCount, 15);
    EXPECT_EQ(window->liveRegister().amplitudes[0].real, 1.0);

    EXPECT_TRUE(window->gatesWindow()->isVisible());
    EXPECT_TRUE(window->stateWindow()->isVisible());
    EXPECT_TRUE(window->registerGraphWindow()->isVisible());
    EXPECT_TRUE(window->probabilitiesWindow()->isVisible());
    EXPECT_TRUE(window->historyWindow()->isVisible());
    EXPECT_FALSE(window->segmentationDialog()->isVisible());

    EXPECT_NE(gateDialog("CNot"), nullptr); // the first gate of the tree
    EXPECT_EQ(historyShown(), "0 / 0: Reset\n 1 |0>\n");
}

TEST_F(MainWindowTest, LaysTheWindowsOutOnThePrimaryScreen) {
    const QRect d = amplex::ui::GatesWindow::desktopRect();
    const WindowLayout layout = WindowLayout::compute({d.x(), d.y(), d.width(), d.height()}, 0, 0);
    const auto rect = [](const ScreenRect& r) { return QRect(r.x, r.y, r.width, r.height); };
    EXPECT_EQ(window->frameGeometry(), rect(layout.mainWindow));
    EXPECT_EQ(window->gatesWindow()->frameGeometry(), rect(layout.gates));
    EXPECT_EQ(window->stateWindow()->frameGeometry(), rect(layout.state));
    EXPECT_EQ(window->registerGraphWindow()->frameGeometry(), rect(layout.registerGraph));
    EXPECT_EQ(window->probabilitiesWindow()->frameGeometry(), rect(layout.probabilities));
    EXPECT_EQ(window->historyWindow()->frameGeometry(), rect(layout.history));
}

TEST_F(MainWindowTest, RefusedQubitCountsPutTheCountBackAndChangeNothing) {
    window->gateHost().runGate("basic\\hadamard", 0);
    waitForPosition("1 / 1");
    const double h = 1.0 / std::sqrt(2.0);
    for (const char* text : {"0", "27", "abc", "12abc", " 5x", "", "-3", "0x10"}) {
        typeAndReset(text);
        EXPECT_EQ(field(MainWindow::QubitsField), "15") << '"' << text << '"';
        EXPECT_EQ(window->liveRegister().qubitCount, 15);
        EXPECT_EQ(field(MainWindow::PositionField), "1 / 1");
        EXPECT_DOUBLE_EQ(window->liveRegister().amplitudes[1].real, h);
    }
}

TEST_F(MainWindowTest, GoodCountResetsRegisterAndHistory) {
    window->gateHost().runGate("basic\\hadamard", 0);
    waitForPosition("1 / 1");
    typeAndReset(" 3 ");
    EXPECT_EQ(field(MainWindow::QubitsField), "3");
    EXPECT_EQ(window->liveRegister().qubitCount, 3);
    EXPECT_EQ(window->liveRegister().amplitudes[0].real, 1.0);
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0");
    // The same count again still resets.
    window->gateHost().runGate("basic\\hadamard", 1);
    waitForPosition("1 / 1");
    typeAndReset("3");
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0");
    EXPECT_EQ(window->liveRegister().amplitudes[0].real, 1.0);
}

TEST_F(MainWindowTest, Above16AsksFirstAndNoKeepsTheOldCount) {
    {
        ModalAnswer answer(QMessageBox::No);
        typeAndReset("17");
        EXPECT_TRUE(answer.seen);
        EXPECT_EQ(answer.title, "Attention");
        EXPECT_EQ(answer.text, "Are you sure?");
    }
    EXPECT_EQ(field(MainWindow::QubitsField), "15");
    EXPECT_EQ(window->liveRegister().qubitCount, 15);
    {
        ModalAnswer answer(QMessageBox::Yes);
        typeAndReset("17");
        EXPECT_TRUE(answer.seen);
    }
    EXPECT_EQ(field(MainWindow::QubitsField), "17");
    EXPECT_EQ(window->liveRegister().qubitCount, 17);
}

TEST_F(MainWindowTest, EnterAppliesTheQubitsFieldAndDoesNotClose) {
    QSignalSpy finished(window.get(), &QDialog::finished);
    qubitsField()->setText("4");
    qubitsField()->setFocus();
    QTest::keyClick(qubitsField(), Qt::Key_Return);
    EXPECT_EQ(window->liveRegister().qubitCount, 4);
    QTest::keyClick(window.get(), Qt::Key_Enter);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, EscapeAndTheCloseBoxFinishTheProgram) {
    QSignalSpy finished(window.get(), &QDialog::finished);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(finished.count(), 1);
    window->show();
    window->close();
    EXPECT_EQ(finished.count(), 2);
}

TEST_F(MainWindowTest, GateRunFromItsDialogReachesTheBarAndTheHistory) {
    window->resetRegister(3);
    runHadamardRangeFromItsDialog();
    // The views wait until the gate has returned to the event loop.
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0");
    waitForPosition("4 / 4"); // three Hadamard sub-steps and the range itself
    EXPECT_EQ(field(MainWindow::ProbabilitySumField), "1");
    const std::string history = historyShown();
    EXPECT_EQ(history.rfind("0 / 0: Reset\n 1 |0>\n\n0 / 4: Hadamardrange ( 0 - 2 ) =>\n"
                            "+0.35355 |0>     +0.35355 |1>",
                            0),
              0u)
        << history;
    EXPECT_EQ(history.find("Hadamard ( 0 )"), std::string::npos); // depth 1 is hidden
    EXPECT_EQ(history, historyModel());
}

TEST_F(MainWindowTest, BackForwardAndTheDepthFilterWalkTheHistory) {
    window->resetRegister(3);
    runHadamardRangeFromItsDialog();
    waitForPosition("4 / 4");

    click(MainWindow::BackButton); // passes over the hidden sub-steps
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 4");
    EXPECT_EQ(window->liveRegister().amplitudes[0].real, 1.0);
    EXPECT_EQ(historyShown(), "0 / 0: Reset\n 1 |0>\n");
    click(MainWindow::ForwardButton);
    EXPECT_EQ(field(MainWindow::PositionField), "4 / 4");

    click(MainWindow::DepthUpButton);
    EXPECT_EQ(field(MainWindow::DepthField), "1");
    EXPECT_NE(historyShown().find("\n     1 / 1: Hadamard ( 0 ) =>\n     +0.70711 |0>"),
              std::string::npos)
        << historyShown();
    click(MainWindow::BackButton); // stops at the last sub-step now
    EXPECT_EQ(field(MainWindow::PositionField), "3 / 4");
    EXPECT_EQ(historyShown(), historyModel());

    click(MainWindow::DepthDownButton);
    click(MainWindow::DepthDownButton);
    EXPECT_EQ(field(MainWindow::DepthField), "0");
}

TEST_F(MainWindowTest, StateWindowSettingsChangeTheHistoryListings) {
    window->resetRegister(2);
    window->gateHost().runGate("basic\\hadamard", 1); // run by path: depth 1
    waitForPosition("1 / 1");
    click(MainWindow::DepthUpButton);
    auto* state = window->stateWindow();
    auto* sortedDesc = state->findChild<QAbstractButton*>("1048");
    ASSERT_NE(sortedDesc, nullptr);
    sortedDesc->click();
    EXPECT_EQ(state->sortMode(), 2);
    EXPECT_EQ(historyShown(), historyModel());
    EXPECT_NE(historyShown().find("+0.70711 |0>     +0.70711 |2>     +0 |1>"), std::string::npos)
        << historyShown();
}

TEST_F(MainWindowTest, MeasurementShowsTheSampledBasisStateAsText) {
    QRegister& live = window->liveRegister();
    live.setQubitCount(3);
    live.amplitudes[6] = 1.0;
    for (int i = 0; i < 5; ++i) {
        click(MainWindow::MeasureButton);
        EXPECT_EQ(field(MainWindow::MeasurementField), " 6");
    }
    // Two segments: bits 0-1 hold 1, bits 2-3 hold 3; segment 0 is written rightmost.
    live.setQubitCount(4);
    live.amplitudes[13] = 1.0;
    window->segmentation().segmentCount = 2;
    window->segmentation().segmentEnd[0] = 1;
    window->showMeasurement();
    EXPECT_EQ(field(MainWindow::MeasurementField), " 3, 1");
}

TEST_F(MainWindowTest, SegmentationOkResetsTheChartAndRefreshesTheViews) {
    window->resetRegister(2);
    amplex::ui::SegmentationDialog* dialog = window->segmentationDialog();
    window->menuAction("Segmentation")->trigger();
    ASSERT_TRUE(dialog->isVisible());
    window->segmentation().segmentCount = 2;
    window->segmentation().segmentEnd[0] = 0;
    auto* ok = dialog->findChild<QPushButton*>("1");
    ASSERT_NE(ok, nullptr);
    ok->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(window->probabilitiesWindow()->shownSegment(), -1);
    auto* listing = window->stateWindow()->findChild<QLineEdit*>("1016");
    ASSERT_NE(listing, nullptr);
    EXPECT_TRUE(listing->text().startsWith("+1 |0>|0>")) << listing->text().toStdString();
}

TEST_F(MainWindowTest, ShowWindowsBringsEveryClosedWindowBack) {
    const std::pair<const char*, QWidget*> windows[] = {
        {"Gates", window->gatesWindow()},
        {"State", window->stateWindow()},
        {"History", window->historyWindow()},
        {"Probability", window->probabilitiesWindow()},
        {"Register", window->registerGraphWindow()},
        {"Segmentation", window->segmentationDialog()},
    };
    for (const auto& [text, w] : windows) {
        w->close();
        EXPECT_FALSE(w->isVisible()) << text;
        QAction* action = window->menuAction(text);
        ASSERT_NE(action, nullptr) << text;
        action->trigger();
        EXPECT_TRUE(w->isVisible()) << text;
    }
    EXPECT_EQ(historyShown(), "0 / 0: Reset\n 1 |0>\n");
}

TEST_F(MainWindowTest, AboutBoxNamesTheVersion) {
    ModalAnswer answer(QMessageBox::Ok);
    window->menuAction("About")->trigger();
    EXPECT_TRUE(answer.seen);
    EXPECT_EQ(answer.title, "About Amplex");
    EXPECT_EQ(answer.text, "Amplex Version 2.0");
}

TEST_F(MainWindowTest, ResetShowsTheFirstGatesDialogAfreshWithTheNewCount) {
    window->gatesWindow()->selectEntry(gateEntry("oracle", "flagoracle"));
    QPointer<QWidget> oracle = gateDialog("Flagoracle");
    ASSERT_FALSE(oracle.isNull());
    typeAndReset("5");
    EXPECT_TRUE(oracle.isNull());
    QWidget* cnot = gateDialog("CNot");
    ASSERT_NE(cnot, nullptr);
    EXPECT_EQ(cnot->findChild<QListWidget*>("1001")->count(), 5);
}

TEST_F(MainWindowTest, RefusedStepIsNotSilent) {
    window->resetRegister(1);
    for (int k = 0; k < StepHistory::Capacity; ++k) {
        window->gateHost().recordStep("step");
    }
    EXPECT_EQ(field(MainWindow::StatusField), "");
    window->gateHost().recordStep("one too many");
    EXPECT_EQ(field(MainWindow::StatusField), "History full: step not recorded.");
    waitForPosition("65536 / 65536");
    window->resetRegister(1);
    EXPECT_EQ(field(MainWindow::StatusField), "");
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0");
}

} // namespace
