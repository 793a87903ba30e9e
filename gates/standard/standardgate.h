#pragma once

// What the one-qubit standard gates share: reading their argument, recording their step.

#include "gates/frame/gateplugin.h"
#include "gates/standard/qubitangle.h"

#include <charconv>
#include <cstdint>
#include <numbers>
#include <string>

namespace amplex::standard {

// theta in degrees, radians * 180 / pi, in 15 significant digits as "%.15g" writes them but
// always with a point: the step text is read back by programs, whatever the user's locale.
inline std::string degreesText(double theta) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, theta * 180.0 / std::numbers::pi,
                                   std::chars_format::general, 15)
                         .ptr;
    return std::string(text, end);
}

// execute of a one-qubit gate, whose argument word is the qubit itself: apply(k), then the
// step "name ( k )". A word that names no qubit of the register does nothing.
template <class Apply> void runOnQubit(std::intptr_t word, const char* name, Apply apply) {
    if (!frame::isQubit(word)) {
        return; // a caller's qubit outside the register would reach outside the array
    }
    const int k = static_cast<int>(word);
    apply(k);
    frame::recordStep("%s ( %i )", name, k);
}

// execute of a one-qubit gate with an angle: apply(k, theta) for a block that qubitAngle
// accepts, then the step "name ( k, degrees )".
template <class Apply> void runWithAngle(std::intptr_t word, const char* name, Apply apply) {
    const auto arg = qubitAngle(word);
    if (!arg) {
        return;
    }
    apply(arg->qubit, arg->theta);
    frame::recordStep("%s ( %i, %s )", name, arg->qubit, degreesText(arg->theta).c_str());
}

} // namespace amplex::standard
