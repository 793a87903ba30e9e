#pragma once

#include "core/complex.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Snapshot;
class Segmentation;
class StepHistory;

// What changed between two recorded states: the basis states whose amplitude changed most, the
// probability that moved and the overlap of the two states.
//
// The states are read from the history's snapshots a chunk at a time, both in one pass; only
// two chunks and the shown states are held, whatever the register's size. The shown states are
// kept in a heap during the pass, so nothing of the register's size is sorted.
class StepComparison {
public:
    static constexpr int ShownStates = 30;

    struct Change {
        std::uint32_t index = 0;
        Complex before;
        Complex after;
        // p(after) - p(before)
        double probabilityChange = 0.0;
    };

    // Compares two states of qubitCount qubits; a null snapshot stands for the reset state, the
    // basis state 0. Nothing when a snapshot is empty or of another size.
    static std::optional<StepComparison> compare(const Snapshot* before, const Snapshot* after,
                                                 int qubitCount, int shown = ShownStates);

    // The History window's comparison of step `beforeStep` with step `afterStep` (step s is the
    // state after entry s - 1, step 0 the reset state), written as the Changes window shows it,
    // or the reason it cannot be made. exactValues writes amplitudes as ExactValue does.
    static std::string report(const StepHistory& history, int beforeStep, int afterStep,
                              bool exactValues);

    // Largest change of amplitude |after - before| first, equal ones by index; states that did
    // not change are not listed.
    std::vector<Change> changes;
    // Half the sum of |p(after) - p(before)| over every basis state: 0 for equal probabilities,
    // 1 for states on disjoint basis states.
    double probabilityMoved = 0.0;
    // |<before|after>|^2
    double overlap = 0.0;
};
