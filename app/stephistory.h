#pragma once

#include "app/backgroundcapture.h"
#include "app/historybudget.h"
#include "app/historyentry.h"
#include "core/qregister.h"
#include "core/segmentation.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The recorded steps and the walk back and forward through them.
//
// Entry k holds step k + 1. historyPosition steps are reflected by the live register (the basis
// state 0 at position 0); entries at or above historySize hold nothing. An entry deeper than
// depthFilter is hidden: back and forward pass over it. Invariant after every operation:
// 0 <= historyPosition <= historySize <= Capacity.
//
// The snapshots live within a memory budget. When the next one does not fit, the oldest
// snapshots are released first, never the newest top-level (depth 0) one while a nested step is
// recorded; a released entry keeps its text and depth, and back and forward pass over it. Once
// anything was released, back no longer goes to position 0, whose state was not recorded.
class StepHistory {
public:
    static constexpr int Capacity = 65536;
    // Steps reported at nesting depths 0 .. MaxRecordedDepth are recorded, deeper ones not.
    static constexpr int MaxRecordedDepth = 4;
    // Why the last recordStep recorded nothing.
    enum class Refusal { None, TooDeep, Full, OverBudget, NoMemory };

    explicit StepHistory(QRegister& live, HistoryBudget budget = HistoryBudget::atStartup());
    StepHistory(const StepHistory&) = delete;
    StepHistory& operator=(const StepHistory&) = delete;
    ~StepHistory();

    // Asks for a redraw of every view once the running gate has returned.
    void setScheduleRefresh(std::function<void()> callback) {
        scheduleRefresh_ = std::move(callback);
    }
    // Redraws every view now (after back and forward).
    void setRefreshNow(std::function<void()> callback) { refreshNow_ = std::move(callback); }
    // Shows a new depth filter (after "+" and "-").
    void setDepthChanged(std::function<void()> callback) { depthChanged_ = std::move(callback); }
    // Tells the user, once after each clearHistory, that older snapshots were released.
    void setReleaseNotice(std::function<void(const std::string&)> callback) {
        releaseNotice_ = std::move(callback);
    }
    // Tells the user that a step recorded in the background was dropped after all: memory for
    // its snapshot could not be had (lastRefusal() is then NoMemory).
    void setLateRefusal(std::function<void()> callback) { lateRefusal_ = std::move(callback); }

    // With `on`, nested steps of registers that the gates run on one core are packed on another
    // core while the gates go on (see BackgroundCapture): such an entry has its text at once and
    // its snapshot from settle(), which every change of the history but a nested step makes
    // first, and which a top-level step (the end of a run) waits for. Readers call settle()
    // before they look at the entries.
    void setRecordInBackground(bool on) {
        settle();
        background_ = on;
    }
    // Waits for the snapshots being packed in the background and gives them to their entries.
    void settle();

    // Drops the undone entries above the position and, at depth MaxRecordedDepth or less,
    // records the live register with the text, releasing the oldest snapshots as the budget
    // needs. Refused (returns false, position unchanged, see lastRefusal) when the history is
    // full, when the snapshot does not fit even with every other one released (a nested step
    // keeps the newest top-level one), or when memory cannot be had. Schedules a refresh in every
    // case.
    bool recordStep(const char* text, int depth);
    // Moves to the previous visible entry that still has its snapshot; to the basis state 0 at
    // position 0 only while nothing was released.
    void stepBack();
    // Moves to the next visible entry that still has its snapshot, never past the last one.
    void stepForward();
    // Moves straight to a position, as back and forward would step there one by one: to a
    // visible entry that still has its snapshot, or to 0 while nothing was released. Anything
    // else leaves the position alone. Refreshes every view in both cases.
    void moveTo(int position);
    // Whether back and forward would move: what their buttons show.
    bool canStepBack() const;
    bool canStepForward() const { return forwardEntry() >= 0; }
    void depthUp();
    void depthDown();
    // Releases every entry; position and size 0; the memory goes back to the system. The
    // register is left alone.
    void clearHistory();

    // Replaces the whole history with `size` loaded entries (0 .. Capacity), whose snapshots
    // must be of the live register's size; position, depth filter and whether older snapshots
    // were released as given. Each snapshot is reserved in the budget as it is taken over; one
    // that does not fit is released. The register is left alone and no view is redrawn.
    void adopt(HistoryEntry* loaded, int size, int position, int depthFilter, bool released);
    // Whether snapshots were released since the last clearHistory (back then stops short of 0).
    bool released() const { return released_; }

    // The sortedListing of entry k's recorded state (empty without a snapshot). Made once per
    // entry and view settings, decoded into one working register held within the budget, and
    // kept for the next calls.
    std::string listing(int k, std::uint32_t first, std::uint32_t count, int sortMode,
                        bool exactValues = false) const;

    int historyPosition() const { return historyPosition_; }
    int historySize() const { return historySize_; }
    int depthFilter() const { return depthFilter_; }
    const HistoryEntry& entry(int k) const { return entries_[static_cast<std::size_t>(k)]; }
    bool isVisible(int k) const { return entry(k).depth <= depthFilter_; }
    // The position of the visible step before position p (at most the size) that still holds
    // its state, or 0 for the reset state: where back would move from p.
    int positionBefore(int p) const;
    Refusal lastRefusal() const { return refusal_; }
    const HistoryBudget& budget() const { return budget_; }
    // Text of the status line after releases: "Older steps released to stay within N MB.".
    std::string releaseText() const;

private:
    struct CachedListing {
        std::uint64_t serial = 0;
        std::uint32_t first = 0;
        std::uint32_t count = 0;
        int sortMode = 0;
        bool exactValues = false;
        bool segmented = false;
        Segmentation segmentation;
        std::string text;
    };

    void release(int from, int to);
    bool recordLive(const char* text, int depth);
    // Labels the entry at the position and starts its snapshot in the background, when that
    // pays and fits the budget without a release; false when it is to be taken here.
    bool recordInBackground(const char* text, int depth);
    // Gives the oldest snapshot packed in the background to its entry.
    void settleOldest();
    // Reserves bytes, releasing the oldest snapshots until they fit; false when nothing is left
    // to release.
    bool reserveReleasing(std::uint64_t bytes);
    bool releaseOldest();
    bool reserveWorkingRegister();
    // Whether entry k can be walked to.
    bool canStop(int k) const { return isVisible(k) && entry(k).hasSnapshot(); }
    // The position back moves to: 0 is the reset state, which only counts while nothing was
    // released.
    int backPosition() const { return positionBefore(historyPosition_); }
    // The entry forward restores, or -1 when it would not move.
    int forwardEntry() const;
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
    Refusal refusal_ = Refusal::None;

    HistoryBudget budget_;
    // Entries below releaseCursor_ have been released, except those in skipped_, which were
    // protected when the cursor passed them.
    int releaseCursor_ = 0;
    std::vector<int> skipped_;
    int newestTopLevel_ = -1;
    // The entry kept while the current step is recorded: the newest top-level one, unless the
    // step is top-level itself and takes its place.
    int protected_ = -1;
    bool released_ = false;
    std::uint64_t releasedSinceTrim_ = 0;

    // The register the listings are decoded into, and the bytes reserved for it.
    mutable std::unique_ptr<QRegister> working_;
    std::uint64_t workingBytes_ = 0;
    mutable std::vector<CachedListing> listings_;
    mutable std::size_t nextListing_ = 0;

    std::function<void()> scheduleRefresh_;
    std::function<void()> refreshNow_;
    std::function<void()> depthChanged_;
    std::function<void(const std::string&)> releaseNotice_;
    std::function<void()> lateRefusal_;

    bool background_ = false;
    // The entries historySize_ - capture_.waiting() .. historySize_ - 1 wait for their
    // snapshots.
    BackgroundCapture capture_;
};
