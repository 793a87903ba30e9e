// standard\x: the NOT gate: swaps the amplitudes of each pair of basis states that differ in the
// qubit. The argument word is the qubit number itself.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"
#include "gates/standard/standardgate.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    amplex::standard::runOnQubit(
        word, "X", [](int k) { amplex::kernels::flip(r->amplitudes, r->amplitudeCount(), 0, k); });
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"X", amplex::standard::bitControls,
                                       amplex::standard::executeSelectedBit};
    return dialog;
}
