#include "app/mainwindow.h"

#include "app/applicationicon.h"
#include "app/historywindow.h"
#include "app/measurementtext.h"
#include "app/programfiles.h"
#include "app/qubitcountinput.h"
#include "app/windowlayout.h"
#include "host/gateswindow.h"
#include "views/controltable.h"
#include "views/probabilitieswindow.h"
#include "views/registergraphwindow.h"
#include "views/segmentationdialog.h"
#include "views/statewindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <utility>

namespace amplex::ui {

namespace {

// The control bar, in dialog units. The value fields' texts are the template's; the first
// refresh replaces them.
constexpr ControlRow BarControls[] = {
    {ControlKind::Label, 0, "Qubits:", QRect(7, 2, 24, 9)},
    {ControlKind::EditRight, MainWindow::QubitsField, "", QRect(34, 2, 18, 12)},
    {ControlKind::Button, MainWindow::ResetButton, "reset", QRect(56, 2, 33, 12)},
    {ControlKind::Label, 0, "Historydepth:", QRect(103, 2, 49, 8)},
    {ControlKind::LabelRight, MainWindow::DepthField, "4", QRect(161, 2, 43, 10)},
    {ControlKind::Label, 0, "Historyposition:", QRect(103, 13, 49, 9)},
    {ControlKind::LabelRight, MainWindow::PositionField, "0", QRect(161, 12, 43, 10)},
    {ControlKind::Button, MainWindow::DepthUpButton, "+", QRect(211, 2, 18, 20)},
    {ControlKind::Button, MainWindow::DepthDownButton, "-", QRect(237, 2, 18, 20)},
    {ControlKind::Button, MainWindow::BackButton, "back", QRect(265, 2, 48, 20)},
    {ControlKind::Button, MainWindow::ForwardButton, "forward", QRect(319, 2, 48, 20)},
    {ControlKind::Button, MainWindow::MeasureButton, "measure", QRect(387, 2, 44, 9)},
    {ControlKind::LabelRight, MainWindow::MeasurementField, "0", QRect(439, 2, 100, 9)},
    {ControlKind::Label, 0, "Probabilitysum:", QRect(387, 13, 50, 9)},
    {ControlKind::LabelRight, MainWindow::ProbabilitySumField, "1", QRect(455, 13, 84, 9)},
    {ControlKind::Label, MainWindow::StatusField, "", QRect(549, 2, 88, 20)},
};
constexpr QSize BarUnits(641, 29);

const char* const HistoryFullText = "History full: step not recorded.";
const char* const NoMemoryForStepText = "Out of memory: step not recorded.";
const char* const OverBudgetText =
    "One step needs more than the history's %1 MB: step not recorded.";

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
    // The captions were measured in a narrower font than ours; each has room up to its value
    // field, so it takes the width its text needs instead of being cut.
    for (QLabel* caption : bar_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (caption->objectName().isEmpty()) {
            caption->resize(std::max(caption->width(), caption->sizeHint().width()),
                            caption->height());
        }
    }
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
    connectButton(MeasureButton, [this] { showMeasurement(); });

    history_.setScheduleRefresh([this] { requestRefresh(); });
    history_.setRefreshNow([this] { refreshViews(); });
    history_.setDepthChanged([this] {
        showDepthFilter();
        showHistoryText();
    });
    history_.setReleaseNotice(
        [this](const std::string& text) { setField(StatusField, QString::fromStdString(text)); });
    host_.setStepSink([this](const char* text, int depth) { stepReported(text, depth); });

    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(1);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] { refreshViews(); });
    startupTimer_.setInterval(1);
    connect(&startupTimer_, &QTimer::timeout, this, [this] { startupTick(); });
    startupTimer_.start();
}

MainWindow::~MainWindow() {
    startupTimer_.stop();
    refreshTimer_.stop();
    // The gate dialog and the views point at the register and the history; they go first.
    host_.hideGateDialog();
    delete segmentationDialog_;
    delete historyWindow_;
    delete probabilities_;
    delete registerGraph_;
    delete state_;
    delete gates_;
}

void MainWindow::createMenu() {
    // "Show windows" brings a hidden window back where it was.
    const std::pair<const char*, std::function<QWidget*()>> windows[] = {
        {"Gates", [this] { return gates_; }},
        {"State", [this] { return state_; }},
        {"History", [this] { return historyWindow_; }},
        {"Probability", [this] { return probabilities_; }},
        {"Register", [this] { return registerGraph_; }},
        {"Segmentation", [this] { return segmentationDialog_; }},
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
    QMenu* help = menuBar_->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("Documentation"), this, [this] { showDocumentation(); });
    help->addAction(QStringLiteral("About"), this, [this] { showAbout(); });
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
    gates_ = new GatesWindow(host_, ProgramFiles::locate("gates"), this);
    state_ = new StateWindow(this);
    registerGraph_ = new RegisterGraphWindow(this);
    probabilities_ = new ProbabilitiesWindow(this);
    historyWindow_ = new HistoryWindow(this);
    segmentationDialog_ = new SegmentationDialog(live_, this);
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
    // The rectangle is the outer one; the frame (where the window system has added one so far)
    // comes off the client size.
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    window->move(rect.x, rect.y);
    window->resize(std::max(rect.width - frame.width(), 0),
                   std::max(rect.height - frame.height(), 0));
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
    if (segmentationDialog_) {
        segmentationDialog_->move(layout.segmentation.x, layout.segmentation.y);
    }
}

void MainWindow::applyQubitCount() {
    auto* field = controls_->get<QLineEdit>(QubitsField);
    const std::optional<int> count = QubitCountInput::parse(field->text().toStdString());
    const QString current = QString::number(live_.qubitCount);
    if (!count) {
        field->setText(current);
        return;
    }
    if (QubitCountInput::needsConfirmation(*count)) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Attention"),
                        QStringLiteral("Are you sure?"), QMessageBox::Yes | QMessageBox::No, this);
        if (box.exec() != QMessageBox::Yes) {
            field->setText(current);
            return;
        }
    }
    resetRegister(*count);
}

void MainWindow::resetRegister(int n) {
    if (n < QubitCountInput::MinQubits || n > QubitCountInput::MaxQubits) {
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
    setField(PositionField,
             QString::asprintf("%i / %i", history_.historyPosition(), history_.historySize()));
    if (state_) {
        state_->showListing(&live_);
    }
    if (registerGraph_) {
        registerGraph_->draw(&live_);
    }
    if (probabilities_) {
        probabilities_->draw(&live_);
    }
    showHistoryText();
    setField(ProbabilitySumField, QString::asprintf("%.5g", live_.probabilitySum()));
    showMeasurement();
    showDepthFilter();
}

void MainWindow::showMeasurement() {
    const std::uint32_t index = live_.sample();
    setField(MeasurementField, QString::fromStdString(measurementText(live_.basisLabel(index))));
}

void MainWindow::requestRefresh() {
    refreshTimer_.start();
}

void MainWindow::showDocumentation() {
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdString(ProgramFiles::locate("doc/index.html"))));
}

void MainWindow::showAbout() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About Amplex"),
                    QStringLiteral("Amplex Version 2.0"), QMessageBox::Ok, this);
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

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        applyQubitCount();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event); // Escape finishes the dialog
}

void MainWindow::stepReported(const char* text, int depth) {
    if (history_.recordStep(text, depth)) {
        return;
    }
    // Not silent, but not modal either: the gate is still running.
    switch (history_.lastRefusal()) {
    case StepHistory::Refusal::Full:
        setField(StatusField, QString::fromLatin1(HistoryFullText));
        break;
    case StepHistory::Refusal::OverBudget:
        setField(StatusField,
                 QString::fromLatin1(OverBudgetText).arg(history_.budget().limit() >> 20));
        break;
    case StepHistory::Refusal::NoMemory:
        setField(StatusField, QString::fromLatin1(NoMemoryForStepText));
        break;
    default:
        break;
    }
}

void MainWindow::showHistoryText() {
    if (historyWindow_ && state_) {
        historyWindow_->showHistory(history_, state_->firstIndex(), state_->shownCount(),
                                    state_->sortMode());
    }
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
