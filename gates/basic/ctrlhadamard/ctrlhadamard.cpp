// basic\ctrlhadamard: the Hadamard gate on the target qubit wherever the control qubit is 1.
// Block: [0] control, [1] target. The new state is summed up in a scratch register.

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

#include <cmath>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto pair = distinctQubits(word);
    QRegister scratch;
    if (!pair || !scratch.setQubitCount(r->qubitCount)) {
        return;
    }
    const int control = pair->first;
    const int target = pair->second;
    // 1.0 / sqrt(2.0) is 0.7071067811865475, one unit in the last place below sqrt(0.5).
    const double h = 1.0 / std::sqrt(2.0);
    const std::uint64_t total = r->amplitudeCount();
    const std::uint32_t controlMask = 1u << control;
    const std::uint32_t targetMask = 1u << target;
    Complex* s = scratch.amplitudes;
    // Increasing i, each old amplitude scaled by h first: for a pair i0 < i1 this adds
    // h A[i0] before h A[i1], the order that fixes the rounding.
    for (std::uint64_t k = 0; k < total; ++k) {
        const auto i = static_cast<std::uint32_t>(k);
        const Complex& a = r->amplitudes[i];
        if (!(i & controlMask)) {
            s[i] += a;
        } else if (!(i & targetMask)) {
            const Complex scaled = a * h;
            s[i] += scaled;
            s[i + targetMask] += scaled;
        } else {
            const Complex scaled = a * h;
            s[i - targetMask] += scaled;
            s[i] -= scaled;
        }
    }
    r->copyFrom(scratch);
    recordStep("Hadamard controlled ( %i, %i )", control, target);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Hadamard controlled", tables::controlledPairControls,
                                       executeSelectedPair};
    return dialog;
}
