#include "app/runprogress.h"

bool RunProgress::begin(Clock::time_point now) {
    if (active_) {
        return false;
    }
    active_ = true;
    busy_ = false;
    steps_ = 0;
    notice_.clear();
    start_ = now;
    return true;
}

bool RunProgress::progressDue(Clock::time_point now) {
    if (!active_ || now - start_ < busyAfter_ || (busy_ && now - lastShown_ < showEvery_)) {
        return false;
    }
    busy_ = true;
    lastShown_ = now;
    return true;
}

std::string RunProgress::progressText() const {
    const std::string count =
        "Running: " + std::to_string(steps_) + (steps_ == 1 ? " step" : " steps") + " recorded.";
    return notice_.empty() ? count : count + " " + notice_;
}

std::optional<std::string> RunProgress::finish(bool stopped, const std::string& failure) {
    const bool wasBusy = busy_;
    active_ = false;
    busy_ = false;
    if (!failure.empty()) {
        return failure;
    }
    if (stopped) {
        return "Stopped after " + std::to_string(steps_) + (steps_ == 1 ? " step." : " steps.");
    }
    if (!notice_.empty() || wasBusy) {
        return notice_;
    }
    return std::nullopt;
}
