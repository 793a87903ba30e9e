#include "app/runprogress.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = RunProgress::Clock;

TEST(RunProgress, ProgressShowsAfterHalfASecondThenEveryTenthAndTheStatusTellsTheEnd) {
    const Clock::time_point t0{};
    RunProgress run;
    EXPECT_FALSE(run.progressDue(t0 + 1s)); // no run
    EXPECT_TRUE(run.begin(t0));
    EXPECT_FALSE(run.begin(t0 + 400ms)); // the same run goes on
    run.stepRecorded();
    EXPECT_FALSE(run.progressDue(t0 + 499ms));
    EXPECT_FALSE(run.busy());
    EXPECT_TRUE(run.progressDue(t0 + 500ms));
    EXPECT_TRUE(run.busy());
    EXPECT_FALSE(run.progressDue(t0 + 599ms));
    EXPECT_TRUE(run.progressDue(t0 + 600ms));
    EXPECT_EQ(run.progressText(), "Running: 1 step recorded.");
    run.setNotice("History full: step not recorded.");
    EXPECT_EQ(run.progressText(), "Running: 1 step recorded. History full: step not recorded.");
    run.finish(false, "");

    struct Case {
        bool busy;
        bool stopped;
        const char* failure;
        const char* notice;
        std::optional<std::string> status;
    };
    const Case cases[] = {
        {false, false, "", "", std::nullopt},
        {true, false, "", "", ""},
        {false, false, "", "Out of memory: step not recorded.",
         "Out of memory: step not recorded."},
        {false, true, "", "History full: step not recorded.", "Stopped after 2 steps."},
        {true, true, "x could not be loaded: why", "", "x could not be loaded: why"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(run.begin(t0)); // a fresh count and notice
        run.stepRecorded();
        run.stepRecorded();
        run.setNotice(c.notice);
        EXPECT_EQ(run.progressDue(t0 + (c.busy ? 1s : 1ms)), c.busy);
        EXPECT_EQ(run.finish(c.stopped, c.failure), c.status) << c.notice << c.failure;
        EXPECT_FALSE(run.active());
    }
}

} // namespace
