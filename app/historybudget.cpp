#include "app/historybudget.h"

#include "app/systemmemory.h"

#include <cstdlib>

HistoryBudget::HistoryBudget(std::uint64_t availableBytes, std::optional<std::uint64_t> fixedBytes)
    : available_(availableBytes), fixed_(fixedBytes) {
    fitTo(0);
}

HistoryBudget HistoryBudget::atStartup() {
    if (const auto fixed = SystemMemory::megabytes(std::getenv(SizeVariable))) {
        return HistoryBudget(0, fixed);
    }
    return HistoryBudget(SystemMemory::available(), std::nullopt);
}

void HistoryBudget::fitTo(std::uint64_t registerBytes) {
    if (fixed_) {
        limit_ = *fixed_;
        return;
    }
    const std::uint64_t kept = 2 * registerBytes;
    limit_ = available_ > kept ? (available_ - kept) / ShareDivisor : 0;
}

bool HistoryBudget::reserve(std::uint64_t bytes) {
    if (bytes > limit_ || used_ > limit_ - bytes) {
        return false;
    }
    used_ += bytes;
    return true;
}

void HistoryBudget::giveBack(std::uint64_t bytes) {
    used_ -= bytes < used_ ? bytes : used_;
}
