// basic\hadamard: the Hadamard gate on one qubit, run by path by the Hadamard range and the
// inverse Fourier transform. The argument word is the qubit number itself.

#include "core/kernels.h"
#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    if (!isQubit(word)) {
        return; // a caller's qubit outside the register would pair indexes outside the array
    }
    const int k = static_cast<int>(word);
    amplex::kernels::hadamard(r->amplitudes, r->amplitudeCount(), k);
    recordStep("Hadamard ( %i )", k);
}

namespace {

constexpr ControlSpec controls[] = {
    {ControlKind::Label, 0, "select bit:", {7, 7, 55, 10}},
    {ControlKind::BitList, 1001, "", {37, 22, 36, 151}, Preselect::First},
    tables::executeButton,
};

void onExecute(GateDialog& dialog) {
    if (const auto k = dialog.selectedBit(1001)) {
        execute(static_cast<std::intptr_t>(*k));
    }
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Hadamard", controls, onExecute};
    return dialog;
}
