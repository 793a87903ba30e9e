#include "app/backgroundcapture.h"

#include <cstring>
#include <system_error>

BackgroundCapture::~BackgroundCapture() {
    if (thread_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
}

bool BackgroundCapture::start(const QRegister& reg, std::uint64_t grantedBytes) {
    if (full() || !reg.amplitudes) {
        return false;
    }
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { work(); });
        } catch (const std::system_error&) {
            return false;
        }
    }
    // Slots at or past started_ are the thread's only after the count below is raised.
    Slot& s = slot(started_);
    if (s.copy.qubitCount != reg.qubitCount || !s.copy.amplitudes) {
        if (!s.copy.setQubitCount(reg.qubitCount)) {
            return false;
        }
    }
    // Both arrays hold amplitudes of one type, so a copy of their bytes is a copy of their
    // values, at the speed of the memory rather than amplitude by amplitude.
    std::memcpy(static_cast<void*>(s.copy.amplitudes), static_cast<const void*>(reg.amplitudes),
                reg.amplitudeCount() * sizeof(Complex));
    s.copy.segmentation = reg.segmentation;
    s.granted = grantedBytes;
    s.drawn = 0;
    {
        const std::lock_guard lock(mutex_);
        ++started_;
    }
    changed_.notify_all();
    return true;
}

Snapshot& BackgroundCapture::finishOldest() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return packed_ > taken_; });
    return slot(taken_).snapshot;
}

void BackgroundCapture::pop() {
    slot(taken_).snapshot.clear();
    const std::lock_guard lock(mutex_);
    if (++taken_ == started_) {
        started_ = packed_ = taken_ = 0;
    }
}

void BackgroundCapture::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return packed_ < started_ || stopping_; });
        if (stopping_) {
            return;
        }
        Slot& s = slot(packed_);
        lock.unlock();
        // Until packed_ is raised, only this thread touches the slot.
        s.snapshot.capture(
            s.copy,
            [&s](std::uint64_t bytes) {
                if (bytes > s.granted - s.drawn) {
                    return false;
                }
                s.drawn += bytes;
                return true;
            },
            [&s](std::uint64_t bytes) { s.drawn -= bytes; });
        lock.lock();
        ++packed_;
        changed_.notify_all();
    }
}
