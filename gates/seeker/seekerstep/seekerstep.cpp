// seeker\seekerstep: one iteration of the amplitude-amplification search over the qubits
// from .. to. The marked values are negated, then the range is reflected about its uniform
// superposition as H, negation of the all-zero value, H; the whole is the usual iteration
// times -1. Composed of gates run by path only.
// Block: that of the sign oracle, handed on unchanged; this gate reads [0] from and [1] to.

#include "gates/oracle/signoracledialog.h"

#include <cstdint>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto range = qubitRange(word);
    if (!range) {
        return;
    }
    const auto [args, from, to] = *range;
    // Marks the basis states whose qubits from .. to are all 0.
    const std::int32_t zeroMarker[] = {from, to, 1, 0};
    runGate("oracle\\signoracle", args);
    runGate("basic\\hadamardrange", args);
    runGate("oracle\\signoracle", zeroMarker);
    runGate("basic\\hadamardrange", args);
    recordStep("Seekerstep ( %i - %i )", from, to);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Seekerstep", amplex::oracle::signOracleControls,
                                       amplex::oracle::executeWithMarkedValues};
    return dialog;
}
