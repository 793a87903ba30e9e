// standard\swap: exchanges two qubits, i.e. the amplitudes of each pair of basis states that
// differ only in them, one 1 and one 0. Block: [0] first, [1] second, distinct.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto pair = distinctQubits(word);
    if (!pair) {
        return;
    }
    amplex::kernels::swapQubits(r->amplitudes, r->amplitudeCount(), pair->first, pair->second);
    recordStep("Swap ( %i, %i )", pair->first, pair->second);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Swap", amplex::standard::bitPairControls,
                                       executeSelectedPair};
    return dialog;
}
