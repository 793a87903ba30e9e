// basic\hadamardrange: the Hadamard gate on every qubit of a range, one after the other, each
// run by path as basic\hadamard. Block: [0] first qubit, [1] last qubit (inclusive).

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    // An empty range records nothing. A last qubit beyond the register would count on towards
    // 2^32 sub-gate runs that all do nothing.
    const auto range = qubitRange(word);
    if (!range) {
        return;
    }
    for (int k = range->first; k <= range->second; ++k) {
        runGate("basic\\hadamard", k);
    }
    recordStep("Hadamardrange ( %i - %i )", range->first, range->second);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Hadamard Range", tables::rangeControls,
                                       executeSelectedRange};
    return dialog;
}
