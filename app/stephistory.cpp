#include "app/stephistory.h"

#include "core/qregister.h"

#include <climits>

StepHistory::StepHistory(QRegister& live)
    : live_(live), entries_(std::make_unique<HistoryEntry[]>(Capacity)) {}

void StepHistory::release(int from, int to) {
    for (int k = from; k < to; ++k) {
        entries_[static_cast<std::size_t>(k)].release();
    }
}

bool StepHistory::recordStep(const char* text, int depth) {
    release(historyPosition_, historySize_);
    historySize_ = historyPosition_;
    bool recorded = false;
    if (depth <= MaxRecordedDepth && historyPosition_ < Capacity) {
        recorded = entries_[static_cast<std::size_t>(historyPosition_)].record(live_, text, depth);
        if (recorded) {
            ++historyPosition_;
            historySize_ = historyPosition_;
        }
    }
    call(scheduleRefresh_);
    return recorded;
}

void StepHistory::stepBack() {
    --historyPosition_;
    while (historyPosition_ > 0 && !isVisible(historyPosition_ - 1)) {
        --historyPosition_;
    }
    if (historyPosition_ > 0) {
        live_.copyFrom(*entry(historyPosition_ - 1).snapshot);
    } else {
        historyPosition_ = 0;
        live_.setQubitCount(live_.qubitCount);
        if (live_.amplitudes) {
            live_.amplitudes[0] = 1.0;
        }
    }
    call(refreshNow_);
}

void StepHistory::stepForward() {
    if (historyPosition_ < historySize_) {
        int j = historyPosition_;
        while (!isVisible(j) && j + 1 < historySize_) {
            ++j;
        }
        // The search may end on a hidden last entry: then nothing moves.
        if (isVisible(j)) {
            historyPosition_ = j + 1;
            live_.copyFrom(*entry(j).snapshot);
        }
    }
    call(refreshNow_);
}

void StepHistory::depthUp() {
    // No bound of its own, but an int that wraps would hide every step.
    if (depthFilter_ < INT_MAX) {
        ++depthFilter_;
    }
    call(depthChanged_);
}

void StepHistory::depthDown() {
    if (depthFilter_ > 0) {
        --depthFilter_;
    }
    call(depthChanged_);
}

void StepHistory::clearHistory() {
    release(0, historySize_);
    historyPosition_ = 0;
    historySize_ = 0;
}
