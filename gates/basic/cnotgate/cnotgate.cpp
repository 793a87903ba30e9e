// basic\cnotgate: controlled NOT. Where the control qubit is 1 the target qubit flips.
// Block: [0] control, [1] target. Amplitudes are moved, never combined.

#include "core/kernels.h"
#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto pair = distinctQubits(word);
    if (!pair) {
        return;
    }
    amplex::kernels::cnot(r->amplitudes, r->amplitudeCount(), pair->first, pair->second);
    recordStep("cnot ( %i, %i )", pair->first, pair->second);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"CNot", tables::controlledPairControls, executeSelectedPair};
    return dialog;
}
