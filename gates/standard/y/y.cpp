// standard\y: Pauli Y: |0> -> i |1>, |1> -> -i |0>.
// The argument word is the qubit number itself.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"
#include "gates/standard/standardgate.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    amplex::standard::runOnQubit(word, "Y", [](int k) {
        const Complex i(0.0, 1.0);
        const Complex minusI(0.0, -1.0);
        amplex::kernels::singleQubit(r->amplitudes, r->amplitudeCount(), 0, k,
                                     {0.0, minusI, i, 0.0});
    });
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Y", amplex::standard::bitControls,
                                       amplex::standard::executeSelectedBit};
    return dialog;
}
