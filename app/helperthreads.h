#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Threads of the program that take a share of work split into numbered tasks: the history
// packs the chunks of a snapshot on every core with them. They live as long as the program and
// run only the program's own code (never a gate plug-in's, which is unloaded after its run).
//
// Tasks are handed out one at a time to whichever thread is free, so that a helper the system
// does not schedule (the machine is busy) holds nothing up: the calling thread then does the
// work itself and waits only for tasks that a helper has begun.
class HelperThreads {
public:
    // threadCount() - 1 helpers (see core/parallelfor.h), started at the first use.
    static HelperThreads& shared();

    explicit HelperThreads(int helpers);
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;
    ~HelperThreads();

    // Calls task(i) once for every i in 0 .. count - 1, on this thread and the helpers, and
    // returns when every call has returned. Not re-entrant: one caller at a time.
    void forEach(std::uint64_t count, const std::function<void(std::uint64_t)>& task);

    int helpers() const { return static_cast<int>(threads_.size()); }

private:
    void help();
    // Takes the next task of the current job; false when none is left.
    bool take(std::uint64_t& index);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    const std::function<void(std::uint64_t)>* task_ = nullptr; // the open job, or none
    std::uint64_t count_ = 0;
    std::uint64_t next_ = 0;
    std::uint64_t job_ = 0;
    int working_ = 0; // helpers inside the open job
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
