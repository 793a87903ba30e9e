// seeker\seeker: the whole amplitude-amplification search over the qubits from .. to. The
// range is put into superposition (from whatever state the register holds), then the search
// step runs as often as the size of the range and the count of values call for. Composed of
// gates run by path only.
// Block: that of the sign oracle, handed on unchanged; this gate reads [0] from, [1] to and
// [2] count.

#include "gates/oracle/signoracledialog.h"
#include "gates/seeker/searchiterations.h"

#include <cstdint>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto range = qubitRange(word);
    if (!range) {
        return;
    }
    const auto [args, from, to] = *range;
    runGate("basic\\hadamardrange", args);
    const int steps = amplex::seeker::searchIterations(to - from + 1, args[2]);
    for (int k = 0; k < steps; ++k) {
        runGate("seeker\\seekerstep", args);
    }
    recordStep("Seeker ( %i )", steps);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Seeker", amplex::oracle::signOracleControls,
                                       amplex::oracle::executeWithMarkedValues};
    return dialog;
}
