// basic\ctrlhadamard: the Hadamard gate on the target qubit wherever the control qubit is 1.
// Block: [0] control, [1] target. The results are those of a sum into a cleared array.

#include "core/kernels.h"
#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto pair = distinctQubits(word);
    if (!pair) {
        return;
    }
    amplex::kernels::controlledHadamard(r->amplitudes, r->amplitudeCount(), pair->first,
                                        pair->second);
    recordStep("Hadamard controlled ( %i, %i )", pair->first, pair->second);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Hadamard controlled", tables::controlledPairControls,
                                       executeSelectedPair};
    return dialog;
}
