#pragma once

#include "app/runprogress.h"
#include "app/stephistory.h"
#include "core/qregister.h"
#include "core/segmentation.h"
#include "host/gatehost.h"
#include "host/screenrect.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QTimer>

#include <memory>

class QAction;
class QMenuBar;

namespace amplex {
struct QasmProgram;
}

namespace amplex::ui {

class CircuitWindow;
class ControlTable;
class GatesWindow;
class HelpWindow;
class HistoryWindow;
class ProbabilitiesWindow;
class RegisterGraphWindow;
class SegmentationDialog;
class StateWindow;

// The main window: the control bar across the top of the screen, and the owner of everything
// that lives for the run: the live register and its segmentation, the step history, the gate
// host and the six tool and view windows.
//
// Start-up runs on a 1 ms timer: tick 1 creates the windows, tick 2 lays them out, tick 3
// resets the register to 15 qubits (which shows the first gate's dialog), tick 4 stops the
// timer. Escape and the close box finish the dialog (finished() is the program's cue to end),
// after a confirmation when steps would be lost; Enter applies the qubits field.
//
// A gate runs inside its dialog's handler on this thread. Once a run has lasted half a second,
// its callbacks show progress: a busy cursor, the status field counting the recorded steps,
// and the events handled meanwhile, with every control but Stop disabled so that nothing else
// can start (or unload a library whose code is running). Stop, Escape or the close box then
// make the host refuse the rest of the run. The run is over once control is back in an event
// loop outside the run; the status field then tells a failure or a stop.
class MainWindow : public QDialog {
    Q_OBJECT
public:
    // Control ids of the bar.
    static constexpr int QubitsField = 1004;
    static constexpr int ResetButton = 1005;
    static constexpr int BackButton = 1008;
    static constexpr int ForwardButton = 1009;
    static constexpr int PositionField = 1010;
    static constexpr int MeasureButton = 1012;
    static constexpr int MeasurementField = 1013;
    static constexpr int ProbabilitySumField = 1014;
    static constexpr int DepthField = 1017;
    static constexpr int DepthUpButton = 1018;
    static constexpr int DepthDownButton = 1019;
    // Tells the user that a step could not be recorded or a register not be allocated, how
    // far a long run has got, and why a run failed or that it was stopped.
    static constexpr int StatusField = 1020;
    // Enabled only while a long run shows its progress.
    static constexpr int StopButton = 1021;

    static constexpr int StartQubits = 15;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Reads the qubits field: a whole number 1 .. 26 resets the register to it (above 16 only
    // after "Are you sure?" is answered Yes); anything else, or No, puts the current count back.
    void applyQubitCount();
    // A new register of n qubits (1 .. 26; other counts are ignored) in the basis state 0 with
    // an empty history and the default segmentation; the views start afresh and the first
    // gate's dialog is shown again.
    // When the array cannot be allocated, the register keeps its size (reset to the basis
    // state 0), the field shows that size and the status field says so.
    void resetRegister(int n);
    // Brings the bar fields and every view up to date, in a fixed order: position, State,
    // Register graph, Probabilities, History, probability sum, measurement, depth filter.
    void refreshViews();
    // Draws a basis state by the probabilities and shows it in the measurement field; the
    // register is not changed.
    void showMeasurement();
    // Places every window on the primary screen (see WindowLayout).
    void layoutWindows();
    // Asks for one refreshViews once control is back in the event loop; a request made before
    // the previous one ran replaces it.
    void requestRefresh();
    // Refuses the rest of the current gate run (Stop, and Escape while a run is going on).
    void stopRun();
    // "File" > "Open OpenQASM...": asks for a file and runs it (runCircuit); an error in the
    // program is shown with its line and column, and nothing runs.
    void openQasm();
    // Resets the register to the program's size (above 16 qubits only after "Are you sure?" is
    // answered Yes) and runs its operations, each a top-level step as if run from its gate's
    // dialog. A gate that cannot be loaded ends the run; the status field tells why. Returns
    // whether it ran.
    bool runCircuit(const amplex::QasmProgram& program);
    // Shows doc/index.html (beside the program) in the help window.
    void showDocumentation();
    // The modal "About Amplex" box: program, version, Qt's version, what it is, license.
    void showAbout();
    HelpWindow* helpWindow() const { return help_; }

    // Whether the start-up sequence has reset the register.
    bool isStarted() const { return ticks_ > 3; }
    QString fieldText(int id) const;
    QWidget* control(int id) const;
    // "Show windows" entries by their text ("Gates", ..., "Segmentation"), and "Help" entries.
    QAction* menuAction(const QString& text) const;
    // Writes the session (register, segmentation, history) to a .amplex file; returns the
    // error text, empty on success.
    QString saveSession(const QString& path);
    // Replaces the session by the one in the file, or returns why it was refused, in which case
    // nothing changed. Refused while a gate runs.
    QString openSession(const QString& path);
    // When a run shows progress; tests shorten it.
    RunProgress& runProgress() { return run_; }

    QRegister& liveRegister() { return live_; }
    Segmentation& segmentation() { return segmentation_; }
    StepHistory& history() { return history_; }
    GateHost& gateHost() { return host_; }
    GatesWindow* gatesWindow() const { return gates_; }
    StateWindow* stateWindow() const { return state_; }
    RegisterGraphWindow* registerGraphWindow() const { return registerGraph_; }
    ProbabilitiesWindow* probabilitiesWindow() const { return probabilities_; }
    HistoryWindow* historyWindow() const { return historyWindow_; }
    SegmentationDialog* segmentationDialog() const { return segmentationDialog_; }
    CircuitWindow* circuitWindow() const { return circuit_; }

    // Escape and the close box: while a long run shows its progress they stop it; otherwise
    // they end the program, after "Quit Amplex?" is answered Yes when the history holds steps.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startupTick();
    // Asks "Are you sure?" before a register above 16 qubits; whether to go on.
    bool confirmQubitCount(int count);
    void createWindows();
    void createMenu();
    // Asks for a file name and saves; false when cancelled or failed (the user was told).
    bool saveSessionAs();
    void openSessionFrom();
    void stepReported(const char* text, int depth);
    // Shows a notice in the status field that a running gate's progress must not hide.
    void tell(const QString& notice);
    void showSample(std::uint32_t index);
    void beginRun();
    void showProgressIfDue();
    void checkRunEnded();
    void setBusy(bool busy);
    void setBusyCursor(bool shown);
    void showHistoryText();
    void showDepthFilter();
    // Greys back and forward where they would not move.
    void showWalkButtons();
    void segmentationAccepted();
    void setField(int id, const QString& text);
    static void placeWindow(QWidget* window, const ScreenRect& rect);

    QRegister live_;
    Segmentation segmentation_;
    StepHistory history_;
    GateHost host_;

    QTimer startupTimer_;
    QTimer refreshTimer_;
    // Polls for the end of a gate run: a repeating timer, so that a message box that a gate
    // shows in the middle of its run does not keep the processor busy.
    QTimer runEndTimer_;
    int ticks_ = 0;

    RunProgress run_;
    // Inside the event handling of a long run; a refresh waits until the run is over.
    bool handlingEvents_ = false;
    bool refreshWaiting_ = false;
    bool busy_ = false;
    bool busyCursor_ = false;
    QList<QPointer<QWidget>> disabledWindows_;

    QMenuBar* menuBar_ = nullptr;
    QWidget* bar_ = nullptr;
    std::unique_ptr<ControlTable> controls_;

    GatesWindow* gates_ = nullptr;
    StateWindow* state_ = nullptr;
    RegisterGraphWindow* registerGraph_ = nullptr;
    ProbabilitiesWindow* probabilities_ = nullptr;
    HistoryWindow* historyWindow_ = nullptr;
    SegmentationDialog* segmentationDialog_ = nullptr;
    CircuitWindow* circuit_ = nullptr;
    HelpWindow* help_ = nullptr;
};

} // namespace amplex::ui
