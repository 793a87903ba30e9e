#include "host/gatehost.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

GateHost* currentHost = nullptr;

// Counts the callbacks the host is inside of.
struct CallbackScope {
    explicit CallbackScope(int& depth) : depth_(depth) { ++depth_; }
    ~CallbackScope() { --depth_; }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;
    int& depth_;
};

} // namespace

GateHost::GateHost(QRegister& live, std::vector<std::filesystem::path> gateFolders)
    : live_(live), gateFolders_(std::move(gateFolders)), previous_(currentHost) {
    currentHost = this;
}

GateHost::~GateHost() {
    // The sink's owner may already be gone; a dialog closed on the way out records nothing.
    stepSink_ = nullptr;
    hideGateDialog();
    // Hosts need not go in the reverse order of their creation: unlink this one wherever it
    // is, so that no callback can reach it once it is gone.
    if (currentHost == this) {
        currentHost = previous_;
        return;
    }
    for (GateHost* host = currentHost; host; host = host->previous_) {
        if (host->previous_ == this) {
            host->previous_ = previous_;
            return;
        }
    }
}

GateHost* GateHost::current() {
    return currentHost;
}

bool GateHost::wire(const GateLibrary& library) {
    auto* procexecute = library.variable<RunGateFn>(amplex::ProcExecuteSymbol);
    auto* procstep = library.variable<RecordStepFn>(amplex::ProcStepSymbol);
    auto* reg = library.variable<QRegister*>(amplex::RegisterSymbol);
    auto* hdll = library.variable<void*>(amplex::HandleSymbol);
    if (!procexecute || !procstep || !reg || !hdll) {
        lastError_ = "a data slot is missing";
        return false;
    }
    *procexecute = &GateHost::runGateCallback;
    *procstep = &GateHost::recordStepCallback;
    *reg = &live_;
    *hdll = library.handle();
    return true;
}

void GateHost::runGate(const char* gatePath, std::intptr_t word) {
    run(gatePath, word, 1);
}

void GateHost::runTopLevel(const char* gatePath, std::intptr_t word) {
    run(gatePath, word, 0);
}

void GateHost::run(const char* gatePath, std::intptr_t word, int levels) {
    const CallbackScope scope(callbackDepth_);
    if (progressSink_) {
        progressSink_();
    }
    if (!gatePath || nestingDepth_ >= MaxNestingDepth || refusingRuns()) {
        return;
    }
    nestingDepth_ += levels;
    {
        GateLibrary library = GateLibrary::open(gatePath, gateFolders_);
        bool ran = false;
        if (!library.loaded()) {
            lastError_ = library.error();
        } else if (auto execute = library.function<ExecuteFn>(amplex::ExecuteSymbol); !execute) {
            lastError_ = "execute is missing";
        } else if (wire(library)) {
            execute(word);
            ran = true;
        }
        // A composite that carried on without its sub-gate would report a result it never
        // computed: the rest of the run is refused instead, and the user is told why.
        if (!ran && runFailure_.empty()) {
            runFailure_ = std::string(gatePath) + " could not be loaded: " + lastError_;
        }
    }
    nestingDepth_ -= levels;
}

void GateHost::recordStep(const char* stepText) {
    if (!stepSink_) {
        return;
    }
    const CallbackScope scope(callbackDepth_);
    const char* text = stepText ? stepText : "";
    if (!refusingRuns()) {
        stepSink_(text, nestingDepth_);
        return;
    }
    const std::size_t room = amplex::MaxStepTextLength - std::strlen(IncompleteMark);
    std::string marked(text, std::min(std::strlen(text), room));
    marked += IncompleteMark;
    stepSink_(marked.c_str(), nestingDepth_);
}

void GateHost::endRun() {
    stopRequested_ = false;
    runFailure_.clear();
}

bool GateHost::showGateDialog(const std::string& gatePath, int desktopRight, int desktopBottom) {
    if (callbackDepth_ > 0) {
        lastError_ = "a gate is running";
        return false;
    }
    hideGateDialog();
    GateLibrary library = GateLibrary::open(gatePath, gateFolders_);
    if (!library.loaded()) {
        lastError_ = library.error();
        return false;
    }
    auto show = library.function<DlgShowFn>(amplex::DlgShowSymbol);
    auto hide = library.function<DlgHideFn>(amplex::DlgHideSymbol);
    if (!show || !hide || !library.symbol(amplex::ExecuteSymbol)) {
        lastError_ = "an export is missing";
        return false;
    }
    if (!wire(library)) {
        return false;
    }
    dialogLibrary_ = std::move(library);
    dialogHide_ = hide;
    const ScreenRect rect = dialogRect(desktopRight, desktopBottom);
    show(rect.x, rect.y, rect.width, rect.height);
    return true;
}

void GateHost::hideGateDialog() {
    if (!dialogLibrary_.loaded() || callbackDepth_ > 0) {
        return;
    }
    if (dialogHide_) {
        dialogHide_();
    }
    dialogHide_ = nullptr;
    dialogLibrary_.unload();
}

ScreenRect GateHost::dialogRect(int desktopRight, int desktopBottom) {
    const auto w = static_cast<std::uint32_t>(desktopRight);
    // A desktop less tall than the task bar has nothing to divide, rather than a wrapped height.
    const auto h = static_cast<std::uint32_t>(std::max(desktopBottom - 28, 0));
    ScreenRect rect;
    rect.x = static_cast<int>(w - DialogWidth);
    rect.y = static_cast<int>((660u * h) / 740u + (80u * h) / 740u - DialogHeight);
    rect.width = DialogWidth;
    rect.height = DialogHeight;
    return rect;
}

void GateHost::runGateCallback(const char* gatePath, std::intptr_t word) {
    if (currentHost) {
        currentHost->runGate(gatePath, word);
    }
}

void GateHost::recordStepCallback(const char* stepText) {
    if (currentHost) {
        currentHost->recordStep(stepText);
    }
}
