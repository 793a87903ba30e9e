#pragma once

#include "core/operation.h"

#include <optional>
#include <string_view>

// What a recorded step stands for, read back from its text: the circuit view and the OpenQASM
// export both draw on it. The texts are those the delivered gates write (and the standard gates,
// measurement and amplification); a step text is all a history entry keeps of its gate, and the
// nesting depth a step ran at does not change what it did.
//
// The result's name is the OpenQASM one for the gates that have one (h, t, x, y, z, s, sdg, tdg,
// p, rx, ry, rz, cx, ch, cz, cp, swap, ccx, measure); otherwise one of this program's own names:
// "hadamardrange", "bitmirror", "invfourier", "power" (qubit ranges as listed in the text),
// "seekerstep" (its range), and "seeker", "amplify", "shor", "flagoracle", "signoracle", which
// list no qubits since their text does not tell every qubit they touch. Anything else, also a
// known text naming a negative qubit, one beyond the largest register or a reversed range, is
// "opaque" with no qubits. The text is always kept whole; a composite's " [incomplete]" mark
// does not change what it is.
//
// Angles come back in radians. The standard gates write degrees with 15 digits: radians are
// rebuilt as degrees * pi / 180. The controlled rotation writes only 5 digits of its radians:
// when they are those of +-pi / 2^k (the inverse Fourier transform's angles, and 180, 90, 45 ...
// degrees typed), the exact angle is taken. "measure" holds the recorded outcome (the value
// of its qubits as an integer) in params[0].
class StepOperation {
public:
    // Registers have at most this many qubits; a step naming more is not one of ours.
    static constexpr int MaxQubits = 26;

    static amplex::Operation read(std::string_view text);

    // The exact angle +-pi / 2^k (k = 0 .. 62) whose 5 significant digits ("%.5g") are
    // `shown`, if there is one.
    static std::optional<double> exactRotation(std::string_view shown);
    // Whether op is a controlled rotation whose angle its step text gave to 5 digits only, and
    // that exactRotation could not rebuild.
    static bool angleIsApproximate(const amplex::Operation& op);
};
