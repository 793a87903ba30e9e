#include "app/historytext.h"
#include "app/historywindow.h"
#include "app/mainwindow.h"
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
// after five seconds, so a box that never comes cannot hang the test.
class ModalAnswer {
public:
    explicit ModalAnswer(QMessageBox::StandardButton button) {
        QObject::connect(&timer_, &QTimer::timeout, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (++polls_ > 500 || box) {
                timer_.stop();
            }
            if (box) {
                seen = true;
                title = box->windowTitle();
                text = box->text();
                box->button(button)->click();
            }
        });
        timer_.start(10);
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
    void selectGate(const QString& name) const {
        const auto found =
            window->gatesWindow()->tree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1);
        window->gatesWindow()->selectEntry(found.front());
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
    // The History text as the model builds it for the State window's settings.
    std::string historyModel() const {
        const auto* state = window->stateWindow();
        QString text = QString::fromStdString(HistoryText::build(
            window->history(), state->firstIndex(), state->shownCount(), state->sortMode()));
        return text.replace("\r\n", "\n").toStdString();
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartsWith15QubitsEveryFieldFilledAndTheFirstGateShown) {
    EXPECT_EQ(field(MainWindow::QubitsField), "15");
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0");
    EXPECT_EQ(field(MainWindow::DepthField), "0");
    EXPECT_EQ(field(MainWindow::ProbabilitySumField), "1");
    EXPECT_EQ(field(MainWindow::MeasurementField), " 0");
    EXPECT_EQ(window->liveRegister().qubitCount, 15);
    EXPECT_TRUE(window->gatesWindow()->isVisible());
    EXPECT_TRUE(window->stateWindow()->isVisible());
    EXPECT_TRUE(window->registerGraphWindow()->isVisible());
    EXPECT_TRUE(window->probabilitiesWindow()->isVisible());
    EXPECT_TRUE(window->historyWindow()->isVisible());
    EXPECT_FALSE(window->segmentationDialog()->isVisible());
    EXPECT_NE(gateDialog("CNot"), nullptr);
    EXPECT_EQ(historyShown(), "0 / 0: Reset\n 1 |0>\n");
}

TEST_F(MainWindowTest, QubitsFieldTakesOnlyAWholeNumberFrom1To26) {
    window->gateHost().runGate("basic\\hadamard", 0);
    waitForPosition("1 / 1");
    for (const char* text : {"0", "27", "abc", "12abc", " 5x", "", "0x10"}) {
        typeAndReset(text);
        EXPECT_EQ(field(MainWindow::QubitsField), "15") << '"' << text << '"';
        EXPECT_EQ(window->liveRegister().qubitCount, 15);
        EXPECT_EQ(field(MainWindow::PositionField), "1 / 1"); // state and history kept
        EXPECT_DOUBLE_EQ(window->liveRegister().amplitudes[1].real, 1.0 / std::sqrt(2.0));
    }
    typeAndReset(" 3 ");
    EXPECT_EQ(field(MainWindow::QubitsField), "3");
    EXPECT_EQ(window->liveRegister().qubitCount, 3);
    EXPECT_EQ(window->liveRegister().amplitudes[0].real, 1.0);
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0");
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

TEST_F(MainWindowTest, EnterResetsButEscapeAndTheCloseBoxFinish) {
    QSignalSpy finished(window.get(), &QDialog::finished);
    qubitsField()->setText("4");
    QTest::keyClick(qubitsField(), Qt::Key_Return);
    EXPECT_EQ(window->liveRegister().qubitCount, 4);
    EXPECT_EQ(finished.count(), 0);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(finished.count(), 1);
    window->show();
    window->close();
    EXPECT_EQ(finished.count(), 2);
}

TEST_F(MainWindowTest, GateRunFromItsDialogReachesTheBarAndTheHistoryWalk) {
    window->resetRegister(3);
    selectGate("hadamardrange");
    QWidget* dialog = gateDialog("Hadamard Range");
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QPushButton*>("1000")->click();
    // The views wait until the gate has handed control back to the event loop.
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0");
    waitForPosition("4 / 4"); // three Hadamard sub-steps and the range itself
    EXPECT_EQ(field(MainWindow::ProbabilitySumField), "1");
    EXPECT_EQ(historyShown(), "0 / 0: Reset\n 1 |0>\n\n0 / 4: Hadamardrange ( 0 - 2 ) =>\n"
                              "+0.35355 |0>     +0.35355 |1>     +0.35355 |2>     "
                              "+0.35355 |3>     +0.35355 |4>     +0.35355 |5>     "
                              "+0.35355 |6>     +0.35355 |7>     \n");

    click(MainWindow::BackButton); // passes over the hidden sub-steps
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 4");
    EXPECT_EQ(window->liveRegister().amplitudes[0].real, 1.0);
    click(MainWindow::ForwardButton);
    EXPECT_EQ(field(MainWindow::PositionField), "4 / 4");
    click(MainWindow::DepthUpButton);
    EXPECT_EQ(field(MainWindow::DepthField), "1");
    EXPECT_NE(historyShown().find("\n     1 / 1: Hadamard ( 0 ) =>\n     +0.70711 |0>"),
              std::string::npos);
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
    window->stateWindow()->findChild<QAbstractButton*>("1048")->click(); // sorted desc
    EXPECT_EQ(historyShown(), historyModel());
    EXPECT_NE(historyShown().find("+0.70711 |0>     +0.70711 |2>     +0 |1>"), std::string::npos);
}

TEST_F(MainWindowTest, MeasurementShowsTheSampledBasisStateAsText) {
    QRegister& live = window->liveRegister();
    live.setQubitCount(3);
    live.amplitudes[6] = 1.0;
    for (int i = 0; i < 5; ++i) {
        click(MainWindow::MeasureButton);
        EXPECT_EQ(field(MainWindow::MeasurementField), " 6");
    }
    // Bits 0-1 hold 1 (segment 0, written rightmost), bits 2-3 hold 3.
    live.setQubitCount(4);
    live.amplitudes[13] = 1.0;
    window->segmentation().segmentCount = 2;
    window->segmentation().segmentEnd[0] = 1;
    window->showMeasurement();
    EXPECT_EQ(field(MainWindow::MeasurementField), " 3, 1");
}

TEST_F(MainWindowTest, SegmentationOkResetsTheChartAndRefreshesTheViews) {
    window->resetRegister(2);
    window->menuAction("Segmentation")->trigger();
    ASSERT_TRUE(window->segmentationDialog()->isVisible());
    window->segmentation().segmentCount = 2;
    window->segmentation().segmentEnd[0] = 0;
    window->segmentationDialog()->findChild<QPushButton*>("1")->click();
    EXPECT_FALSE(window->segmentationDialog()->isVisible());
    EXPECT_EQ(window->probabilitiesWindow()->shownSegment(), -1);
    const QString listing = window->stateWindow()->findChild<QLineEdit*>("1016")->text();
    EXPECT_TRUE(listing.startsWith("+1 |0>|0>")) << listing.toStdString();
}

TEST_F(MainWindowTest, MenusBringClosedWindowsBackAndShowTheVersion) {
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
        window->menuAction(text)->trigger();
        EXPECT_TRUE(w->isVisible()) << text;
    }
    EXPECT_EQ(historyShown(), "0 / 0: Reset\n 1 |0>\n");

    ModalAnswer answer(QMessageBox::Ok);
    window->menuAction("About")->trigger();
    EXPECT_EQ(answer.title, "About Amplex");
    EXPECT_EQ(answer.text, "Amplex Version 2.0");
}

TEST_F(MainWindowTest, ResetShowsTheFirstGatesDialogAfreshWithTheNewCount) {
    selectGate("flagoracle");
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
}

} // namespace
