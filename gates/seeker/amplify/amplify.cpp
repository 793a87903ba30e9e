// seeker\amplify: the amplitude-amplification search that counts its values. Like
// seeker\seeker it puts the qubits from .. to into superposition and runs the search step,
// but as often as the number M of distinct listed values calls for:
// k = round(pi / (4 theta) - 1/2), theta = asin(sqrt(M / 2^m)), after which the marked values
// hold nearly all the probability. Composed of gates run by path only.
// Block: that of the sign oracle, {from, to, count, values...}; -1 and values outside the
// range mark nothing. No value in range: nothing to look for, the gate does nothing.

#include "gates/oracle/signoracledialog.h"
#include "gates/seeker/searchiterations.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

using namespace amplex::frame;

namespace {

// The distinct values of a block that lie in its range; nothing for a refused block.
std::optional<std::vector<std::int32_t>> valuesInRange(std::intptr_t word) {
    const auto range = qubitRange(word);
    if (!range || range->args[2] > amplex::oracle::MaxValueCount) {
        return std::nullopt; // a huge count would read far behind the block
    }
    const auto count = static_cast<std::size_t>(std::max(range->args[2], 0));
    return amplex::seeker::distinctMarkedValues(std::span(range->args + 3, count),
                                                range->second - range->first + 1);
}

} // namespace

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto values = valuesInRange(word);
    if (!values || values->empty()) {
        return;
    }
    const std::int32_t* args = amplex::gateArgs(word);
    const int m = args[1] - args[0] + 1;
    // The steps get each value once: the sign oracle would cancel a value listed twice, and
    // then mark fewer values than were counted.
    std::vector<std::int32_t> block = {args[0], args[1], static_cast<std::int32_t>(values->size())};
    block.insert(block.end(), values->begin(), values->end());
    runGate("basic\\hadamardrange", block.data());
    const int steps = amplex::seeker::amplifyIterations(m, values->size());
    for (int k = 0; k < steps; ++k) {
        runGate("seeker\\seekerstep", block.data());
    }
    recordStep("Amplify ( %i )", steps);
}

namespace {

void onExecute(GateDialog& dialog) {
    const auto range = dialog.selectedPair(1001, 1002, GateDialog::PairRule::Ordered);
    if (!range) {
        return;
    }
    const auto values = amplex::oracle::markedValues(dialog);
    const int m = range->second - range->first + 1;
    if (amplex::seeker::distinctMarkedValues(values, m).empty()) {
        dialog.refuse(QStringLiteral("no value lies in 0 .. %1: nothing to search for")
                          .arg((std::int64_t{1} << m) - 1));
        return;
    }
    amplex::oracle::executeWithMarkedValues(dialog);
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Amplify", amplex::oracle::signOracleControls, onExecute};
    return dialog;
}
