#include "app/stephistory.h"
#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A live register of n qubits in the basis state 0 and its history, counting the three kinds of
// callback. A "gate" puts the register into a basis state and reports its step.
class History : public ::testing::Test {
protected:
    void SetUp() override { start(2); }

    void start(int qubits) {
        live.segmentation = &segmentation;
        ASSERT_TRUE(live.setQubitCount(qubits));
        live.amplitudes[0] = 1.0;
        history.setScheduleRefresh([this] { ++scheduled; });
        history.setRefreshNow([this] { ++refreshed; });
        history.setDepthChanged([this] { ++depthShown; });
    }

    bool gate(std::uint32_t state, int depth = 0, const char* text = "gate") {
        live.setQubitCount(live.qubitCount);
        live.amplitudes[state] = 1.0;
        return history.recordStep(text, depth);
    }

    // The basis state the live register is in, or -1 for any other state.
    int liveState() const {
        int found = -1;
        for (std::uint32_t i = 0; i < live.amplitudeCount(); ++i) {
            const Complex& a = live.amplitudes[i];
            if (a.real == 1.0 && a.imag == 0.0 && found < 0) {
                found = static_cast<int>(i);
            } else if (a.real != 0.0 || a.imag != 0.0) {
                return -1;
            }
        }
        return found;
    }

    std::string text(int k) const { return history.entry(k).text; }

    Segmentation segmentation;
    QRegister live;
    StepHistory history{live};
    int scheduled = 0;
    int refreshed = 0;
    int depthShown = 0;
};

TEST_F(History, AtStartBackClearsToBasisZeroAndForwardOnlyRefreshes) {
    live.amplitudes[3] = 0.5; // a gate that recorded no step
    history.stepBack();
    EXPECT_EQ(history.historyPosition(), 0);
    EXPECT_EQ(liveState(), 0);
    history.stepForward();
    EXPECT_EQ(history.historyPosition(), 0);
    EXPECT_EQ(history.historySize(), 0);
    EXPECT_EQ(liveState(), 0);
    EXPECT_EQ(refreshed, 2);
    EXPECT_EQ(scheduled, 0);
}

TEST_F(History, ANewStepAfterGoingBackDropsTheUndoneSteps) {
    gate(1, 0, "first");
    gate(2, 0, "second");
    gate(3, 0, "third");
    EXPECT_EQ(history.historyPosition(), 3);
    history.stepBack();
    history.stepBack();
    EXPECT_EQ(history.historyPosition(), 1);
    EXPECT_EQ(liveState(), 1);

    // Back and forward alone keep every step.
    history.stepForward();
    EXPECT_EQ(liveState(), 2);
    history.stepBack();
    EXPECT_EQ(history.historySize(), 3);

    gate(2, 0, "fourth");
    EXPECT_EQ(history.historyPosition(), 2);
    EXPECT_EQ(history.historySize(), 2);
    EXPECT_EQ(text(0), "first");
    EXPECT_EQ(text(1), "fourth");
    EXPECT_EQ(history.entry(2).snapshot, nullptr);
    EXPECT_EQ(scheduled, 4);
    EXPECT_EQ(refreshed, 4);
}

TEST_F(History, DepthFilterDecidesWhereBackAndForwardStop) {
    gate(1, 0, "before");
    gate(2, 1, "sub one");
    gate(3, 1, "sub two");
    gate(0, 0, "composite");
    EXPECT_EQ(history.historyPosition(), 4);

    // Filter 0: the sub-steps are passed over.
    history.stepBack();
    EXPECT_EQ(history.historyPosition(), 1);
    EXPECT_EQ(liveState(), 1);
    history.stepForward();
    EXPECT_EQ(history.historyPosition(), 4);
    EXPECT_EQ(liveState(), 0);

    // Filter 1: back stops after the second sub-step.
    history.depthUp();
    EXPECT_EQ(history.depthFilter(), 1);
    history.stepBack();
    EXPECT_EQ(history.historyPosition(), 3);
    EXPECT_EQ(liveState(), 3);
    history.stepBack();
    EXPECT_EQ(history.historyPosition(), 2);
    EXPECT_EQ(liveState(), 2);

    // Changing the filter moves nothing.
    history.depthDown();
    EXPECT_EQ(history.historyPosition(), 2);
    EXPECT_EQ(liveState(), 2);
    history.stepBack();
    EXPECT_EQ(history.historyPosition(), 1);
}

TEST_F(History, DepthFilterNeverGoesBelowZero) {
    history.depthDown();
    EXPECT_EQ(history.depthFilter(), 0);
    history.depthUp();
    history.depthUp();
    history.depthDown();
    EXPECT_EQ(history.depthFilter(), 1);
    EXPECT_EQ(depthShown, 4);
    EXPECT_EQ(refreshed, 0);
}

TEST_F(History, ForwardNeverMovesPastTheLastRecordedEntry) {
    gate(1, 0);
    gate(2, 1);
    gate(3, 1);
    history.stepBack();
    history.stepBack();
    EXPECT_EQ(history.historyPosition(), 0);
    history.stepForward();
    EXPECT_EQ(history.historyPosition(), 1);
    EXPECT_EQ(liveState(), 1);
    // Everything above is hidden: stay.
    history.stepForward();
    EXPECT_EQ(history.historyPosition(), 1);
    EXPECT_EQ(liveState(), 1);
    EXPECT_EQ(refreshed, 4);
    // The same from a position right below one hidden last entry.
    history.depthUp();
    history.stepForward();
    history.depthDown();
    EXPECT_EQ(history.historyPosition(), 2);
    history.stepForward();
    EXPECT_EQ(history.historyPosition(), 2);
    EXPECT_EQ(liveState(), 2);
}

TEST_F(History, BackPassesOverHiddenStepsDownToTheStart) {
    gate(1, 2);
    gate(2, 1);
    history.stepBack();
    EXPECT_EQ(history.historyPosition(), 0);
    EXPECT_EQ(liveState(), 0);
    EXPECT_EQ(history.historySize(), 2);
}

TEST_F(History, StepsDeeperThanFourAreNotRecordedButStillDropAndRefresh) {
    gate(1, 0);
    gate(2, 0);
    history.stepBack();
    for (int depth = 5; depth >= 0; --depth) {
        gate(3, depth, ("depth " + std::to_string(depth)).c_str());
    }
    ASSERT_EQ(history.historySize(), 6);
    EXPECT_EQ(text(0), "gate");
    for (int k = 1; k < 6; ++k) {
        EXPECT_EQ(history.entry(k).depth, 5 - k);
        EXPECT_EQ(text(k), "depth " + std::to_string(5 - k));
    }
    EXPECT_EQ(scheduled, 8);
}

TEST_F(History, ClearReleasesEveryEntryAndLeavesTheRegister) {
    gate(1);
    gate(2);
    history.clearHistory();
    EXPECT_EQ(history.historyPosition(), 0);
    EXPECT_EQ(history.historySize(), 0);
    EXPECT_EQ(history.entry(0).snapshot, nullptr);
    EXPECT_EQ(history.entry(1).snapshot, nullptr);
    EXPECT_EQ(liveState(), 2);
    gate(3);
    EXPECT_EQ(history.historyPosition(), 1);
}

TEST_F(History, AFullHistoryRefusesStepsButStillRefreshes) {
    live.setQubitCount(1); // cheap snapshots
    for (int k = 0; k < StepHistory::Capacity; ++k) {
        ASSERT_TRUE(gate(k % 2)) << k;
    }
    EXPECT_FALSE(gate(0, 0, "one too many"));
    EXPECT_EQ(history.historyPosition(), StepHistory::Capacity);
    EXPECT_EQ(history.historySize(), StepHistory::Capacity);
    EXPECT_EQ(scheduled, StepHistory::Capacity + 1);
    EXPECT_EQ(history.entry(StepHistory::Capacity - 1).text, std::string("gate"));

    // After one step back there is room again.
    history.stepBack();
    EXPECT_TRUE(gate(1, 0, "last"));
    EXPECT_EQ(history.historyPosition(), StepHistory::Capacity);
    EXPECT_EQ(text(StepHistory::Capacity - 1), "last");
}

#if !defined(__SANITIZE_ADDRESS__)
// Address space in use now, in bytes.
rlim_t addressSpaceInUse() {
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

TEST_F(History, ASnapshotThatFindsNoMemoryIsRefusedAndKeepsTheRegister) {
    // In a child process, under an address-space limit that leaves no room for a copy of a
    // 20-qubit register (24 MiB).
    auto child = [this] {
        live.setQubitCount(20);
        gate(1, 0, "fits");
        gate(7, 0, "no room");
        const rlimit limit{addressSpaceInUse() + (8u << 20), RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &limit);
        const bool refused = !history.recordStep("refused", 0);
        const bool kept = history.historyPosition() == 2 && history.historySize() == 2 &&
                          liveState() == 7 && history.entry(2).snapshot == nullptr &&
                          scheduled == 3;
        history.stepBack();
        const bool walks = history.historyPosition() == 1 && liveState() == 1;
        return refused && kept && walks ? 0 : 1;
    };
    EXPECT_EXIT(std::_Exit(child()), ::testing::ExitedWithCode(0), "");
}
#endif

} // namespace
