#include "app/stephistory.h"

#include "core/parallelfor.h"

#include <malloc.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// Enough for the five listed steps in any view, with room for a change of settings.
constexpr std::size_t CachedListings = 16;
// Released snapshots are many small blocks: the allocator is asked to hand free pages back to
// the system after this many bytes, not after each one.
constexpr std::uint64_t TrimAfterBytes = std::uint64_t{64} << 20;

std::uint64_t registerBytes(int qubitCount) {
    return (std::uint64_t{1} << qubitCount) * sizeof(Complex);
}

bool sameSegmentation(const Segmentation& a, const Segmentation& b) {
    return a.globalDirection == b.globalDirection && a.segmentCount == b.segmentCount &&
           std::memcmp(a.options, b.options, sizeof a.options) == 0 &&
           std::memcmp(a.segmentEnd, b.segmentEnd, sizeof a.segmentEnd) == 0;
}

} // namespace

StepHistory::StepHistory(QRegister& live, HistoryBudget budget)
    : live_(live), entries_(std::make_unique<HistoryEntry[]>(Capacity)), budget_(budget) {}

StepHistory::~StepHistory() {
    // The snapshots hand their bytes back to the budget, which goes before the entries.
    clearHistory();
}

void StepHistory::release(int from, int to) {
    for (int k = from; k < to; ++k) {
        entries_[static_cast<std::size_t>(k)].release();
    }
}

bool StepHistory::recordStep(const char* text, int depth) {
    if (!background_ || depth == 0 || historyPosition_ != historySize_) {
        settle();
    }
    release(historyPosition_, historySize_);
    historySize_ = historyPosition_;
    releaseCursor_ = std::min(releaseCursor_, historySize_);
    std::erase_if(skipped_, [this](int k) { return k >= historySize_; });
    if (newestTopLevel_ >= historySize_) {
        newestTopLevel_ = historySize_ - 1;
        while (newestTopLevel_ >= 0 && entry(newestTopLevel_).depth != 0) {
            --newestTopLevel_;
        }
    }
    refusal_ = Refusal::None;
    bool recorded = false;
    if (depth > MaxRecordedDepth) {
        refusal_ = Refusal::TooDeep;
    } else if (historyPosition_ >= Capacity) {
        refusal_ = Refusal::Full;
    } else {
        // A top-level step takes over from the one before, which goes last if room is short.
        protected_ = depth == 0 ? -1 : newestTopLevel_;
        recorded = recordLive(text, depth);
    }
    call(scheduleRefresh_);
    return recorded;
}

bool StepHistory::recordLive(const char* text, int depth) {
    bool recorded = false;
    if (reserveWorkingRegister()) {
        // The entry is found only after recordInBackground, whose settling may drop one.
        recorded =
            recordInBackground(text, depth) ||
            entries_[static_cast<std::size_t>(historyPosition_)].record(
                live_, text, depth, [this](std::uint64_t bytes) { return reserveReleasing(bytes); },
                [this](std::uint64_t bytes) { budget_.giveBack(bytes); });
        if (recorded) {
            if (depth == 0) {
                newestTopLevel_ = historyPosition_;
            }
            ++historyPosition_;
            historySize_ = historyPosition_;
        } else if (refusal_ == Refusal::None) {
            refusal_ = Refusal::NoMemory;
        }
    }
    return recorded;
}

bool StepHistory::recordInBackground(const char* text, int depth) {
    // A top-level step ends a run: it is taken here, so that the history is settled after it.
    if (!background_ || depth == 0 || !live_.amplitudes ||
        live_.amplitudeCount() >= amplex::kernels::ParallelThreshold ||
        amplex::kernels::threadCount() < 2) {
        settle();
        return false;
    }
    if (capture_.full()) {
        settleOldest();
    }
    const std::uint64_t bytes = Snapshot::mostBytes(live_.qubitCount);
    if (!budget_.reserve(bytes)) {
        settle(); // taken here in order, releasing what it must
        return false;
    }
    if (!capture_.start(live_, bytes)) {
        budget_.giveBack(bytes);
        settle();
        return false;
    }
    entries_[static_cast<std::size_t>(historyPosition_)].label(live_, text, depth);
    return true;
}

void StepHistory::settle() {
    while (capture_.waiting() > 0) {
        settleOldest();
    }
}

void StepHistory::settleOldest() {
    Snapshot& taken = capture_.finishOldest();
    const int k = historySize_ - capture_.waiting();
    HistoryEntry& e = entries_[static_cast<std::size_t>(k)];
    const auto giveBack = [this](std::uint64_t bytes) { budget_.giveBack(bytes); };
    budget_.giveBack(capture_.oldestGrant() - taken.bytes());
    if (!taken.empty()) {
        e.attach(taken, giveBack);
        capture_.pop();
        return;
    }
    // Memory ran out on the other core: the copy is taken here, releasing what the budget
    // needs. When even that fails the step is dropped, as a refused one would be, or keeps only
    // its text when later steps follow it.
    protected_ = newestTopLevel_;
    char text[HistoryEntry::TextSize];
    std::memcpy(text, e.text, sizeof text);
    const bool recorded = e.record(
        capture_.oldestCopy(), text, e.depth,
        [this](std::uint64_t bytes) { return reserveReleasing(bytes); }, giveBack);
    capture_.pop();
    if (!recorded) {
        std::memcpy(e.text, text, sizeof text);
        if (k == historySize_ - 1) {
            historySize_ = historyPosition_ = k;
        }
        refusal_ = Refusal::NoMemory;
        call(lateRefusal_);
    }
}

bool StepHistory::reserveWorkingRegister() {
    budget_.fitTo(registerBytes(live_.qubitCount));
    const std::uint64_t bytes = live_.amplitudes ? registerBytes(live_.qubitCount) : 0;
    if (bytes == workingBytes_) {
        return true;
    }
    budget_.giveBack(workingBytes_);
    workingBytes_ = 0;
    working_.reset();
    if (!reserveReleasing(bytes)) {
        return false;
    }
    workingBytes_ = bytes;
    return true;
}

bool StepHistory::reserveReleasing(std::uint64_t bytes) {
    while (!budget_.reserve(bytes)) {
        if (!releaseOldest()) {
            refusal_ = Refusal::OverBudget;
            return false;
        }
    }
    return true;
}

bool StepHistory::releaseOldest() {
    int k = -1;
    const auto older =
        std::find_if(skipped_.begin(), skipped_.end(), [this](int i) { return i != protected_; });
    if (older != skipped_.end()) {
        k = *older;
        skipped_.erase(older);
    }
    // Entries still waiting for their snapshots are the newest: the cursor stops short of them.
    while (k < 0 && releaseCursor_ < historySize_ - capture_.waiting()) {
        const int i = releaseCursor_++;
        if (i == protected_) {
            skipped_.push_back(i);
        } else if (entry(i).hasSnapshot()) {
            k = i;
        }
    }
    if (k < 0) {
        return false;
    }
    releasedSinceTrim_ += entry(k).snapshot.bytes();
    entries_[static_cast<std::size_t>(k)].release();
    if (releasedSinceTrim_ >= TrimAfterBytes) {
        malloc_trim(0);
        releasedSinceTrim_ = 0;
    }
    if (!released_) {
        released_ = true;
        if (releaseNotice_) {
            releaseNotice_(releaseText());
        }
    }
    return true;
}

std::string StepHistory::releaseText() const {
    char text[96];
    std::snprintf(text, sizeof text, "Older steps released to stay within %llu MB.",
                  static_cast<unsigned long long>(budget_.limit() >> 20));
    return text;
}

int StepHistory::positionBefore(int p) const {
    p = std::min(p, historySize_) - 1;
    while (p > 0 && !canStop(p - 1)) {
        --p;
    }
    return p;
}

int StepHistory::forwardEntry() const {
    if (historyPosition_ >= historySize_) {
        return -1;
    }
    int j = historyPosition_;
    while (!canStop(j) && j + 1 < historySize_) {
        ++j;
    }
    // The search may end on a hidden or released last entry: then nothing moves.
    return canStop(j) ? j : -1;
}

bool StepHistory::canStepBack() const {
    return historyPosition_ > 0 && (backPosition() > 0 || !released_);
}

void StepHistory::stepBack() {
    settle();
    // At position 0 back stays there and clears the register to the basis state 0; after a
    // release the oldest snapshot left is as far back as the history goes.
    moveTo(std::max(backPosition(), 0));
}

void StepHistory::moveTo(int position) {
    settle();
    if (position == 0 && !released_) {
        historyPosition_ = 0;
        live_.setQubitCount(live_.qubitCount);
        if (live_.amplitudes) {
            live_.amplitudes[0] = 1.0;
        }
    } else if (position > 0 && position <= historySize_ && canStop(position - 1)) {
        historyPosition_ = position;
        entry(position - 1).restoreInto(live_);
    }
    call(refreshNow_);
}

void StepHistory::stepForward() {
    settle();
    if (const int j = forwardEntry(); j >= 0) {
        moveTo(j + 1);
    } else {
        call(refreshNow_);
    }
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
    settle();
    release(0, historySize_);
    historyPosition_ = 0;
    historySize_ = 0;
    releaseCursor_ = 0;
    skipped_.clear();
    newestTopLevel_ = -1;
    released_ = false;
    releasedSinceTrim_ = 0;
    listings_.clear();
    working_.reset();
    budget_.giveBack(workingBytes_);
    workingBytes_ = 0;
    // Hand the freed pages back now: a large history leaves gigabytes of free heap behind.
    malloc_trim(0);
}

void StepHistory::adopt(HistoryEntry* loaded, int size, int position, int depthFilter,
                        bool released) {
    clearHistory();
    size = std::clamp(size, 0, Capacity);
    if (size > 0 && !reserveWorkingRegister()) {
        released = true;
    }
    for (int k = 0; k < size; ++k) {
        HistoryEntry& e = entries_[static_cast<std::size_t>(k)];
        const std::uint64_t bytes = loaded[k].snapshot.bytes();
        if (loaded[k].hasSnapshot() && !budget_.reserve(bytes)) {
            loaded[k].release();
            released = true;
        }
        e.takeFrom(loaded[k], [this](std::uint64_t b) { budget_.giveBack(b); });
        if (e.depth == 0) {
            newestTopLevel_ = k;
        }
    }
    historySize_ = size;
    historyPosition_ = std::clamp(position, 0, size);
    depthFilter_ = std::max(depthFilter, 0);
    released_ = released;
}

std::string StepHistory::listing(int k, std::uint32_t first, std::uint32_t count, int sortMode,
                                 bool exactValues) const {
    const HistoryEntry& e = entry(k);
    if (!e.hasSnapshot()) {
        return {};
    }
    for (const CachedListing& c : listings_) {
        if (c.serial == e.serial && c.first == first && c.count == count &&
            c.sortMode == sortMode && c.exactValues == exactValues &&
            c.segmented == (e.segmentation != nullptr) &&
            (!e.segmentation || sameSegmentation(c.segmentation, *e.segmentation))) {
            return c.text;
        }
    }
    const int n = e.snapshot.qubitCount();
    std::string text;
    if (sortMode == 0) {
        // An unsorted listing shows at most ListingSize entries from first on: only the chunks
        // that hold them are decoded, and no register is needed.
        const std::uint64_t total = std::uint64_t{1} << n;
        const auto shown = static_cast<std::uint32_t>(
            first < total ? std::min<std::uint64_t>({count, QRegister::ListingSize, total - first})
                          : 0);
        std::vector<Complex> values(shown);
        e.snapshot.copyRange(first, shown, values.data());
        QRegister labels;
        labels.qubitCount = n;
        labels.segmentation = e.segmentation;
        text = labels.listing(first, shown, values.data(), exactValues);
    } else {
        // Decoded only into the working register reserved with the first snapshot.
        if (registerBytes(n) > workingBytes_) {
            return {};
        }
        if (!working_ || working_->qubitCount != n || !working_->amplitudes) {
            working_ = std::make_unique<QRegister>();
            if (!working_->setQubitCount(n)) {
                working_.reset();
                return {};
            }
        }
        working_->segmentation = e.segmentation;
        e.restoreInto(*working_);
        text = working_->sortedListing(first, count, sortMode, exactValues);
    }
    CachedListing made;
    made.serial = e.serial;
    made.first = first;
    made.count = count;
    made.sortMode = sortMode;
    made.exactValues = exactValues;
    made.segmented = e.segmentation != nullptr;
    if (e.segmentation) {
        made.segmentation = *e.segmentation;
    }
    made.text = std::move(text);
    if (listings_.size() < CachedListings) {
        listings_.push_back(std::move(made));
        return listings_.back().text;
    }
    nextListing_ = nextListing_ % CachedListings;
    listings_[nextListing_] = std::move(made);
    return listings_[nextListing_++].text;
}
