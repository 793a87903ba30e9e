#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <vector>

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

// The values that mark something over m qubits (1 .. 31): those in 0 .. 2^m - 1, each once,
// in increasing order. -1 (an empty slot) and other values outside the range mark nothing.
inline std::vector<std::int32_t> distinctMarkedValues(std::span<const std::int32_t> values, int m) {
    const std::int64_t limit = std::int64_t{1} << m;
    std::vector<std::int32_t> kept;
    for (const std::int32_t v : values) {
        if (v >= 0 && v < limit) {
            kept.push_back(v);
        }
    }
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    return kept;
}

// The number of search steps that brings the marked share closest to 1 for `marked` of the
// 2^m values (1 .. 2^m): round(pi / (4 theta) - 1/2) with theta = asin(sqrt(marked / 2^m)); the
// state starts theta away from the unmarked values and each step turns it by 2 theta. Half of
// all values or more: 0, since a step would turn it past them (at exactly half, gain nothing).
inline int amplifyIterations(int m, std::uint64_t marked) {
    const double theta = std::asin(std::sqrt(static_cast<double>(marked) / std::pow(2.0, m)));
    return static_cast<int>(std::lround(std::numbers::pi / (4.0 * theta) - 0.5));
}

} // namespace amplex::seeker
