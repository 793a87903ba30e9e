// standard\cz: controlled Z, the sign of every basis state in which both qubits are 1 flipped.
// Block: [0] control, [1] target, distinct (the two play the same role).

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto pair = distinctQubits(word);
    if (!pair) {
        return;
    }
    const std::uint64_t both =
        (std::uint64_t{1} << pair->first) | (std::uint64_t{1} << pair->second);
    amplex::kernels::phase(r->amplitudes, r->amplitudeCount(), both, -1.0, 0.0);
    recordStep("Controlled Z ( %i, %i )", pair->first, pair->second);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Controlled Z", tables::controlledPairControls,
                                       executeSelectedPair};
    return dialog;
}
