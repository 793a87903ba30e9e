// basic\cnotgate: controlled NOT. Where the control qubit is 1 the target qubit flips.
// Block: [0] control, [1] target. Amplitudes are moved, never combined.

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto pair = distinctQubits(word);
    QRegister scratch;
    if (!pair || !scratch.setQubitCount(r->qubitCount)) {
        return;
    }
    const int control = pair->first;
    const int target = pair->second;
    const std::uint64_t total = r->amplitudeCount();
    const std::uint32_t controlMask = 1u << control;
    const std::uint32_t targetMask = 1u << target;
    for (std::uint64_t k = 0; k < total; ++k) {
        const auto i = static_cast<std::uint32_t>(k);
        scratch.amplitudes[(i & controlMask) ? i ^ targetMask : i] = r->amplitudes[i];
    }
    r->copyFrom(scratch);
    recordStep("cnot ( %i, %i )", control, target);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"CNot", tables::controlledPairControls, executeSelectedPair};
    return dialog;
}
