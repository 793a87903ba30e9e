// shor\modules\bitmirror: reverses the order of the qubits first .. last in every basis state,
// so qubit first + k and qubit last - k change places. Amplitudes are moved, never changed.
// Block: [0] first qubit, [1] last qubit (inclusive).

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

using namespace amplex::frame;

namespace {

// The 32 bits of v in reverse order.
std::uint32_t reverseBits(std::uint32_t v) {
    v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
    v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
    v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
    v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
    return (v >> 16) | (v << 16);
}

} // namespace

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    // An empty range records nothing; a qubit beyond the register would move amplitudes
    // outside the array.
    const auto range = qubitRange(word);
    QRegister scratch;
    if (!range || !scratch.setQubitCount(r->qubitCount)) {
        return;
    }
    const auto first = static_cast<std::uint32_t>(range->first);
    const auto last = static_cast<std::uint32_t>(range->second);
    const std::uint32_t width = last - first + 1; // at most 31: qubits are below 31
    const std::uint32_t mask = ((~0u) >> (32 - width)) << first;
    const std::uint64_t total = r->amplitudeCount();
    for (std::uint64_t k = 0; k < total; ++k) {
        const auto i = static_cast<std::uint32_t>(k);
        // The range's bits, reversed within their width, back in place; the others stay.
        const std::uint32_t mirrored = (reverseBits((i & mask) >> first) >> (32 - width)) << first;
        scratch.amplitudes[mirrored | (i & ~mask)] = r->amplitudes[i];
    }
    r->copyFrom(scratch);
    recordStep("Bitmirror ( %i - %i )", range->first, range->second);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Bitmirror", tables::rangeControls, executeSelectedRange};
    return dialog;
}
