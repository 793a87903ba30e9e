// standard\ry: rotation about the y axis, [[c, -s], [s, c]] with c = cos(theta/2),
// s = sin(theta/2); real amplitudes stay real.
// Block: [0] qubit, [1] [2] theta in radians as a double, low half first. The dialog takes
// degrees; the step text shows them.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"
#include "gates/standard/standardgate.h"

#include <cmath>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    amplex::standard::runWithAngle(word, "Ry", [](int k, double theta) {
        const double c = std::cos(theta / 2.0);
        const double s = std::sin(theta / 2.0);
        amplex::kernels::singleQubit(r->amplitudes, r->amplitudeCount(), 0, k, {c, -s, s, c});
    });
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Ry", amplex::standard::bitAngleControls,
                                       amplex::standard::executeBitAndAngle};
    return dialog;
}
