// shor\modules\bitmirror: reverses the order of the qubits first .. last in every basis state,
// so qubit first + k and qubit last - k change places. Amplitudes are moved, never changed.
// Block: [0] first qubit, [1] last qubit (inclusive).

#include "core/kernels.h"
#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    // An empty range records nothing; a qubit beyond the register would move amplitudes
    // outside the array.
    const auto range = qubitRange(word);
    if (!range) {
        return;
    }
    amplex::kernels::bitMirror(r->amplitudes, r->amplitudeCount(), range->first, range->second);
    recordStep("Bitmirror ( %i - %i )", range->first, range->second);
}

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Bitmirror", tables::rangeControls, executeSelectedRange};
    return dialog;
}
