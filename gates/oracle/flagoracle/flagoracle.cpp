// oracle\flagoracle: a bit-flip oracle for a function given by the values where it is 1.
// Where the qubits from .. to of a basis state hold such a value x, the target qubit flips:
// |x>|t> -> |x>|t XOR f(x)>. The listed values are taken as a set, so a value listed twice
// still moves its amplitude once and the state keeps its norm.
// Block: [0] from, [1] to, [2] count, [3 .. 2 + count] the values (-1 marks nothing),
// [3 + count] target.

#include "core/kernels.h"
#include "gates/oracle/signoracledialog.h"

#include <array>
#include <cstdint>
#include <span>

using namespace amplex::frame;
using namespace amplex::oracle;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    // A negative count would put the target in front of the block, a huge one far behind it.
    const auto range = qubitRange(word);
    if (!range || range->args[2] < 0 || range->args[2] > MaxValueCount) {
        return;
    }
    const auto [args, from, to] = *range;
    const std::int64_t count = args[2];
    const std::int64_t target = args[3 + count];
    if (!isQubit(target)) {
        return;
    }
    amplex::kernels::flagOracle(r->amplitudes, r->amplitudeCount(), from, to,
                                static_cast<int>(target),
                                std::span(args + 3, static_cast<std::size_t>(count)));
    recordStep("Flagoracle");
}

namespace {

constexpr auto controls =
    joinControls(std::array<ControlSpec, 7>{{
                     {ControlKind::Label, 0, "select function parameter:", {7, 7, 93, 10}},
                     {ControlKind::Label, 0, "from:", {7, 22, 24, 8}},
                     {ControlKind::BitList, 1001, "", {7, 37, 27, 69}, Preselect::First},
                     {ControlKind::Label, 0, "to:", {37, 22, 15, 11}},
                     {ControlKind::BitList, 1002, "", {37, 37, 27, 69}, Preselect::SecondLast},
                     {ControlKind::Label, 0, "target:", {80, 22, 27, 11}},
                     {ControlKind::BitList, 1009, "", {80, 37, 27, 69}, Preselect::Last},
                 }},
                 valueControls);

// As the sign oracle's Execute, with the target behind the values; execute refuses a target
// outside the register.
void onExecute(GateDialog& dialog) {
    const auto range = dialog.selectedPair(1001, 1002, GateDialog::PairRule::Ordered);
    if (!range || !dialog.selectedBit(1009)) {
        return;
    }
    const auto values = markedValues(dialog);
    std::array<std::int32_t, 4 + ValueCount> block{range->first, range->second, ValueCount};
    for (std::size_t k = 0; k < values.size(); ++k) {
        block[3 + k] = values[k];
    }
    block[3 + ValueCount] = dialog.selection(1009);
    execute(amplex::argumentWord(block.data()));
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Flagoracle", controls, onExecute};
    return dialog;
}
