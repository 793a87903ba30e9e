// basic\cnotgate: controlled NOT. Where the control qubit is 1 the target qubit flips.
// Block: [0] control, [1] target. Amplitudes are moved, never combined.

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const std::int32_t* args = amplex::gateArgs(word);
    if (!args) {
        return;
    }
    const int control = args[0];
    const int target = args[1];
    // A caller's bit outside the register would move amplitudes outside the array; a target
    // equal to the control would move two amplitudes onto one index and lose the other.
    if (!isQubit(control) || !isQubit(target) || control == target) {
        return;
    }
    QRegister scratch;
    if (!scratch.setQubitCount(r->qubitCount)) {
        return;
    }
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
