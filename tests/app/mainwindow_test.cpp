#include "app/changeswindow.h"
#include "app/circuitview.h"
#include "app/circuitwindow.h"
#include "app/gateswindow.h"
#include "app/helpwindow.h"
#include "app/historywindow.h"
#include "app/mainwindow.h"
#include "app/qasmexportdialog.h"
#include "app/qubitcountinput.h"
#include "core/qasmprogram.h"
#include "views/probabilitieswindow.h"
#include "views/registergraph.h"
#include "views/registergraphwindow.h"
#include "views/segmentationdialog.h"
#include "views/statewindow.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>

using amplex::ui::MainWindow;

// The program finds gates beside itself; this test program lives elsewhere in the build tree.
static const int gatePathSet = setenv("AMPLEX_GATE_PATH", AMPLEX_BUILD_DIR "/gates", 1);

// Answers the next modal message box with `button` and keeps its "caption: text".
struct ModalAnswer {
    explicit ModalAnswer(QMessageBox::StandardButton button) {
        QObject::connect(&timer, &QTimer::timeout, [this, button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen = box->windowTitle() + ": " + box->text();
                timer.stop();
                box->button(button)->click();
            }
        });
        timer.start(10);
    }
    QTimer timer;
    QString seen;
};

// Entry texts with their children in brackets ("basic[cnotgate,...]"); directories expanded.
static QString outline(const QTreeWidgetItem* parent) {
    QStringList parts;
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem* e = parent->child(i);
        parts << e->text(0) + (e->childCount() ? "[" + outline(e) + "]" : "");
        EXPECT_TRUE(e->childCount() == 0 || e->isExpanded()) << e->text(0).toStdString();
    }
    return parts.join(',');
}

// The real main window, started up, with the gate tree of the build directory.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window.isStarted(); }, 10000));
    }
    std::string field(int id) const { return window.fieldText(id).toStdString(); }
    QLineEdit* qubits() const { return window.findChild<QLineEdit*>("1004"); }
    void click(int id) const { qobject_cast<QPushButton*>(window.control(id))->click(); }
    void typeAndReset(const QString& text) const {
        qubits()->setText(text);
        click(MainWindow::ResetButton);
    }
    // The refresh after a recorded step waits until control is back in the event loop.
    bool waitForPosition(const std::string& position) const {
        return QTest::qWaitFor([&] { return field(MainWindow::PositionField) == position; });
    }
    void select(const QString& entry) const {
        const auto found =
            window.gatesWindow()->tree()->findItems(entry, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << entry.toStdString();
        window.gatesWindow()->selectEntry(found.front());
    }
    static QWidget* shown(const QString& caption) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == caption) {
                return w;
            }
        }
        return nullptr;
    }
    std::string history() const { return window.historyWindow()->text().toStdString(); }
    MainWindow window;
};

TEST_F(MainWindowTest, StartUpFieldsMenusMeasureAndSegmentationOk) {
    for (const auto& [id, text] : {std::pair{MainWindow::QubitsField, "15"},
                                   {MainWindow::PositionField, "0 / 0"},
                                   {MainWindow::DepthField, "0"},
                                   {MainWindow::ProbabilitySumField, "1"},
                                   {MainWindow::MeasurementField, " 0"}}) {
        EXPECT_EQ(field(id), text) << id;
    }
    EXPECT_NE(shown("CNot"), nullptr);
    window.historyWindow()->close();
    window.menuAction("History")->trigger();
    EXPECT_TRUE(window.historyWindow()->isVisible());
    window.liveRegister().amplitudes[0] = 0.0;
    window.liveRegister().amplitudes[6] = 1.0;
    for (int i = 0; i < 3; ++i) {
        click(MainWindow::MeasureButton);
        EXPECT_EQ(field(MainWindow::MeasurementField), " 6");
    }

    // OK in the Segmentation window goes back to "Show all" and refreshes with the new labels.
    window.menuAction("Segmentation")->trigger();
    window.segmentation().segmentCount = 2;
    window.segmentation().segmentEnd[0] = 0;
    window.probabilitiesWindow()->findChild<QAbstractButton*>("1043")->click();
    window.segmentationDialog()->findChild<QPushButton*>("1")->click();
    EXPECT_FALSE(window.segmentationDialog()->isVisible());
    EXPECT_EQ(window.probabilitiesWindow()->shownSegment(), -1);
    EXPECT_EQ(field(MainWindow::MeasurementField), " 3, 0");
    ModalAnswer answer(QMessageBox::Ok);
    window.menuAction("About")->trigger();
    for (const QString& part : {QString("About Amplex: Amplex Version 2.0\n"),
                                QString("simulator of a small quantum computer"),
                                QString("Qt ") + qVersion(), QString("License")}) {
        EXPECT_TRUE(answer.seen.contains(part)) << part.toStdString();
    }
    // The guide opens in the program's own window, its links followed there.
    window.menuAction("Documentation")->trigger();
    ASSERT_NE(window.helpWindow(), nullptr);
    EXPECT_TRUE(window.helpWindow()->isVisible());
    EXPECT_FALSE(window.helpWindow()->browser()->document()->isEmpty());
    EXPECT_TRUE(window.helpWindow()->browser()->openLinks());
}

TEST_F(MainWindowTest, CircuitWindowFollowsTheHistoryAClickMovesItAndExportWritesIt) {
    window.resetRegister(3);
    select("hadamardrange");
    shown("Hadamard Range")->findChild<QPushButton*>("1000")->click();
    ASSERT_TRUE(waitForPosition("4 / 4"));
    window.menuAction("Circuit")->trigger();
    ASSERT_TRUE(window.circuitWindow()->isVisible());
    window.circuitWindow()->resize(800, 300); // every column in view
    amplex::ui::CircuitView* view = window.circuitWindow()->view();
    EXPECT_EQ(view->circuitLayout().columns().size(), 1u);
    click(MainWindow::DepthUpButton); // the three sub-steps show too
    ASSERT_EQ(view->circuitLayout().columns().size(), 4u);
    EXPECT_EQ(view->circuitLayout().currentColumn(), 3);
    const int y = view->circuitLayout().wireY(0);
    const int x = view->labelWidth() + view->circuitLayout().columnX(1) + 3;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(x, y));
    EXPECT_EQ(field(MainWindow::PositionField), "2 / 4");
    EXPECT_EQ(view->circuitLayout().currentColumn(), 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(2, y)); // the labels
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 4");

    click(MainWindow::ForwardButton);
    click(MainWindow::ForwardButton);
    amplex::ui::QasmExportDialog dialog(QasmExport::stepsUpToPosition(window.history()), 3, 0);
    const QString path = QDir::temp().filePath("amplex-export-test.qasm");
    ASSERT_TRUE(dialog.saveTo(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(),
              "OPENQASM 3.0;\ninclude \"stdgates.inc\";\nqubit[3] q;\nh q[0];\nh q[1];\n");
    file.remove();
    EXPECT_NE(window.menuAction("Export OpenQASM..."), nullptr);
}

TEST_F(MainWindowTest, ResetTakesAWholeCountFrom1To26AndAsksAbove16) {
    window.gateHost().runGate("basic\\hadamard", 0);
    ASSERT_TRUE(waitForPosition("1 / 1"));
    // Which texts are refused is QubitCountInput's; here one refusal keeps state and history.
    typeAndReset("27");
    EXPECT_EQ(field(MainWindow::QubitsField), "15");
    EXPECT_EQ(field(MainWindow::PositionField), "1 / 1");
    EXPECT_DOUBLE_EQ(window.liveRegister().amplitudes[1].real, 1.0 / std::sqrt(2.0));
    ModalAnswer no(QMessageBox::No);
    typeAndReset("17");
    EXPECT_EQ(no.seen.toStdString(), "Attention: " + QubitCountInput::confirmationText(17));
    EXPECT_EQ(field(MainWindow::QubitsField), "15");
    ModalAnswer yes(QMessageBox::Yes);
    typeAndReset("17");
    EXPECT_EQ(window.liveRegister().qubitCount, 17);
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0");

    // Enter resets too, and the first gate's dialog, though selected already, comes afresh
    // for the new count. Escape ends the program.
    QPointer<QWidget> cnot = shown("CNot");
    QSignalSpy finished(&window, &QDialog::finished);
    qubits()->setText(" 3 ");
    QTest::keyClick(qubits(), Qt::Key_Return);
    EXPECT_EQ(window.liveRegister().qubitCount, 3);
    EXPECT_TRUE(cnot.isNull());
    ASSERT_NE(shown("CNot"), nullptr);
    EXPECT_EQ(shown("CNot")->findChild<QListWidget*>("1001")->count(), 3);
    EXPECT_EQ(finished.count(), 0);
    QTest::keyClick(&window, Qt::Key_Escape); // no steps: nothing to confirm
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(MainWindowTest, GatesTreeListsTheInstalledGatesAndASelectionShowsItsDialog) {
    EXPECT_EQ(outline(window.gatesWindow()->tree()->invisibleRootItem()),
              "basic[cnotgate,ctrlhadamard,hadamard,hadamardrange,pieighth],"
              "oracle[flagoracle,signoracle],seeker[amplify,seeker,seekerstep],"
              "shor[modules[bitmirror,ctrlrotate,fracexpand,invfourier,power],shorbegin,"
              "shordriver],standard[cz,measure,phase,rx,ry,rz,s,sdg,swap,tdg,toffoli,x,y,z]");
    select("invfourier");
    QPointer<QWidget> fft = shown("FFT^-1");
    ASSERT_FALSE(fft.isNull());
    select("modules"); // a directory shows none
    EXPECT_TRUE(fft.isNull());
    EXPECT_FALSE(window.gateHost().hasDialog());
    select("invfourier");
    fft = shown("FFT^-1");
    select("invfourier"); // the same entry again is loaded afresh
    EXPECT_TRUE(fft.isNull());
    EXPECT_NE(shown("FFT^-1"), nullptr);
}

TEST_F(MainWindowTest, GateRunFromItsDialogReachesTheBarAndTheHistoryWalk) {
    window.resetRegister(3);
    select("hadamardrange");
    ASSERT_NE(shown("Hadamard Range"), nullptr);
    shown("Hadamard Range")->findChild<QPushButton*>("1000")->click();
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 0"); // not while the gate runs
    ASSERT_TRUE(waitForPosition("4 / 4")); // three Hadamard sub-steps and the range itself
    EXPECT_EQ(field(MainWindow::ProbabilitySumField), "1");
    EXPECT_EQ(history(), "0 / 0: Reset\n 1 |0>\n\n0 / 4: Hadamardrange ( 0 - 2 ) =>\n"
                         "+0.35355 |0>     +0.35355 |1>     +0.35355 |2>     "
                         "+0.35355 |3>     +0.35355 |4>     +0.35355 |5>     "
                         "+0.35355 |6>     +0.35355 |7>     \n");
    click(MainWindow::BackButton); // passes over the hidden sub-steps
    EXPECT_EQ(field(MainWindow::PositionField), "0 / 4");
    EXPECT_EQ(window.liveRegister().amplitudes[0].real, 1.0);
    click(MainWindow::ForwardButton);
    EXPECT_EQ(field(MainWindow::PositionField), "4 / 4");
    click(MainWindow::DepthUpButton);
    EXPECT_EQ(field(MainWindow::DepthField), "1");
    EXPECT_NE(history().find("\n     1 / 1: Hadamard ( 0 ) =>\n     +0.70711 |0>"),
              std::string::npos);
    click(MainWindow::BackButton); // stops at the last sub-step now
    EXPECT_EQ(field(MainWindow::PositionField), "3 / 4");
    window.stateWindow()->findChild<QAbstractButton*>("1047")->click(); // sorted ascending
    EXPECT_NE(history().find("1 / 1: Hadamard ( 0 ) =>\n     +0 |"), std::string::npos);
    click(MainWindow::DepthDownButton);
    click(MainWindow::DepthDownButton);
    EXPECT_EQ(field(MainWindow::DepthField), "0");
}

// The register graph, drawn on threads of its own beside the chart's pass, comes out as drawn
// alone, at a size that splits it over the cores; the chart's pass still gives the sum.
TEST_F(MainWindowTest, TheGraphDrawnBesideTheChartIsTheGraphDrawnAlone) {
    window.resetRegister(19);
    QRegister& live = window.liveRegister();
    std::mt19937 gen(3);
    std::normal_distribution<double> normal(0.0, 1.0 / 1024);
    for (std::uint64_t i = 0; i < live.amplitudeCount(); ++i) {
        live.amplitudes[i].set(normal(gen), normal(gen));
    }
    live.amplitudes[4321].set(0.3, -0.8); // long pointers that cross neighbouring columns
    live.amplitudes[300000].set(-0.6, 0.7);
    ASSERT_TRUE(window.registerGraphWindow()->isVisible());
    window.refreshViews();
    const QImage shown = window.registerGraphWindow()->picture();
    QImage alone(shown.size(), QImage::Format_RGB32);
    amplex::ui::RegisterGraph().render(&live, alone, 1);
    EXPECT_EQ(shown, alone);
    EXPECT_EQ(field(MainWindow::ProbabilitySumField),
              QString::asprintf("%.5g", live.probabilitySum()).toStdString());
}

TEST_F(MainWindowTest, AnOpenedCircuitRunsAsTopLevelStepsOnARegisterOfItsSize) {
    ASSERT_NE(window.menuAction("Open OpenQASM..."), nullptr);
    ASSERT_TRUE(
        window.runCircuit(amplex::QasmProgram::parse("qubit[2] q; h q[0]; cx q[0], q[1];")));
    EXPECT_EQ(field(MainWindow::QubitsField), "2");
    ASSERT_TRUE(waitForPosition("2 / 2"));
    click(MainWindow::BackButton);
    EXPECT_EQ(field(MainWindow::PositionField), "1 / 2");
    // Above 16 qubits only after Yes; No changes nothing.
    ModalAnswer no(QMessageBox::No);
    EXPECT_FALSE(window.runCircuit(amplex::QasmProgram::parse("qubit[17] q; h q[0];")));
    EXPECT_TRUE(no.seen.startsWith("Attention: "));
    EXPECT_EQ(window.liveRegister().qubitCount, 2);
    EXPECT_EQ(field(MainWindow::PositionField), "1 / 2");
}

TEST_F(MainWindowTest, RefusedStepIsNotSilent) {
    window.resetRegister(1);
    for (int k = 0; k < StepHistory::Capacity; ++k) {
        window.gateHost().recordStep("step");
    }
    window.gateHost().recordStep("one too many");
    EXPECT_EQ(field(MainWindow::StatusField), "History full: step not recorded.");
    ASSERT_TRUE(waitForPosition("65536 / 65536"));
    window.resetRegister(1);
    EXPECT_EQ(field(MainWindow::StatusField), "");
}

TEST_F(MainWindowTest, QuittingWithStepsAsksFirstForEscapeAndTheCloseBox) {
    window.gateHost().runGate("basic\\hadamard", 0);
    ASSERT_TRUE(waitForPosition("1 / 1"));
    QSignalSpy finished(&window, &QDialog::finished);
    {
        ModalAnswer no(QMessageBox::No);
        QTest::keyClick(qubits(), Qt::Key_Escape); // while typing in the qubits field
        EXPECT_EQ(no.seen, "Amplex: Quit Amplex? The 1 recorded step will be lost.");
    }
    {
        ModalAnswer no(QMessageBox::No);
        window.close();
        EXPECT_FALSE(no.seen.isEmpty());
    }
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(field(MainWindow::PositionField), "1 / 1");
    ModalAnswer yes(QMessageBox::Yes);
    window.close();
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(MainWindowTest, ShortcutsWalkTheHistoryAndTheEndsAreGreyed) {
    window.resetRegister(2);
    auto* back = window.control(MainWindow::BackButton);
    auto* forward = window.control(MainWindow::ForwardButton);
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    window.gateHost().recordStep("first"); // top-level steps, as a dialog's Execute makes them
    window.gateHost().recordStep("second");
    ASSERT_TRUE(waitForPosition("2 / 2"));
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    window.activateWindow();
    const struct {
        QKeyCombination key;
        const char* position;
    } presses[] = {
        {Qt::CTRL | Qt::Key_Z, "1 / 2"},
        {Qt::ALT | Qt::Key_Left, "0 / 2"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, "1 / 2"},
        {Qt::CTRL | Qt::Key_Y, "2 / 2"},
        {Qt::ALT | Qt::Key_Left, "1 / 2"},
        {Qt::ALT | Qt::Key_Right, "2 / 2"},
    };
    for (const auto& p : presses) {
        QTest::keyClick(&window, p.key.key(), p.key.keyboardModifiers());
        waitForPosition(p.position);
        EXPECT_EQ(field(MainWindow::PositionField), p.position);
    }
    EXPECT_FALSE(forward->isEnabled());
    // Every control of the bar and of the views says what it does; captions need not.
    for (QWidget* control : window.findChildren<QWidget*>(QRegularExpression("^1[0-9]{3}$"))) {
        if (control->objectName() != "1020" && !qobject_cast<QLabel*>(control)) {
            EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowTest, AClickOnTheSelectedGateOrShowWindowsBringsItsDialogBack) {
    QWidget* cnot = shown("CNot");
    ASSERT_NE(cnot, nullptr);
    QTest::keyClick(cnot, Qt::Key_Escape);
    EXPECT_EQ(shown("CNot"), nullptr);
    QTreeWidget* tree = window.gatesWindow()->tree();
    const QRect rect = tree->visualItemRect(tree->currentItem());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_NE(shown("CNot"), nullptr);
    QTest::keyClick(shown("CNot"), Qt::Key_Return);
    EXPECT_EQ(shown("CNot"), nullptr);
    window.menuAction("Gate dialog")->trigger();
    EXPECT_NE(shown("CNot"), nullptr);
}

// Started in a folder that holds a gates/ of its own, the program neither lists nor loads it;
// the user's folder is listed and loaded (how folders merge is gatetree_test's).
TEST(MainWindowGateFolders, UserFolderCountsAndTheWorkingDirectoryDoesNot) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("amplex-folders-" + std::to_string(getpid()));
    const fs::path built = fs::path(AMPLEX_BUILD_DIR) / "gates/basic";
    const fs::path user = root / "data/amplex/gates";
    for (const auto& [from, to] :
         {std::pair{built / "hadamard.so", root / "cwd/gates/aaa/planted.so"},
          {built / "hadamard.so", user / "mine/usergate.so"}}) {
        fs::create_directories(to.parent_path());
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    }
    const fs::path before = fs::current_path();
    fs::current_path(root / "cwd");
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    {
        MainWindow window;
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.isStarted(); }, 10000));
        QTreeWidget* tree = window.gatesWindow()->tree();
        EXPECT_TRUE(tree->findItems("planted", Qt::MatchRecursive).isEmpty());
        EXPECT_TRUE(tree->findItems("aaa", Qt::MatchRecursive).isEmpty());
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "basic"); // the first gate is a real one
        const auto mine = tree->findItems("usergate", Qt::MatchRecursive);
        ASSERT_EQ(mine.size(), 1);
        window.gatesWindow()->selectEntry(mine.front());
        Dl_info info{};
        ASSERT_TRUE(dladdr(dlsym(window.gateHost().dialogHandle(), "execute"), &info));
        EXPECT_EQ(fs::path(info.dli_fname), fs::canonical(user / "mine/usergate.so"));
    }
    unsetenv("XDG_DATA_HOME");
    fs::current_path(before);
    fs::remove_all(root);
}
TEST_F(MainWindowTest, AFailedSubGateIsToldAndMarksTheStepOfItsComposite) {
    window.resetRegister(3);
    GateHost& host = window.gateHost();
    // A composite at the top level whose sub-gate cannot be loaded, as Shor without its power.
    host.runGate("basic\\hadamard", 0);
    host.runGate("shor\\modules\\nosuchgate", 0);
    host.runGate("basic\\hadamard", 1);
    host.recordStep("Shor ( 0 - 7, x = 7, n = 15 )");
    ASSERT_TRUE(waitForPosition("2 / 2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !field(MainWindow::StatusField).empty(); }));
    EXPECT_EQ(field(MainWindow::StatusField), "shor\\modules\\nosuchgate could not be loaded: "
                                              "no library for gate path shor\\modules\\nosuchgate");
    EXPECT_EQ(std::string(window.history().entry(1).text),
              "Shor ( 0 - 7, x = 7, n = 15 ) [incomplete]");
    EXPECT_DOUBLE_EQ(window.liveRegister().amplitudes[2].real, 0.0);
    // Once the run is over, gates run again.
    host.runGate("basic\\hadamard", 1);
    EXPECT_DOUBLE_EQ(window.liveRegister().amplitudes[2].real, 0.5);
}

TEST_F(MainWindowTest, ALongRunShowsProgressWithOnlyStopEnabledAndStopsOnStopOrEscape) {
    using namespace std::chrono_literals;
    const std::function<void()> stops[] = {
        [this] { click(MainWindow::StopButton); },
        [this] { QTest::keyClick(window.gatesWindow(), Qt::Key_Escape); },
        [this] { EXPECT_FALSE(window.close()); }, // the close box does not end the program
    };
    for (const auto& stop : stops) {
        window.resetRegister(10);
        window.runProgress().setTiming(0ms, 0ms); // every callback shows progress
        QWidget* const controls[] = {qubits(),
                                     window.control(MainWindow::BackButton),
                                     window.findChild<QMenuBar*>(),
                                     window.gatesWindow(),
                                     window.stateWindow(),
                                     window.historyWindow(),
                                     shown("CNot")};
        // Looks around while the search shows its progress, and stops it after 40 steps.
        int stoppedAt = 0;
        QTimer during;
        QObject::connect(&during, &QTimer::timeout, [&] {
            stoppedAt = window.history().historySize();
            if (stoppedAt < 40) {
                return;
            }
            during.stop();
            EXPECT_EQ(field(MainWindow::StatusField),
                      "Running: " + std::to_string(stoppedAt) + " steps recorded.");
            EXPECT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_TRUE(window.control(MainWindow::StopButton)->isEnabled());
            for (QWidget* control : controls) {
                EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
            }
            stop();
        });
        during.start(0);
        // A search over the ten qubits would record 287 steps.
        const std::int32_t block[] = {0, 9, 6, 5, -1, -1, -1, -1, -1};
        window.gateHost().runGate("seeker\\seeker", amplex::argumentWord(block));
        const int size = window.history().historySize();
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return field(MainWindow::StatusField) ==
                   "Stopped after " + std::to_string(size) + " steps.";
        }));
        // The steps before stay as they were; the gates that finished after it are marked.
        ASSERT_GE(stoppedAt, 40);
        EXPECT_LT(size, stoppedAt + 5);
        for (int k = 0; k < size; ++k) {
            const std::string text = window.history().entry(k).text;
            EXPECT_EQ(text.find(" [incomplete]") != std::string::npos, k >= stoppedAt) << text;
        }
        EXPECT_EQ(std::string(window.history().entry(size - 1).text), "Seeker ( 11 ) [incomplete]");
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(window.control(MainWindow::StopButton)->isEnabled());
        for (QWidget* control : controls) {
            EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
        }
        ASSERT_TRUE(waitForPosition(std::to_string(size) + " / " + std::to_string(size)));
    }
}

TEST_F(MainWindowTest, ExactValuesChangesAndSessionsThroughTheWindows) {
    EXPECT_EQ(window.findChild<QMenuBar*>()->actions().front()->text(), "File");
    ASSERT_NE(window.menuAction("Save session..."), nullptr);
    ASSERT_NE(window.menuAction("Open session..."), nullptr);
    window.resetRegister(2);
    window.gateHost().runGate("basic\\hadamard", 0);
    ASSERT_TRUE(waitForPosition("1 / 1"));
    click(MainWindow::DepthUpButton); // a gate run by path is a nested step
    window.stateWindow()->findChild<QAbstractButton*>("1049")->click(); // exact values
    EXPECT_NE(history().find("+1/sqrt2 |0>     +1/sqrt2 |1>     +0 |2>"), std::string::npos);
    window.historyWindow()->findChild<QPushButton*>("1053")->click(); // last step
    ASSERT_NE(window.historyWindow()->changesWindow(), nullptr);
    EXPECT_EQ(window.historyWindow()->changesWindow()->text().toStdString().rfind(
                  "Step 0 => step 1\nProbability moved: 0.5\n", 0),
              0u);

    const QString path = QDir::temp().filePath(QStringLiteral("amplex_mainwindow_test.amplex"));
    EXPECT_EQ(window.saveSession(path), "");
    window.resetRegister(5);
    EXPECT_NE(window.openSession(path + "x"), ""); // refused: nothing changes
    EXPECT_EQ(field(MainWindow::QubitsField), "5");
    EXPECT_EQ(window.openSession(path), "");
    EXPECT_EQ(field(MainWindow::QubitsField), "2");
    EXPECT_EQ(field(MainWindow::PositionField), "1 / 1");
    EXPECT_EQ(window.liveRegister().amplitudes[1].real, 1 / std::sqrt(2.0));
    EXPECT_NE(history().find("1 / 1: Hadamard ( 0 ) =>"), std::string::npos);
    QFile::remove(path);
}
