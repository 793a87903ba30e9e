#pragma once

#include <cstdint>
#include <optional>

// The bytes the step history may hold, and the bytes it holds.
//
// Without a fixed size (AMPLEX_HISTORY_MB) the limit is a share of what was available at
// start-up, after room for the register and one gate's copy of it; it follows the register's
// size (fitTo). Every block is reserved before it is allocated, so the history never asks the
// system for memory it cannot have.
class HistoryBudget {
public:
    static constexpr const char* SizeVariable = "AMPLEX_HISTORY_MB";
    // The history's share of what is left after the register and a gate's copy: one half, so
    // that the views and the gates' own scratch keep room as well.
    static constexpr std::uint64_t ShareDivisor = 2;

    HistoryBudget(std::uint64_t availableBytes, std::optional<std::uint64_t> fixedBytes);
    // AMPLEX_HISTORY_MB if it is set to a whole number of megabytes, else the system's memory
    // available now (see SystemMemory::available).
    static HistoryBudget atStartup();

    // Sets the limit for a register of registerBytes.
    void fitTo(std::uint64_t registerBytes);
    // Grants the bytes if they fit under the limit.
    bool reserve(std::uint64_t bytes);
    void giveBack(std::uint64_t bytes);

    std::uint64_t limit() const { return limit_; }
    std::uint64_t used() const { return used_; }

private:
    std::uint64_t available_;
    std::optional<std::uint64_t> fixed_;
    std::uint64_t limit_ = 0;
    std::uint64_t used_ = 0;
};
