#pragma once

// The block of the one-qubit gates with an angle (phase, Rx, Ry, Rz): [0] qubit, [1] [2] theta
// in radians as a double, low half first.

#include "gates/frame/gateplugin.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>

namespace amplex::standard {

struct QubitAngle {
    int qubit = 0;
    double theta = 0.0; // radians
};

// The block when its qubit lies in the register and theta is finite (a NaN or infinite angle
// would spread NaN over the whole state); otherwise nothing, and the gate records no step.
inline std::optional<QubitAngle> qubitAngle(std::intptr_t word) {
    const std::int32_t* args = gateArgs(word);
    if (!args || !frame::isQubit(args[0])) {
        return std::nullopt;
    }
    const double theta = getDouble(args + 1);
    if (!std::isfinite(theta)) {
        return std::nullopt;
    }
    return QubitAngle{args[0], theta};
}

// The block that the dialogs send for an angle typed in degrees.
inline std::int32_t* putQubitAngle(std::int32_t (&block)[3], int qubit, double degrees) {
    block[0] = qubit;
    putDouble(block + 1, degrees * (std::numbers::pi / 180.0));
    return block;
}

} // namespace amplex::standard
