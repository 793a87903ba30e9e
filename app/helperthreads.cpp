#include "app/helperthreads.h"

#include "core/parallelfor.h"

#include <system_error>

HelperThreads& HelperThreads::shared() {
    static HelperThreads threads(amplex::kernels::threadCount() - 1);
    return threads;
}

HelperThreads::HelperThreads(int helpers) {
    for (int t = 0; t < helpers; ++t) {
        try {
            threads_.emplace_back([this] { help(); });
        } catch (const std::system_error&) {
            break; // no more threads to be had: the caller does the rest
        }
    }
}

HelperThreads::~HelperThreads() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

bool HelperThreads::take(std::uint64_t& index) {
    const std::lock_guard lock(mutex_);
    if (!task_ || next_ >= count_) {
        return false;
    }
    index = next_++;
    return true;
}

void HelperThreads::forEach(std::uint64_t count, const std::function<void(std::uint64_t)>& task) {
    if (threads_.empty() || count < 2) {
        for (std::uint64_t i = 0; i < count; ++i) {
            task(i);
        }
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        task_ = &task;
        count_ = count;
        next_ = 0;
        ++job_;
    }
    wake_.notify_all();
    for (std::uint64_t i = 0; take(i);) {
        task(i);
    }
    // Closed: a helper that wakes from now on finds nothing; those inside finish their task.
    std::unique_lock lock(mutex_);
    task_ = nullptr;
    idle_.wait(lock, [this] { return working_ == 0; });
}

void HelperThreads::help() {
    std::uint64_t seen = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || (task_ && job_ != seen); });
        if (stopping_) {
            return;
        }
        seen = job_;
        const auto& task = *task_;
        ++working_;
        while (next_ < count_) {
            const std::uint64_t i = next_++;
            lock.unlock();
            task(i);
            lock.lock();
        }
        if (--working_ == 0) {
            idle_.notify_one();
        }
    }
}
