// standard\phase: the phase e^(i theta) on every basis state whose qubit is 1.
// Block: [0] qubit, [1] [2] theta in radians as a double, low half first. The dialog takes
// degrees; the step text shows them.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"
#include "gates/standard/standardgate.h"

#include <cmath>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    amplex::standard::runWithAngle(word, "Phase", [](int k, double theta) {
        amplex::kernels::phase(r->amplitudes, r->amplitudeCount(), std::uint64_t{1} << k,
                               std::cos(theta), std::sin(theta));
    });
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Phase", amplex::standard::bitAngleControls,
                                       amplex::standard::executeBitAndAngle};
    return dialog;
}
