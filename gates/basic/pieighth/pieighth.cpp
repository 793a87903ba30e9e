// basic\pieighth: the phase e^(i pi/4) on every basis state whose target qubit is 1. The
// argument word is the qubit number itself. The dialog has no button: choosing a qubit runs it.

#include "core/kernels.h"
#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

#include <cmath>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    if (!isQubit(word)) {
        return; // a caller's qubit outside the register would reach outside the array
    }
    const int target = static_cast<int>(word);
    // sqrt(0.5) is 0.7071067811865476, the factor's real and imaginary part.
    const double s = std::sqrt(0.5);
    amplex::kernels::phase(r->amplitudes, r->amplitudeCount(), std::uint64_t{1} << target, s, s);
    recordStep("Pi-eighth ( %i )", target);
}

namespace {

constexpr ControlSpec controls[] = {
    {ControlKind::Label, 0, "select target bit:", {7, 7, 50, 9}},
    {ControlKind::BitList, 1000, "", {37, 18, 36, 179}, Preselect::None},
};

void onSelectionChanged(GateDialog& dialog, int listId) {
    const int target = dialog.selection(listId);
    if (target >= 0 && target < dialog.qubitCount()) {
        execute(static_cast<std::intptr_t>(target));
    }
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Pi-eighth T", controls, nullptr, onSelectionChanged};
    return dialog;
}
