// oracle\signoracle: a phase oracle for a function given by the values where it is 1. Every
// basis state whose qubits from .. to hold such a value x has its amplitude negated, once for
// each time x is listed, so a value listed twice keeps its sign (the search relies on this).
// Block: [0] from, [1] to, [2] count, [3 .. 2 + count] the values; -1 marks nothing.

#include "core/kernels.h"
#include "gates/oracle/signoracledialog.h"

#include <algorithm>
#include <cstdint>
#include <span>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto range = qubitRange(word);
    if (!range || range->args[2] > amplex::oracle::MaxValueCount) {
        return; // a huge count would read far behind the block
    }
    const auto [args, from, to] = *range;
    // A negative count lists no value.
    const std::int64_t count = std::max(args[2], 0);
    amplex::kernels::signOracle(r->amplitudes, r->amplitudeCount(), from, to,
                                std::span(args + 3, static_cast<std::size_t>(count)));
    recordStep("Signoracle");
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Signoracle", amplex::oracle::signOracleControls,
                                       amplex::oracle::executeWithMarkedValues};
    return dialog;
}
