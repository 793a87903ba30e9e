#include "app/mainwindow.h"

#include "app/applicationicon.h"
#include "app/circuitwindow.h"
#include "app/gateswindow.h"
#include "app/helpwindow.h"
#include "app/historywindow.h"
#include "app/measurementtext.h"
#include "app/qasmexportdialog.h"
#include "app/qubitcountinput.h"
#include "app/sessionfile.h"
#include "app/systemmemory.h"
#include "app/windowlayout.h"
#include "core/probabilitywalk.h"
#include "core/qasmprogram.h"
#include "host/circuitrunner.h"
#include "host/programfiles.h"
#include "views/controltable.h"
#include "views/outerplacement.h"
#include "views/probabilitieswindow.h"
#include "views/registergraphwindow.h"
#include "views/segmentationdialog.h"
#include "views/statewindow.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace amplex::ui {

namespace {

// The control bar, in dialog units. The value fields' texts are the template's; the first
// refresh replaces them.
constexpr ControlRow BarControls[] = {
    {ControlKind::Label, 0, "Qubits:", QRect(7, 2, 24, 9)},
    {ControlKind::EditRight, MainWindow::QubitsField, "", QRect(34, 2, 18, 12),
     "Number of qubits, 1 to 26: Enter or reset applies it"},
    {ControlKind::Button, MainWindow::ResetButton, "reset", QRect(56, 2, 33, 12),
     "A new register of this many qubits in the basis state 0; the history is cleared"},
    {ControlKind::Button, MainWindow::StopButton, "Stop", QRect(56, 16, 33, 12),
     "Stop the running gate after its current step (Escape); the steps so far stay"},
    {ControlKind::Label, 0, "Historydepth:", QRect(103, 2, 49, 8)},
    {ControlKind::LabelRight, MainWindow::DepthField, "4", QRect(161, 2, 43, 10),
     "How deeply nested the steps are that the history shows and walks"},
    {ControlKind::Label, 0, "Historyposition:", QRect(103, 13, 49, 9)},
    {ControlKind::LabelRight, MainWindow::PositionField, "0", QRect(161, 12, 43, 10),
     "The step shown / the steps recorded"},
    {ControlKind::Button, MainWindow::DepthUpButton, "+", QRect(211, 2, 18, 20),
     "Show and walk the steps of gates run by other gates too"},
    {ControlKind::Button, MainWindow::DepthDownButton, "-", QRect(237, 2, 18, 20),
     "Show and walk fewer levels of nested steps"},
    {ControlKind::Button, MainWindow::BackButton, "back", QRect(265, 2, 48, 20),
     "One step back in the history (Ctrl+Z, Alt+Left)"},
    {ControlKind::Button, MainWindow::ForwardButton, "forward", QRect(319, 2, 48, 20),
     "One step forward in the history (Ctrl+Shift+Z, Ctrl+Y, Alt+Right)"},
    {ControlKind::Button, MainWindow::MeasureButton, "measure", QRect(387, 2, 44, 9),
     "Draw a basis state by its probability; the register is not changed"},
    {ControlKind::LabelRight, MainWindow::MeasurementField, "0", QRect(439, 2, 100, 9),
     "The basis state drawn by the last measurement"},
    {ControlKind::Label, 0, "Probabilitysum:", QRect(387, 13, 50, 9)},
    {ControlKind::LabelRight, MainWindow::ProbabilitySumField, "1", QRect(455, 13, 84, 9),
     "The sum of all probabilities: 1 up to rounding"},
    {ControlKind::Label, MainWindow::StatusField, "", QRect(549, 2, 88, 20)},
};
constexpr QSize BarUnits(641, 29);

// The license in LICENSE at the top of the source tree.
const char* const LicenseText = "Free software under the MIT License.";
const char* const HistoryFullText = "History full: step not recorded.";
const char* const NoMemoryForStepText = "Out of memory: step not recorded.";
const char* const OverBudgetText =
    "One step needs more than the history's %1 MB: step not recorded.";

// How often the end of a gate run is looked for.
constexpr int RunEndPollMs = 10;

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      history_(live_), host_(live_) {
    // One seed for the run: sampling and the plug-ins that draw all share the C generator.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    live_.segmentation = &segmentation_;

    setWindowTitle(QStringLiteral("Amplex"));
    setWindowIcon(applicationIcon());
    setModal(false);
    applyDialogFont(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar_ = new QMenuBar(this);
    layout->setMenuBar(menuBar_);
    bar_ = new QWidget(this);
    layout->addWidget(bar_);
    controls_ = std::make_unique<ControlTable>(bar_, BarControls);
    // The position field holds up to two five-digit numbers; what follows moves aside.
    QWidget* position = controls_->widget(PositionField);
    growRight(position,
              position->fontMetrics().horizontalAdvance(QStringLiteral("65536 / 65536")) + 4);
    if (auto* status = controls_->get<QLabel>(StatusField)) {
        status->setWordWrap(true);
        status->setStyleSheet(QStringLiteral("color: #b00000"));
    }
    createMenu();
    const QRect barPixels = dialogUnitsToPixels(QRect(QPoint(0, 0), BarUnits), fontMetrics());
    resize(barPixels.width(), barPixels.height() + menuBar_->sizeHint().height());

    auto connectButton = [this](int id, auto slot) {
        connect(controls_->get<QPushButton>(id), &QPushButton::clicked, this, slot);
    };
    connectButton(ResetButton, [this] { applyQubitCount(); });
    connectButton(DepthUpButton, [this] { history_.depthUp(); });
    connectButton(DepthDownButton, [this] { history_.depthDown(); });
    connectButton(BackButton, [this] { history_.stepBack(); });
    connectButton(ForwardButton, [this] { history_.stepForward(); });
    // The platform's Undo and Redo keys walk the history, from every window of the program.
    const std::pair<int, std::vector<QKeySequence>> walks[] = {
        {BackButton, {QKeySequence::Undo, QKeySequence(Qt::ALT | Qt::Key_Left)}},
        {ForwardButton,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y),
          QKeySequence(Qt::ALT | Qt::Key_Right)}},
    };
    // The qubits field has the focus most of the time: it keeps these keys only while it has
    // typing of its own to undo or redo.
    controls_->widget(QubitsField)->installEventFilter(this);
    for (const auto& [id, keys] : walks) {
        auto* button = controls_->get<QPushButton>(id);
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, this);
            shortcut->setContext(Qt::ApplicationShortcut);
            connect(shortcut, &QShortcut::activated, button, &QPushButton::animateClick);
        }
    }
    connectButton(MeasureButton, [this] { showMeasurement(); });
    connectButton(StopButton, [this] { stopRun(); });
    controls_->widget(StopButton)->setEnabled(false);

    history_.setScheduleRefresh([this] { requestRefresh(); });
    history_.setRefreshNow([this] { refreshViews(); });
    history_.setDepthChanged([this] {
        showDepthFilter();
        showWalkButtons();
        showHistoryText();
        if (circuit_) {
            circuit_->refresh();
        }
    });
    history_.setReleaseNotice(
        [this](const std::string& text) { tell(QString::fromStdString(text)); });
    // Sub-steps of small registers are packed on the other core while the gates go on.
    history_.setRecordInBackground(true);
    history_.setLateRefusal([this] { tell(QString::fromLatin1(NoMemoryForStepText)); });
    host_.setStepSink([this](const char* text, int depth) { stepReported(text, depth); });
    host_.setProgressSink([this] {
        beginRun();
        showProgressIfDue();
    });

    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(1);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] {
        if (handlingEvents_) {
            refreshWaiting_ = true; // the views follow when the run is over
        } else {
            refreshViews();
        }
    });
    runEndTimer_.setInterval(RunEndPollMs);
    connect(&runEndTimer_, &QTimer::timeout, this, [this] { checkRunEnded(); });
    startupTimer_.setInterval(1);
    connect(&startupTimer_, &QTimer::timeout, this, [this] { startupTick(); });
    startupTimer_.start();
}

MainWindow::~MainWindow() {
    startupTimer_.stop();
    refreshTimer_.stop();
    runEndTimer_.stop();
    setBusy(false);
    // The gate dialog and the views point at the register and the history; they go first.
    host_.hideGateDialog();
    delete circuit_;
    delete segmentationDialog_;
    delete historyWindow_;
    delete probabilities_;
    delete registerGraph_;
    delete state_;
    delete gates_;
}

void MainWindow::createMenu() {
    QMenu* file = menuBar_->addMenu(QStringLiteral("File"));
    file->addAction(QStringLiteral("Open session..."), QKeySequence::Open, this,
                    [this] { openSessionFrom(); });
    file->addAction(QStringLiteral("Save session..."), QKeySequence::Save, this,
                    [this] { saveSessionAs(); });
    file->addSeparator();
    file->addAction(QStringLiteral("Open OpenQASM..."), this, [this] { openQasm(); });
    // The history up to the position, as a program for other tools.
    file->addAction(QStringLiteral("Export OpenQASM..."), this, [this] {
        QasmExportDialog dialog(QasmExport::stepsUpToPosition(history_), live_.qubitCount,
                                history_.depthFilter(), this);
        dialog.exec();
    });
    // "Show windows" brings a hidden window back where it was.
    const std::pair<const char*, std::function<QWidget*()>> windows[] = {
        {"Gates", [this] { return gates_; }},
        {"State", [this] { return state_; }},
        {"History", [this] { return historyWindow_; }},
        {"Probability", [this] { return probabilities_; }},
        {"Register", [this] { return registerGraph_; }},
        {"Segmentation", [this] { return segmentationDialog_; }},
        {"Circuit", [this] { return circuit_; }},
    };
    QMenu* showMenu = menuBar_->addMenu(QStringLiteral("Show windows"));
    for (const auto& [text, window] : windows) {
        showMenu->addAction(QString::fromLatin1(text), this, [window] {
            if (QWidget* w = window()) {
                w->show();
                w->raise();
                w->activateWindow();
            }
        });
    }
    // A gate dialog closed by Enter or Escape comes back afresh.
    showMenu->addAction(QStringLiteral("Gate dialog"), this, [this] {
        if (gates_) {
            gates_->reopenDialog();
        }
    });
    QMenu* help = menuBar_->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("Documentation"), this, [this] { showDocumentation(); });
    help->addAction(QStringLiteral("About"), this, [this] { showAbout(); });
}

bool MainWindow::saveSessionAs() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save session"), QString(),
                                                QStringLiteral("Amplex sessions (*.amplex)"));
    if (path.isEmpty()) {
        return false;
    }
    if (!path.endsWith(QStringLiteral(".amplex"))) {
        path += QStringLiteral(".amplex");
    }
    const QString error = saveSession(path);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Save session"), error);
    }
    return error.isEmpty();
}

void MainWindow::openSessionFrom() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open session"), QString(),
                                     QStringLiteral("Amplex sessions (*.amplex)"));
    if (path.isEmpty()) {
        return;
    }
    if (const QString error = openSession(path); !error.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Open session"), error);
    }
}

QString MainWindow::saveSession(const QString& path) {
    history_.settle();
    return QString::fromStdString(
        SessionFile::save(path.toStdString(), live_, segmentation_, history_));
}

QString MainWindow::openSession(const QString& path) {
    if (busy_) {
        return QStringLiteral("A gate is running.");
    }
    // Unknown free memory leaves the decision to the history's budget.
    const std::uint64_t free = SystemMemory::available();
    SessionFile::Loaded loaded =
        SessionFile::load(path.toStdString(), history_, free ? free : UINT64_MAX);
    if (!loaded.contents) {
        return QString::fromStdString(loaded.error);
    }
    const int oldCount = live_.qubitCount;
    SessionFile::apply(*loaded.contents, live_, segmentation_, history_);
    loaded.contents.reset();
    malloc_trim(0);
    setField(QubitsField, QString::number(live_.qubitCount));
    setField(StatusField, QString());
    if (state_) {
        state_->newRegister(&live_);
    }
    if (probabilities_) {
        probabilities_->resetView(&live_);
    }
    refreshViews();
    // A gate's dialog lists the qubits of the register it was made for.
    if (gates_ && oldCount != live_.qubitCount) {
        gates_->selectFirstGate();
    }
    return {};
}

void MainWindow::startupTick() {
    switch (ticks_) {
    case 0:
        break;
    case 1:
        createWindows();
        break;
    case 2:
        layoutWindows();
        break;
    case 3:
        resetRegister(StartQubits);
        break;
    default:
        startupTimer_.stop();
        break;
    }
    ++ticks_;
}

void MainWindow::createWindows() {
    gates_ = new GatesWindow(host_, this);
    state_ = new StateWindow(this);
    registerGraph_ = new RegisterGraphWindow(this);
    probabilities_ = new ProbabilitiesWindow(this);
    historyWindow_ = new HistoryWindow(this);
    segmentationDialog_ = new SegmentationDialog(live_, this);
    // Hidden until asked for; it then covers the History window's place.
    circuit_ = new CircuitWindow(history_, live_, this);
    for (QWidget* window :
         {static_cast<QWidget*>(gates_), static_cast<QWidget*>(state_),
          static_cast<QWidget*>(registerGraph_), static_cast<QWidget*>(probabilities_),
          static_cast<QWidget*>(historyWindow_)}) {
        window->show();
    }
    connect(state_, &StateWindow::viewSettingsChanged, this, [this] { showHistoryText(); });
    connect(segmentationDialog_, &SegmentationDialog::okClicked, this,
            [this] { segmentationAccepted(); });
}

void MainWindow::placeWindow(QWidget* window, const ScreenRect& rect) {
    if (!window) {
        return;
    }
    // The rectangle is the outer one: the frame goes inside it, once the window manager has
    // added one.
    placeOuter(window, rect);
}

void MainWindow::layoutWindows() {
    const QRect desktop = GatesWindow::desktopRect();
    const QSize segmentationSize =
        segmentationDialog_ ? segmentationDialog_->frameGeometry().size() : QSize();
    const WindowLayout layout =
        WindowLayout::compute({desktop.x(), desktop.y(), desktop.width(), desktop.height()},
                              segmentationSize.width(), segmentationSize.height());
    placeWindow(this, layout.mainWindow);
    placeWindow(gates_, layout.gates);
    placeWindow(state_, layout.state);
    placeWindow(registerGraph_, layout.registerGraph);
    placeWindow(probabilities_, layout.probabilities);
    placeWindow(historyWindow_, layout.history);
    placeWindow(circuit_, layout.history);
    if (segmentationDialog_) {
        segmentationDialog_->move(layout.segmentation.x, layout.segmentation.y);
    }
}

bool MainWindow::confirmQubitCount(int count) {
    if (!QubitCountInput::needsConfirmation(count)) {
        return true;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Attention"),
                    QString::fromStdString(QubitCountInput::confirmationText(count)),
                    QMessageBox::Yes | QMessageBox::No, this);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::openQasm() {
    if (busy_) {
        return;
    }
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open OpenQASM"), QString(),
                                     QStringLiteral("OpenQASM programs (*.qasm);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    const amplex::QasmProgram program = amplex::QasmProgram::load(path.toStdString());
    if (!program.ok()) {
        QMessageBox::warning(
            this, QStringLiteral("Open OpenQASM"),
            QStringLiteral("%1 cannot run, nothing was changed:\n%2")
                .arg(QFileInfo(path).fileName(), QString::fromStdString(program.error->text())));
        return;
    }
    runCircuit(program);
}

bool MainWindow::runCircuit(const amplex::QasmProgram& program) {
    if (busy_ || !program.ok() || !confirmQubitCount(program.qubitCount)) {
        return false;
    }
    resetRegister(program.qubitCount);
    if (live_.qubitCount != program.qubitCount) {
        return false; // out of memory: the status field says so
    }
    std::string failure;
    CircuitRunner::run(host_, program.operations, failure);
    if (!failure.empty()) {
        tell(QString::fromStdString(failure));
    }
    return failure.empty();
}

void MainWindow::applyQubitCount() {
    if (busy_) {
        return;
    }
    auto* field = controls_->get<QLineEdit>(QubitsField);
    const std::optional<int> count = QubitCountInput::parse(field->text().toStdString());
    const QString current = QString::number(live_.qubitCount);
    if (!count) {
        field->setText(current);
        return;
    }
    if (!confirmQubitCount(*count)) {
        field->setText(current);
        return;
    }
    resetRegister(*count);
}

void MainWindow::resetRegister(int n) {
    // The running gate holds the register's array.
    if (busy_ || n < QubitCountInput::MinQubits || n > QubitCountInput::MaxQubits) {
        return;
    }
    history_.clearHistory();
    setField(QubitsField, QString::number(n));
    setField(StatusField, QString());
    if (!live_.setQubitCount(n)) {
        // Not enough memory: keep the size the register has, in the basis state 0.
        live_.setQubitCount(live_.qubitCount);
        setField(QubitsField, QString::number(live_.qubitCount));
        setField(StatusField, QStringLiteral("Out of memory for %1 qubits.").arg(n));
    }
    if (live_.amplitudes) {
        live_.amplitudes[0] = 1.0;
    }
    // The old register's array goes back to the system along with the history's blocks.
    malloc_trim(0);
    segmentation_.reset();
    if (state_) {
        state_->newRegister(&live_);
    }
    if (probabilities_) {
        probabilities_->resetView(&live_);
    }
    refreshViews();
    if (gates_) {
        gates_->selectFirstGate();
    }
}

void MainWindow::refreshViews() {
    refreshTimer_.stop();
    history_.settle(); // the views read every entry's snapshot
    setField(PositionField,
             QString::asprintf("%i / %i", history_.historyPosition(), history_.historySize()));
    showWalkButtons();
    if (state_) {
        state_->showListing(&live_);
    }
    // The probability sum and the measurement come from the chart's pass over the register
    // when it reads it in index order, else from a pass of their own. That pass is one chain
    // of additions on one core, so the register graph is drawn beside it.
    const std::uint64_t total = live_.amplitudeCount();
    ProbabilityWalk walk(total ? drawNonZeroRandom15() : 0);
    bool walked = false;
    const auto chart = [&] { walked = probabilities_ && probabilities_->draw(&live_, &walk); };
    if (registerGraph_) {
        registerGraph_->drawBeside(&live_, chart);
    } else {
        chart();
    }
    showHistoryText();
    if (circuit_) {
        circuit_->refresh();
    }
    if (!walked) {
        live_.walkProbabilities(walk);
    }
    setField(ProbabilitySumField, QString::asprintf("%.5g", walk.sum()));
    showSample(walk.sample(total));
    showDepthFilter();
}

void MainWindow::showMeasurement() {
    showSample(live_.sample());
}

void MainWindow::showSample(std::uint32_t index) {
    setField(MeasurementField, QString::fromStdString(measurementText(live_.basisLabel(index))));
}

void MainWindow::requestRefresh() {
    refreshTimer_.start();
}

void MainWindow::showDocumentation() {
    if (!help_) {
        help_ = new HelpWindow(ProgramFiles::guide(), this);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::showAbout() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About Amplex"),
                    QStringLiteral("Amplex Version %1\n\n"
                                   "An interactive simulator of a small quantum computer, for "
                                   "teaching.\n\nBuilt with Qt %2, running on Qt %3.\n\n%4")
                        .arg(QApplication::applicationVersion().isEmpty()
                                 ? QStringLiteral("2.0")
                                 : QApplication::applicationVersion(),
                             QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()),
                             QString::fromLatin1(LicenseText)),
                    QMessageBox::Ok, this);
    box.setIconPixmap(applicationIcon().pixmap(32, 32));
    box.adjustSize();
    const QRect desktop = GatesWindow::desktopRect();
    box.move(desktop.center() - QPoint(box.width() / 2, box.height() / 2));
    box.exec();
}

QString MainWindow::fieldText(int id) const {
    QWidget* widget = controls_->widget(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text();
    }
    return {};
}

QWidget* MainWindow::control(int id) const {
    return controls_->widget(id);
}

QAction* MainWindow::menuAction(const QString& text) const {
    for (QAction* menu : menuBar_->actions()) {
        if (menu->menu()) {
            for (QAction* action : menu->menu()->actions()) {
                if (action->text() == text) {
                    return action;
                }
            }
        }
    }
    return nullptr;
}

void MainWindow::reject() {
    if (busy_) {
        stopRun();
        return;
    }
    // Escape and the close box end the program: ask first when that would lose steps.
    if (history_.historySize() > 0) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Amplex"),
                        QString::fromStdString(QubitCountInput::quitText(history_.historySize())),
                        QMessageBox::Save | QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        const int answer = box.exec();
        if (answer == QMessageBox::Save ? !saveSessionAs() : answer != QMessageBox::Yes) {
            return;
        }
    }
    QDialog::reject();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        applyQubitCount();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event); // Escape finishes the dialog
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Installed on the application while a long run shows progress, whose windows are all
    // disabled: Escape stops the run wherever the focus is. A message box that the gate shows
    // keeps its own Escape.
    if (busy_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        !QApplication::activeModalWidget()) {
        stopRun();
        return true;
    }
    // The qubits field keeps the Undo and Redo keys only while it has typing of its own to undo
    // or redo; otherwise they walk the history.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = key->matches(QKeySequence::Redo) ||
                          key->keyCombination() == (Qt::CTRL | Qt::Key_Y) ||
                          key->keyCombination() == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        if (edit && ((undo && !edit->isUndoAvailable()) || (redo && !edit->isRedoAvailable()))) {
            event->ignore();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::stopRun() {
    if (run_.active()) {
        host_.requestStop();
    }
}

void MainWindow::beginRun() {
    if (run_.begin(RunProgress::Clock::now())) {
        runEndTimer_.start();
    }
}

void MainWindow::showProgressIfDue() {
    if (handlingEvents_ || !run_.progressDue(RunProgress::Clock::now())) {
        return;
    }
    setBusy(true);
    setBusyCursor(true);
    setField(StatusField, QString::fromStdString(run_.progressText()));
    setField(PositionField,
             QString::asprintf("%i / %i", history_.historyPosition(), history_.historySize()));
    handlingEvents_ = true;
    QCoreApplication::processEvents();
    handlingEvents_ = false;
}

void MainWindow::checkRunEnded() {
    // Still inside the run: in its event handling, or in a message box of one of its gates.
    if (handlingEvents_ || host_.nestingDepth() > 0) {
        if (QApplication::activeModalWidget()) {
            setBusyCursor(false); // the box waits for the user
        }
        return;
    }
    runEndTimer_.stop();
    history_.settle();
    const std::optional<std::string> status =
        run_.finish(host_.stopRequested(), host_.runFailure());
    host_.endRun();
    setBusy(false);
    if (status) {
        setField(StatusField, QString::fromStdString(*status));
    }
    if (refreshWaiting_) {
        refreshWaiting_ = false;
        requestRefresh();
    }
}

void MainWindow::setBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        qApp->installEventFilter(this);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != this && window->isVisible() && window->isEnabled()) {
                window->setEnabled(false);
                disabledWindows_.append(window);
            }
        }
    } else {
        qApp->removeEventFilter(this);
        for (const QPointer<QWidget>& window : std::as_const(disabledWindows_)) {
            if (window) {
                window->setEnabled(true);
            }
        }
        disabledWindows_.clear();
        setBusyCursor(false);
    }
    menuBar_->setEnabled(!busy);
    for (const ControlRow& row : BarControls) {
        if (row.kind == ControlKind::Button || row.kind == ControlKind::EditRight) {
            controls_->widget(row.id)->setEnabled((row.id == StopButton) == busy);
        }
    }
}

void MainWindow::setBusyCursor(bool shown) {
    if (shown == busyCursor_) {
        return;
    }
    busyCursor_ = shown;
    if (shown) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::stepReported(const char* text, int depth) {
    beginRun();
    if (history_.recordStep(text, depth)) {
        run_.stepRecorded();
    } else {
        // Not silent, but not modal either: the gate is still running.
        switch (history_.lastRefusal()) {
        case StepHistory::Refusal::Full:
            tell(QString::fromLatin1(HistoryFullText));
            break;
        case StepHistory::Refusal::OverBudget:
            tell(QString::fromLatin1(OverBudgetText).arg(history_.budget().limit() >> 20));
            break;
        case StepHistory::Refusal::NoMemory:
            tell(QString::fromLatin1(NoMemoryForStepText));
            break;
        default:
            break;
        }
    }
    showProgressIfDue();
}

void MainWindow::tell(const QString& notice) {
    run_.setNotice(notice.toStdString());
    setField(StatusField, notice);
}

void MainWindow::showHistoryText() {
    if (historyWindow_ && state_) {
        historyWindow_->showHistory(history_, state_->firstIndex(), state_->shownCount(),
                                    state_->sortMode(), state_->exactValues());
    }
}

void MainWindow::showWalkButtons() {
    // Hidden and released steps are passed over, so an end is where nothing is left to walk to.
    controls_->widget(BackButton)->setEnabled(history_.canStepBack());
    controls_->widget(ForwardButton)->setEnabled(history_.canStepForward());
}

void MainWindow::showDepthFilter() {
    setField(DepthField, QString::number(history_.depthFilter()));
}

void MainWindow::segmentationAccepted() {
    if (probabilities_) {
        probabilities_->resetView(&live_);
    }
    refreshViews();
}

void MainWindow::setField(int id, const QString& text) {
    QWidget* widget = controls_->widget(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
    }
}

} // namespace amplex::ui
