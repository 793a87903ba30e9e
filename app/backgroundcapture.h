#pragma once

#include "app/snapshot.h"
#include "core/qregister.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// Packs copies of a register into snapshots on a thread of its own, in the order they were
// started, while the program goes on with the next gates: a register small enough for one core
// leaves the other core idle, and its packing took as long as the gates themselves (a search
// over 16 qubits records 3,089 steps). A few copies may wait, so that a slow step to pack and a
// quick gate even out.
//
// The thread runs only the program's own code and lives as long as the object. Each snapshot
// draws its blocks from the bytes granted when its copy was started, so the thread never
// touches the history's budget.
class BackgroundCapture {
public:
    static constexpr int Depth = 4;

    BackgroundCapture() = default;
    BackgroundCapture(const BackgroundCapture&) = delete;
    BackgroundCapture& operator=(const BackgroundCapture&) = delete;
    ~BackgroundCapture();

    int waiting() const { return started_ - taken_; }
    bool full() const { return waiting() == Depth; }

    // Copies the register (not when full) and has the copy packed within grantedBytes. False,
    // with nothing started, when the copy or the thread cannot be had.
    bool start(const QRegister& reg, std::uint64_t grantedBytes);
    // Waits until the oldest copy still waiting is packed. Its snapshot is then empty when the
    // grant or memory ran out; give it on with Snapshot::takeFrom before pop().
    Snapshot& finishOldest();
    const QRegister& oldestCopy() const { return slot(taken_).copy; }
    std::uint64_t oldestGrant() const { return slot(taken_).granted; }
    // Drops the oldest copy, once finished.
    void pop();

private:
    struct Slot {
        QRegister copy;
        Snapshot snapshot;
        std::uint64_t granted = 0;
        std::uint64_t drawn = 0;
    };
    Slot& slot(int n) { return slots_[static_cast<std::size_t>(n % Depth)]; }
    const Slot& slot(int n) const { return slots_[static_cast<std::size_t>(n % Depth)]; }
    void work();

    std::array<Slot, Depth> slots_;
    // Copies started, packed and handed on so far; only the counts' differences matter, and
    // they are reset when nothing waits.
    int started_ = 0;
    int packed_ = 0; // guarded by mutex_
    int taken_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    std::thread thread_;
};
