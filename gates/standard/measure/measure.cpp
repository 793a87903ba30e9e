// standard\measure: a measurement of the qubits from .. to that collapses the state. The
// outcome v is drawn as the register's own sample is, with the same 15-bit draw (so a run
// repeats under a fixed seed): v is the value of those qubits in the sampled basis state. Every
// amplitude whose qubits from .. to hold another value becomes 0, the rest are scaled by
// 1 / sqrt(p(v)). Block: [0] from, [1] to (inclusive). The dialog shows the outcome.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

using namespace amplex::frame;

namespace {

// The measurement itself: the outcome, or nothing when the block is refused or the register
// holds no probability at all (then it is left as it was).
std::optional<std::uint64_t> measure(std::intptr_t word) {
    const auto range = qubitRange(word);
    if (!range) {
        return std::nullopt;
    }
    const auto [args, from, to] = *range;
    Complex* a = r->amplitudes;
    const std::uint64_t count = r->amplitudeCount();
    const std::uint64_t mask = ((std::uint64_t{2} << (to - from)) - 1) << from;
    std::uint64_t value = r->sample() & mask;
    double p = amplex::kernels::probabilityOf(a, count, mask, value);
    if (!(p > 0.0)) {
        // The draw lay beyond the probabilities' sum (a state whose sum falls short of 1 by
        // rounding), and the sample fell back to the last index, which holds nothing. The last
        // state that holds something decides instead; scaling by 1 / sqrt(0) would turn the
        // whole register into NaN.
        std::uint64_t i = count;
        while (i > 0 && !(a[i - 1].norm() > 0.0)) {
            --i;
        }
        if (i == 0) {
            return std::nullopt;
        }
        value = (i - 1) & mask;
        p = amplex::kernels::probabilityOf(a, count, mask, value);
    }
    amplex::kernels::collapse(a, count, mask, value, 1.0 / std::sqrt(p));
    const std::uint64_t outcome = value >> from;
    recordStep("Measure ( %i - %i ) = %lld", from, to, static_cast<long long>(outcome));
    return outcome;
}

void onExecute(GateDialog& dialog) {
    const auto range = dialog.selectedPair(1001, 1002, GateDialog::PairRule::Ordered);
    if (!range) {
        return;
    }
    const std::int32_t block[] = {range->first, range->second};
    const auto outcome = measure(amplex::argumentWord(block));
    if (!outcome) {
        dialog.refuse(QStringLiteral("the register holds no probability: nothing to measure"));
        return;
    }
    // The bits as the qubits read from "to" down to "from", as a ket writes them.
    std::string bits;
    for (int k = range->second; k >= range->first; --k) {
        bits += ((*outcome >> (k - range->first)) & 1) ? '1' : '0';
    }
    const std::string text = "Qubits " + std::to_string(range->first) + " - " +
                             std::to_string(range->second) +
                             " measured: " + std::to_string(*outcome) + " (binary " + bits +
                             ")\r\n\r\nThe state keeps only the basis states with this value.";
    showResult(text.c_str());
}

} // namespace

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    measure(word);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Measure", tables::rangeControls, onExecute};
    return dialog;
}
