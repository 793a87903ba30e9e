#pragma once

#include <cmath>
#include <cstdint>

namespace amplex::seeker {

// Number of search steps for m qubits (1 .. 31) and count marked values:
// 1 + floor((pi/4) * sqrt(2^m / count)), with count read as unsigned. From the dialog count is
// always 6, whatever the fields hold. A count of 0 marks nothing, so nothing is to be
// amplified: no step (the formula itself would divide by it).
inline int searchIterations(int m, std::int32_t count) {
    if (count == 0) {
        return 0;
    }
    const double states = std::pow(2.0, m);
    const auto marked = static_cast<double>(static_cast<std::uint32_t>(count));
    const double scaled = -0.7853981633974483 * std::sqrt(states / marked);
    // The product is never positive: cutting towards zero and subtracting rounds its
    // magnitude down.
    return 1 - static_cast<std::int32_t>(scaled);
}

} // namespace amplex::seeker
