// standard\toffoli: the target qubit flips where both control qubits are 1.
// Block: [0] control, [1] control, [2] target, all distinct. Amplitudes are moved, never
// combined.

#include "core/kernels.h"
#include "gates/standard/standarddialogs.h"

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const std::int32_t* args = amplex::gateArgs(word);
    // A target among the controls would not be a permutation: refused like equal pairs.
    if (!args || !isQubit(args[0]) || !isQubit(args[1]) || !isQubit(args[2]) ||
        args[0] == args[1] || args[0] == args[2] || args[1] == args[2]) {
        return;
    }
    const std::uint64_t controls = (std::uint64_t{1} << args[0]) | (std::uint64_t{1} << args[1]);
    amplex::kernels::flip(r->amplitudes, r->amplitudeCount(), controls, args[2]);
    recordStep("Toffoli ( %i, %i, %i )", args[0], args[1], args[2]);
}

namespace {

constexpr ControlSpec controls[] = {
    {ControlKind::Label, 0, "controlbits:", {7, 7, 55, 10}},
    {ControlKind::Label, 0, "1st:", {7, 22, 24, 8}},
    {ControlKind::BitList, 1001, "", {7, 38, 27, 135}, Preselect::First},
    {ControlKind::Label, 0, "2nd:", {42, 22, 24, 8}},
    {ControlKind::BitList, 1002, "", {42, 38, 27, 135}, Preselect::SecondOrFirst},
    {ControlKind::Label, 0, "target:", {77, 22, 29, 8}},
    {ControlKind::BitList, 1003, "", {77, 38, 27, 135}, Preselect::Last},
    tables::executeButton,
};

void onExecute(GateDialog& dialog) {
    const auto pair = dialog.selectedPair(1001, 1002, GateDialog::PairRule::Distinct);
    const auto first =
        pair ? dialog.selectedPair(1001, 1003, GateDialog::PairRule::Distinct) : std::nullopt;
    const auto second =
        first ? dialog.selectedPair(1002, 1003, GateDialog::PairRule::Distinct) : std::nullopt;
    if (second) {
        const std::int32_t block[] = {pair->first, pair->second, first->second};
        execute(amplex::argumentWord(block));
    }
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Toffoli", controls, onExecute};
    return dialog;
}
