#pragma once

#include "host/gatecontract.h"
#include "host/gatefolders.h"
#include "host/gatelibrary.h"
#include "host/screenrect.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QRegister;

// The program's side of the plug-in contract: runs gates by path for the plug-ins, takes their
// steps, and keeps the one plug-in whose parameter dialog is shown.
//
// The plug-ins call back through plain function pointers without context, so the host is
// reached through one program-wide pointer: the newest live GateHost. Headless: the dialog
// rectangle comes in as a parameter, and a test can drive real plug-ins through it.
class GateHost {
public:
    // Receives every step with the nesting depth at which it was reported.
    using StepSink = std::function<void(const char* text, int depth)>;
    // Called as every run by path begins, before anything is loaded: where the program learns
    // that a gate is running and keeps its windows alive. It may call requestStop().
    using ProgressSink = std::function<void()>;

    // Runs nested deeper than this are refused, so a gate that runs itself cannot exhaust
    // the stack.
    static constexpr int MaxNestingDepth = 64;
    // Width and height of a gate's parameter dialog, in pixels.
    static constexpr int DialogWidth = 180;
    static constexpr int DialogHeight = 360;

    // gateFolders: where gates are loaded from, and what the Gates window lists (GateFolders).
    explicit GateHost(QRegister& live, std::vector<std::filesystem::path> gateFolders =
                                           GateFolders::fromEnvironment());
    GateHost(const GateHost&) = delete;
    GateHost& operator=(const GateHost&) = delete;
    // Closes the shown dialog without passing on any step it reports, and hands the
    // callbacks back to the host made before this one.
    ~GateHost();

    static GateHost* current();

    // Marks the step of every gate that finishes after its run began refusing sub-gates.
    static constexpr const char* IncompleteMark = " [incomplete]";

    void setStepSink(StepSink sink) { stepSink_ = std::move(sink); }
    void setProgressSink(ProgressSink sink) { progressSink_ = std::move(sink); }

    // Loads the gate one nesting level deeper, wires it, runs execute(word) once and unloads
    // it. A path that cannot be loaded, or a library missing an export, runs nothing and fails
    // the top-level run: from then on, until endRun(), every run by path is refused.
    void runGate(const char* gatePath, std::intptr_t word);
    // Runs a gate as its own dialog would: loaded, wired, execute(word) once and unloaded, at
    // the current nesting depth, so that its step is a top-level one. Fails and refuses like
    // runGate. This is how a circuit read from a file runs its operations.
    void runTopLevel(const char* gatePath, std::intptr_t word);
    // Hands a step text to the step sink with the current nesting depth; once the run refuses
    // sub-gates, with IncompleteMark appended (the text cut so that the mark always fits).
    void recordStep(const char* stepText);

    // The host sees a top-level run only through its callbacks; whoever drives the plug-ins
    // says when one is over. Stop refuses every further run by path of the current run, so
    // that it finishes quickly with its enclosing gates' steps marked incomplete.
    void requestStop() { stopRequested_ = true; }
    // The top-level run is over: runs by path are served again.
    void endRun();
    bool stopRequested() const { return stopRequested_; }
    // Why the current run failed ("shor\modules\power could not be loaded: ..."), or empty.
    const std::string& runFailure() const { return runFailure_; }
    bool refusingRuns() const { return stopRequested_ || !runFailure_.empty(); }

    // Loads a gate for its dialog and shows the dialog at the foot of the right-hand column of
    // the desktop whose right edge and bottom edge are given. Returns whether a dialog is shown
    // (a directory entry or a broken library shows none).
    bool showGateDialog(const std::string& gatePath, int desktopRight, int desktopBottom);
    // Destroys the shown dialog and unloads its library; nothing if there is none.
    // Both are refused from inside a callback (where the sinks may handle events): the shown
    // dialog's code may be running.
    void hideGateDialog();
    bool hasDialog() const { return dialogLibrary_.loaded(); }
    void* dialogHandle() const { return dialogLibrary_.handle(); }

    int nestingDepth() const { return nestingDepth_; }
    QRegister& liveRegister() const { return live_; }
    const std::vector<std::filesystem::path>& gateFolders() const { return gateFolders_; }
    // Why the last load failed, for diagnostics; the plug-ins are never told.
    const std::string& lastError() const { return lastError_; }

    // Dialog placement at the foot of the right-hand column, which the Gates window fills above
    // it (WindowLayout): W is the desktop's right edge, H its bottom edge less 28 (the task bar,
    // never below 0), in unsigned arithmetic with each quotient rounded down.
    static ScreenRect dialogRect(int desktopRight, int desktopBottom);

    // The callbacks written into every plug-in's procexecute and procstep slots.
    static void runGateCallback(const char* gatePath, std::intptr_t word);
    static void recordStepCallback(const char* stepText);

private:
    // runGate and runTopLevel: the run levels deeper than the caller.
    void run(const char* gatePath, std::intptr_t word, int levels);
    // Writes procexecute, procstep, r and hdll; false when one of them is missing.
    bool wire(const GateLibrary& library);

    QRegister& live_;
    std::vector<std::filesystem::path> gateFolders_;
    StepSink stepSink_;
    ProgressSink progressSink_;
    bool stopRequested_ = false;
    std::string runFailure_;
    int nestingDepth_ = 0;
    int callbackDepth_ = 0;
    GateLibrary dialogLibrary_;
    DlgHideFn dialogHide_ = nullptr;
    std::string lastError_;
    GateHost* previous_ = nullptr;
};
