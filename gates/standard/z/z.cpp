// standard\z: Pauli Z: the sign of every basis state whose qubit is 1 is flipped.
// The argument word is the qubit number itself.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"
#include "gates/standard/standardgate.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    amplex::standard::runOnQubit(word, "Z", [](int k) {
        amplex::kernels::phase(r->amplitudes, r->amplitudeCount(), std::uint64_t{1} << k, -1.0,
                               0.0);
    });
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Z", amplex::standard::bitControls,
                                       amplex::standard::executeSelectedBit};
    return dialog;
}
