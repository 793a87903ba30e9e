// basic\hadamardrange: the Hadamard gate on every qubit of a range, one after the other, each
// run by path as basic\hadamard. Block: [0] first qubit, [1] last qubit (inclusive).

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const std::int32_t* args = amplex::gateArgs(word);
    if (!args) {
        return;
    }
    const auto first = static_cast<std::uint32_t>(args[0]);
    const auto last = static_cast<std::uint32_t>(args[1]);
    // An empty range records nothing. A last qubit beyond the register would count on towards
    // 2^32 sub-gate runs that all do nothing.
    if (first > last || !isQubit(last)) {
        return;
    }
    for (std::uint32_t k = first; k <= last; ++k) {
        runGate("basic\\hadamard", static_cast<int>(k));
    }
    recordStep("Hadamardrange ( %i - %i )", args[0], args[1]);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Hadamard Range", tables::rangeControls,
                                       executeSelectedRange};
    return dialog;
}
