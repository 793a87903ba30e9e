#include "app/stephistory.h"
#include "core/qregister.h"
#include "tests/core/addresslimit.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>

namespace {

using At = std::pair<int, int>; // history position, basis state of the live register

// A live register of two qubits in the basis state 0 and its history, counting the callbacks.
class History : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(live.setQubitCount(2));
        live.amplitudes[0] = 1.0;
        history.setScheduleRefresh([this] { ++scheduled; });
        history.setRefreshNow([this] { ++refreshed; });
        history.setDepthChanged([this] { ++depthShown; });
    }
    // A gate that puts the register into a basis state and reports it as its step.
    bool gate(std::uint32_t state, int depth = 0) {
        live.setQubitCount(live.qubitCount);
        live.amplitudes[state] = 1.0;
        return history.recordStep(std::to_string(state).c_str(), depth);
    }
    // The position, and the basis state of the register or -1 for any other state.
    At at() const {
        int i = 0;
        while (i < static_cast<int>(live.amplitudeCount()) && live.amplitudes[i].real != 1.0) {
            ++i;
        }
        return {history.historyPosition(), live.probabilitySum() == 1.0 ? i : -1};
    }
    At back() {
        history.stepBack();
        return at();
    }
    At forward() {
        history.stepForward();
        return at();
    }

    QRegister live;
    StepHistory history{live};
    int scheduled = 0;
    int refreshed = 0;
    int depthShown = 0;
};

TEST_F(History, ANewStepAfterGoingBackDropsTheUndoneSteps) {
    gate(1);
    gate(2);
    gate(3);
    back();
    EXPECT_EQ(back(), At(1, 1));
    EXPECT_EQ(forward(), At(2, 2)); // back and forward alone keep every step
    back();
    EXPECT_EQ(history.historySize(), 3);
    gate(0);
    EXPECT_EQ(at(), At(2, 0));
    EXPECT_EQ(history.historySize(), 2);
    EXPECT_EQ(std::string(history.entry(0).text) + history.entry(1).text, "10");
    EXPECT_FALSE(history.entry(2).hasSnapshot());

    // A step deeper than four is not recorded, but it drops the undone steps all the same.
    back();
    EXPECT_FALSE(gate(3, 5));
    EXPECT_EQ(history.historySize(), 1);
    for (int depth = 4; depth >= 0; --depth) {
        EXPECT_TRUE(gate(3, depth));
        EXPECT_EQ(history.entry(history.historyPosition() - 1).depth, depth);
    }
    EXPECT_EQ(scheduled, 10);
    EXPECT_EQ(refreshed, 5);
    history.clearHistory(); // releases every entry and leaves the register
    EXPECT_EQ(history.historySize(), 0);
    EXPECT_FALSE(history.entry(5).hasSnapshot());
    EXPECT_EQ(at(), At(0, 3));
}

TEST_F(History, BackAndForwardStopOnlyAtStepsTheDepthFilterShows) {
    live.amplitudes[3] = 0.5; // at the start, back also clears what a gate without a step did
    EXPECT_EQ(back(), At(0, 0));
    EXPECT_EQ(forward(), At(0, 0)); // and forward only refreshes
    EXPECT_EQ(scheduled, 0);

    gate(1, 0);
    gate(2, 1); // a composite gate's two sub-steps, then its own step
    gate(3, 1);
    gate(0, 0);
    EXPECT_EQ(back(), At(1, 1)); // filter 0 passes over the sub-steps
    EXPECT_EQ(forward(), At(4, 0));
    history.depthDown(); // stays at 0
    history.depthUp();
    EXPECT_EQ(history.depthFilter(), 1);
    EXPECT_EQ(back(), At(3, 3)); // filter 1 stops after the second sub-step
    back();
    history.depthDown(); // moves nothing
    EXPECT_EQ(at(), At(2, 2));
    EXPECT_EQ(back(), At(1, 1));
    EXPECT_EQ(depthShown, 3);
    EXPECT_EQ(refreshed, 7);

    // Hidden steps at either end: back goes down to the start, forward stays where it is.
    history.clearHistory();
    gate(1, 1);
    gate(2, 0);
    gate(3, 2);
    EXPECT_EQ(back(), At(2, 2));
    EXPECT_EQ(back(), At(0, 0));
    EXPECT_FALSE(history.canStepBack());
    EXPECT_EQ(forward(), At(2, 2));
    EXPECT_FALSE(history.canStepForward()); // only a hidden step is left ahead
    EXPECT_TRUE(history.canStepBack());
    EXPECT_EQ(forward(), At(2, 2));
}

TEST_F(History, AFullHistoryRefusesStepsButStillRefreshes) {
    live.setQubitCount(1); // cheap snapshots
    for (int k = 0; k < StepHistory::Capacity; ++k) {
        ASSERT_TRUE(gate(1)) << k;
    }
    EXPECT_FALSE(gate(0));
    EXPECT_EQ(at(), At(StepHistory::Capacity, 0));
    EXPECT_EQ(scheduled, StepHistory::Capacity + 1);
    back(); // room again
    EXPECT_TRUE(gate(0));
    EXPECT_EQ(at(), At(StepHistory::Capacity, 0));
    EXPECT_STREQ(history.entry(StepHistory::Capacity - 1).text, "0");
}

// Two-qubit basis states all take the same snapshot bytes: a budget of the working register
// and `fit` snapshots holds exactly that many.
class BudgetedHistory : public ::testing::Test {
protected:
    static std::uint64_t budgetFor(double fit) {
        QRegister reg;
        reg.setQubitCount(2);
        reg.amplitudes[1] = 1.0;
        HistoryEntry probe;
        probe.record(reg, "", 0);
        return 4 * sizeof(Complex) + static_cast<std::uint64_t>(fit * probe.snapshot.bytes());
    }
    void make(double fit) {
        live.setQubitCount(2);
        live.amplitudes[0] = 1.0;
        history = std::make_unique<StepHistory>(live, HistoryBudget(0, budgetFor(fit)));
        history->setReleaseNotice([this](const std::string& text) { notices += text + ";"; });
    }
    bool gate(std::uint32_t state, int depth = 0) {
        live.setQubitCount(2);
        live.amplitudes[state] = 1.0;
        return history->recordStep(std::to_string(state).c_str(), depth);
    }
    // Positions and basis states after each back, then the entries that keep a snapshot.
    std::string walk(int backs) {
        std::string seen;
        for (int k = 0; k < backs; ++k) {
            history->stepBack();
            int i = 0;
            while (i < 4 && live.amplitudes[i].real != 1.0) {
                ++i;
            }
            seen.append(std::to_string(history->historyPosition())).append(":");
            seen.append(std::to_string(i)).append(" ");
        }
        seen += "kept";
        for (int k = 0; k < history->historySize(); ++k) {
            if (history->entry(k).hasSnapshot()) {
                seen.append(" ").append(std::to_string(k));
            }
        }
        return seen;
    }

    QRegister live;
    std::unique_ptr<StepHistory> history;
    std::string notices;
};

TEST_F(BudgetedHistory, TheOldestSnapshotsGoFirstAndBackStopsWhereTheyEnd) {
    make(3.5);
    for (std::uint32_t s : {1, 2, 3, 0, 1, 2}) {
        ASSERT_TRUE(gate(s)); // never refused for old snapshots
    }
    EXPECT_EQ(notices, "Older steps released to stay within 0 MB.;"); // told once
    // Steps 4 to 6 keep their states; back stops at step 4, never at the reset state.
    EXPECT_EQ(walk(4), "5:1 4:0 4:0 4:0 kept 3 4 5");
    EXPECT_FALSE(history->canStepBack()); // greyed where back no longer moves
    EXPECT_TRUE(history->canStepForward());
    EXPECT_STREQ(history->entry(0).text, "1"); // released entries keep their text
    history->stepForward();
    history->stepForward();
    EXPECT_EQ(walk(0), "kept 3 4 5");
    EXPECT_EQ(history->historyPosition(), 6);
    EXPECT_EQ(live.amplitudes[2].real, 1.0);

    // After a reset the history starts afresh: back goes to the basis state 0 again.
    history->clearHistory();
    EXPECT_EQ(history->budget().used(), 0u);
    ASSERT_TRUE(gate(3));
    EXPECT_EQ(walk(1), "0:0 kept 0");
}

TEST_F(BudgetedHistory, TheNewestTopLevelStepIsNeverReleased) {
    make(2.5);
    ASSERT_TRUE(gate(3, 0));
    for (std::uint32_t s : {1, 2, 1, 2}) {
        ASSERT_TRUE(gate(s, 1)); // a composite's sub-steps release each other
    }
    EXPECT_EQ(walk(0), "kept 0 4");
    // With filter 0 back passes over the sub-steps to the composite's step before.
    EXPECT_EQ(walk(2), "1:3 1:3 kept 0 4");
    // A new top-level step (dropping the undone sub-steps) takes over as the one kept.
    ASSERT_TRUE(gate(1, 0));
    EXPECT_EQ(walk(0), "kept 0 1");
    ASSERT_TRUE(gate(2, 1));
    EXPECT_EQ(walk(0), "kept 1 2");

    // A budget too small for one snapshot besides it refuses the step and says why.
    make(0.5);
    EXPECT_FALSE(gate(1));
    EXPECT_EQ(history->lastRefusal(), StepHistory::Refusal::OverBudget);
    EXPECT_EQ(history->historyPosition(), 0);
}

// Nested steps of a register the gates run on one core are packed on another core, several at
// a time; the history then holds what it holds when every step is packed where it is taken.
TEST(BackgroundHistory, EndsAsAHistoryThatPacksEveryStepItself) {
    setenv("AMPLEX_THREADS", "2", 1); // a second core even on a machine of one
    QRegister here;
    QRegister there;
    StepHistory packedHere(here, HistoryBudget(0, 64u << 20));
    StepHistory packedThere(there, HistoryBudget(0, 64u << 20));
    packedThere.setRecordInBackground(true);
    here.setQubitCount(12);
    std::mt19937_64 gen(5);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (int step = 0; step < 60; ++step) {
        // Noise, four values, or a basis state; runs of sub-steps between top-level steps.
        for (std::uint64_t i = 0; i < here.amplitudeCount(); ++i) {
            const double v = step % 3 == 0 ? noise(gen) : step % 3 == 1 ? (gen() % 4) * 0.25 : 0.0;
            here.amplitudes[i].set(v, step % 3 == 0 ? noise(gen) : 0.0);
        }
        here.amplitudes[static_cast<std::uint64_t>(step)] = 1.0;
        there.cloneFrom(here);
        const int depth = step % 9 == 0 ? 0 : 1 + step % 2;
        const std::string text = std::to_string(step);
        ASSERT_EQ(packedHere.recordStep(text.c_str(), depth),
                  packedThere.recordStep(text.c_str(), depth));
        if (step == 40) { // undone sub-steps waiting to be packed are dropped
            for (StepHistory* h : {&packedHere, &packedThere}) {
                h->depthUp();
                h->stepBack();
                h->stepBack();
            }
        }
        ASSERT_EQ(packedThere.historySize(), packedHere.historySize()) << step;
    }
    packedThere.settle();
    EXPECT_EQ(packedThere.budget().used(), packedHere.budget().used());
    QRegister a;
    QRegister b;
    a.setQubitCount(12);
    b.setQubitCount(12);
    for (int k = 0; k < packedHere.historySize(); ++k) {
        const HistoryEntry& x = packedHere.entry(k);
        const HistoryEntry& y = packedThere.entry(k);
        ASSERT_STREQ(x.text, y.text);
        ASSERT_EQ(x.depth, y.depth);
        ASSERT_TRUE(y.hasSnapshot()) << k;
        x.restoreInto(a);
        y.restoreInto(b);
        ASSERT_EQ(std::memcmp(static_cast<const void*>(a.amplitudes),
                              static_cast<const void*>(b.amplitudes),
                              a.amplitudeCount() * sizeof(Complex)),
                  0)
            << k;
    }
    unsetenv("AMPLEX_THREADS");
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(History, ASnapshotThatFindsNoMemoryIsRefusedAndKeepsTheRegister) {
    auto child = [this] {
        live.setQubitCount(20);
        gate(1);
        gate(7);
        // Values that do not compress: the snapshot needs its full 16 MiB.
        for (std::uint64_t i = 0; i < live.amplitudeCount(); ++i) {
            live.amplitudes[i].set(std::ldexp(1.0 + static_cast<double>(i * 2654435761u), -40),
                                   -static_cast<double>(i));
        }
        limitAddressSpace(8u << 20);
        const bool refused = !history.recordStep("refused", 0) &&
                             history.lastRefusal() == StepHistory::Refusal::NoMemory &&
                             history.historyPosition() == 2 && history.historySize() == 2 &&
                             !history.entry(2).hasSnapshot() && scheduled == 3;
        return refused && back() == At(1, 1);
    };
    EXPECT_EXIT(std::_Exit(child() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST_F(History, AStepPackedInTheBackgroundThatFindsNoMemoryIsDroppedLaterAndTold) {
    auto child = [this] {
        setenv("AMPLEX_THREADS", "2", 1);
        // The packing thread shares the arena whose growth the limit below stops, and blocks
        // of a snapshot's size come straight from the system.
        mallopt(M_ARENA_MAX, 1);
        mallopt(M_MMAP_THRESHOLD, 64 << 10);
        history.setRecordInBackground(true);
        int told = 0;
        history.setLateRefusal([&told] { ++told; });
        live.setQubitCount(16);
        gate(1, 0);
        gate(7, 1); // the packing thread and its copy of the register are there now
        history.settle();
        for (std::uint64_t i = 0; i < live.amplitudeCount(); ++i) {
            live.amplitudes[i].set(std::ldexp(1.0 + static_cast<double>(i * 2654435761u), -40),
                                   -static_cast<double>(i));
        }
        limitAddressSpace(64u << 10);
        const bool taken = history.recordStep("dropped", 1) && history.historySize() == 3;
        history.settle(); // neither the thread nor this one finds memory for it
        const bool dropped = history.lastRefusal() == StepHistory::Refusal::NoMemory && told == 1 &&
                             history.historyPosition() == 2 && history.historySize() == 2 &&
                             !history.entry(2).hasSnapshot();
        return taken && dropped && back() == At(1, 1);
    };
    // A child of its own, whose heap holds no free space left by earlier tests.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(child() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}
#endif

} // namespace
