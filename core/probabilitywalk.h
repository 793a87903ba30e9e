#pragma once

#include "core/random.h"

#include <cstdint>

// The probability sum and a measurement sample, gathered while the probabilities of the basis
// states are read once in increasing index order: so a pass that reads them for another
// purpose (the probability chart) yields both at no further cost.
//
// The sum adds the probabilities in that order. The sample is the first index at which the
// draw's share, draw / 32767, less the probabilities so far, is no longer positive; the last
// index when that never happens.
class ProbabilityWalk {
public:
    explicit ProbabilityWalk(int draw) : rest_(draw * RandomScale) {}

    // The probability of the next basis state, which is `index`.
    void add(std::uint64_t index, double probability) {
        sum_ += probability;
        if (!found_) {
            rest_ -= probability;
            if (!(rest_ > 0.0)) {
                found_ = true;
                sample_ = index;
            }
        }
    }

    double sum() const { return sum_; }
    // Whether the sample is settled before the end.
    bool found() const { return found_; }
    // The sample among `total` basis states (0 when there are none).
    std::uint32_t sample(std::uint64_t total) const {
        return static_cast<std::uint32_t>(found_ || total == 0 ? sample_ : total - 1);
    }

private:
    double sum_ = 0.0;
    double rest_;
    std::uint64_t sample_ = 0;
    bool found_ = false;
};
