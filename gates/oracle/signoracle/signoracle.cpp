// oracle\signoracle: a phase oracle for a function given by the values where it is 1. Every
// basis state whose qubits from .. to hold such a value x has its amplitude negated, once for
// each time x is listed, so a value listed twice keeps its sign (the search relies on this).
// Block: [0] from, [1] to, [2] count, [3 .. 2 + count] the values; -1 marks nothing.

#include "gates/oracle/signoracledialog.h"

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto range = qubitRange(word);
    if (!range) {
        return;
    }
    const auto [args, from, to] = *range;
    const int count = args[2];
    // The values negated an odd number of times; a value outside 0 .. 2^m - 1 matches no x.
    const std::int64_t valueLimit = std::int64_t{1} << (to - from + 1);
    std::vector<std::uint64_t> marked;
    for (int j = 0; j < count; ++j) {
        const std::int32_t value = args[3 + j];
        if (value < 0 || value >= valueLimit) {
            continue;
        }
        const auto v = static_cast<std::uint64_t>(value);
        if (const auto it = std::find(marked.begin(), marked.end(), v); it != marked.end()) {
            marked.erase(it);
        } else {
            marked.push_back(v);
        }
    }
    // Only the indexes that hold a marked value are visited: every value of the qubits below
    // from and above to, with the value itself in between.
    const std::uint64_t lowCount = std::uint64_t{1} << from;
    const std::uint64_t highCount = r->amplitudeCount() >> (to + 1);
    Complex* a = r->amplitudes;
    for (const std::uint64_t v : marked) {
        for (std::uint64_t high = 0; high < highCount; ++high) {
            const std::uint64_t base = (high << (to + 1)) | (v << from);
            for (std::uint64_t low = 0; low < lowCount; ++low) {
                Complex& amplitude = a[base | low];
                amplitude.real = -amplitude.real;
                amplitude.imag = -amplitude.imag;
            }
        }
    }
    recordStep("Signoracle");
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Signoracle", amplex::oracle::signOracleControls,
                                       amplex::oracle::executeWithMarkedValues};
    return dialog;
}
