#pragma once

#include <chrono>
#include <optional>
#include <string>

// The main window's bookkeeping of one top-level gate run: when it has lasted long enough to
// show progress (busy cursor, every control but Stop disabled, the status field counting the
// recorded steps), and what the status field says after it.
//
// A gate runs on the user-interface thread, so progress can only be shown from the callbacks
// of the run; a run first shows it after busyAfter, then at most every showEvery.
class RunProgress {
public:
    using Clock = std::chrono::steady_clock;

    explicit RunProgress(Clock::duration busyAfter = std::chrono::milliseconds(500),
                         Clock::duration showEvery = std::chrono::milliseconds(100))
        : busyAfter_(busyAfter), showEvery_(showEvery) {}

    void setTiming(Clock::duration busyAfter, Clock::duration showEvery) {
        busyAfter_ = busyAfter;
        showEvery_ = showEvery;
    }

    // Starts a run at now unless one is going on; returns whether it started.
    bool begin(Clock::time_point now);
    void stepRecorded() { ++steps_; }
    // A message that the progress text must not hide, such as a step the history refused.
    void setNotice(std::string text) { notice_ = std::move(text); }
    // Whether progress is due at now. When it is, the run is busy from then on and the time is
    // kept as the last showing.
    bool progressDue(Clock::time_point now);
    // The status field while progress is shown: the count of recorded steps, then the notice.
    std::string progressText() const;
    // Ends the run and gives the status field's text after it: the failure, else
    // "Stopped after N steps.", else the notice, else an empty field after a busy run;
    // nothing (the field stays) after a short run with nothing to tell.
    std::optional<std::string> finish(bool stopped, const std::string& failure);

    bool active() const { return active_; }
    bool busy() const { return busy_; }
    int steps() const { return steps_; }

private:
    Clock::duration busyAfter_;
    Clock::duration showEvery_;
    Clock::time_point start_;
    Clock::time_point lastShown_;
    bool active_ = false;
    bool busy_ = false;
    int steps_ = 0;
    std::string notice_;
};
