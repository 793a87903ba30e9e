// standard\tdg: the phase e^(-i pi/4) on every basis state whose qubit is 1, undoing
// basic\pieighth (whose factor sqrt(0.5) it shares).
// The argument word is the qubit number itself.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"
#include "gates/standard/standardgate.h"

#include <cmath>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    amplex::standard::runOnQubit(word, "T-dagger", [](int k) {
        const double h = std::sqrt(0.5);
        amplex::kernels::phase(r->amplitudes, r->amplitudeCount(), std::uint64_t{1} << k, h, -h);
    });
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"T-dagger", amplex::standard::bitControls,
                                       amplex::standard::executeSelectedBit};
    return dialog;
}
