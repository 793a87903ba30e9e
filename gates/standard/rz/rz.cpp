// standard\rz: rotation about the z axis, e^(-i theta/2) where the qubit is 0 and
// e^(i theta/2) where it is 1 (the phase gate up to a global phase).
// Block: [0] qubit, [1] [2] theta in radians as a double, low half first. The dialog takes
// degrees; the step text shows them.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"
#include "gates/standard/standardgate.h"

#include <cmath>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    amplex::standard::runWithAngle(word, "Rz", [](int k, double theta) {
        const double c = std::cos(theta / 2.0);
        const double s = std::sin(theta / 2.0);
        amplex::kernels::singleQubit(r->amplitudes, r->amplitudeCount(), 0, k,
                                     {Complex(c, -s), 0.0, 0.0, Complex(c, s)});
    });
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Rz", amplex::standard::bitAngleControls,
                                       amplex::standard::executeBitAndAngle};
    return dialog;
}
