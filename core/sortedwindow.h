#pragma once

#include "core/complex.h"

#include <cstdint>
#include <vector>

// The basis indexes at positions first .. first + count - 1 of the sorted listings' order: by
// the amplitudes' magnitudes, increasing or decreasing, equal magnitudes by increasing index,
// NaN as the smallest magnitude.
//
// Nothing of the register's size is allocated. A window near either end of the order is kept
// in a heap during one pass, split into `parts` ranges of indexes on threads of their own (0:
// over the cores for large registers); every split gives the same window. A window in the middle is
// found by the magnitudes' bits: one pass counts them in 65,536 buckets and the next collects the
// window; a bucket that holds a single magnitude is read in index order, and one with mixed
// magnitudes is collected whole when it has at most collectLimit entries, otherwise it is counted
// again on the following bits.
class SortedWindow {
public:
    // Windows this close to either end of the order are selected with the heap.
    static constexpr std::uint64_t HeapWindowLimit = 4096;
    static constexpr std::uint64_t DefaultCollectLimit = std::uint64_t{1} << 20;

    // Requires first + count <= total and count <= HeapWindowLimit.
    static std::vector<std::uint32_t>
    select(const Complex* amplitudes, std::uint64_t total, std::uint64_t first, std::uint64_t count,
           bool descending, std::uint64_t collectLimit = DefaultCollectLimit, int parts = 0);
};
