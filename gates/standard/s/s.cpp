// standard\s: the phase i on every basis state whose qubit is 1 (the square root of Z).
// The argument word is the qubit number itself.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"
#include "gates/standard/standardgate.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    amplex::standard::runOnQubit(word, "S", [](int k) {
        amplex::kernels::phase(r->amplitudes, r->amplitudeCount(), std::uint64_t{1} << k, 0.0, 1.0);
    });
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"S", amplex::standard::bitControls,
                                       amplex::standard::executeSelectedBit};
    return dialog;
}
