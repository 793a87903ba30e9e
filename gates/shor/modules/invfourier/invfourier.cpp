// shor\modules\invfourier: the inverse quantum Fourier transform of the qubits first .. last,
// composed of basic\hadamard and shor\modules\ctrlrotate run by path. It does not reverse the
// qubit order; shor\modules\bitmirror does. Block: [0] first qubit, [1] last qubit (inclusive).

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

#include <cmath>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    // An empty range records nothing. A last qubit beyond the register would count on towards
    // 2^32 and run billions of sub-gates that all do nothing.
    const auto range = qubitRange(word);
    if (!range) {
        return;
    }
    const auto first = static_cast<std::uint32_t>(range->first);
    const auto last = static_cast<std::uint32_t>(range->second);
    runGate("basic\\hadamard", static_cast<int>(first));
    for (std::uint32_t i = first + 1; i <= last; ++i) {
        // The farthest pair first: its angle has the smallest magnitude.
        for (std::uint32_t j = first; j < i; ++j) {
            std::int32_t rotation[4] = {static_cast<std::int32_t>(i), static_cast<std::int32_t>(j)};
            // -pi / 2^(i - j), exact since only the exponent changes.
            amplex::putDouble(rotation + 2,
                              -3.141592653589793 / std::pow(2.0, static_cast<double>(i - j)));
            runGate("shor\\modules\\ctrlrotate", rotation);
        }
        runGate("basic\\hadamard", static_cast<int>(i));
    }
    recordStep("FFT^-1 ( %i - %i )", range->first, range->second);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"FFT^-1", tables::rangeControls, executeSelectedRange};
    return dialog;
}
