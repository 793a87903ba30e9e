#pragma once

#include "app/historyentry.h"

#include <functional>
#include <memory>

class QRegister;

// The recorded steps and the walk back and forward through them.
//
// Entry k holds step k + 1. historyPosition steps are reflected by the live register (the basis
// state 0 at position 0); entries at or above historySize hold nothing. An entry deeper than
// depthFilter is hidden: back and forward pass over it. Invariant after every operation:
// 0 <= historyPosition <= historySize <= Capacity.
class StepHistory {
public:
    static constexpr int Capacity = 65536;
    // Steps reported at nesting depths 0 .. MaxRecordedDepth are recorded, deeper ones not.
    static constexpr int MaxRecordedDepth = 4;

    explicit StepHistory(QRegister& live);
    StepHistory(const StepHistory&) = delete;
    StepHistory& operator=(const StepHistory&) = delete;

    // Asks for a redraw of every view once the running gate has returned.
    void setScheduleRefresh(std::function<void()> callback) {
        scheduleRefresh_ = std::move(callback);
    }
    // Redraws every view now (after back and forward).
    void setRefreshNow(std::function<void()> callback) { refreshNow_ = std::move(callback); }
    // Shows a new depth filter (after "+" and "-").
    void setDepthChanged(std::function<void()> callback) { depthChanged_ = std::move(callback); }

    // Drops the undone entries above the position and, at depth MaxRecordedDepth or less,
    // records the live register with the text. Refused (returns false, position unchanged)
    // when the history is full or the snapshot cannot be allocated. Schedules a refresh in
    // every case.
    bool recordStep(const char* text, int depth);
    // Moves to the previous visible entry, or to the basis state 0 at position 0.
    void stepBack();
    // Moves to the next visible entry, never past the last recorded one.
    void stepForward();
    void depthUp();
    void depthDown();
    // Releases every entry; position and size 0. The register is left alone.
    void clearHistory();

    int historyPosition() const { return historyPosition_; }
    int historySize() const { return historySize_; }
    int depthFilter() const { return depthFilter_; }
    const HistoryEntry& entry(int k) const { return entries_[static_cast<std::size_t>(k)]; }
    bool isVisible(int k) const { return entry(k).depth <= depthFilter_; }

private:
    void release(int from, int to);
    static void call(const std::function<void()>& callback) {
        if (callback) {
            callback();
        }
    }

    QRegister& live_;
    std::unique_ptr<HistoryEntry[]> entries_;
    int historyPosition_ = 0;
    int historySize_ = 0;
    int depthFilter_ = 0;
    std::function<void()> scheduleRefresh_;
    std::function<void()> refreshNow_;
    std::function<void()> depthChanged_;
};
