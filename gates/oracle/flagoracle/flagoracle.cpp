// oracle\flagoracle: a bit-flip oracle for a function given by the values where it is 1.
// Where the qubits from .. to of a basis state hold such a value x, the target qubit flips:
// |x>|t> -> |x>|t XOR f(x)>. The listed values are taken as a set, so a value listed twice
// still moves its amplitude once and the state keeps its norm.
// Block: [0] from, [1] to, [2] count, [3 .. 2 + count] the values (-1 marks nothing),
// [3 + count] target.

#include "gates/oracle/signoracledialog.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

using namespace amplex::frame;
using namespace amplex::oracle;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    // A negative count would put the target in front of the block.
    const auto range = qubitRange(word);
    if (!range || range->args[2] < 0) {
        return;
    }
    const auto [args, from, to] = *range;
    const int count = args[2];
    const int target = args[3 + count];
    QRegister scratch;
    if (!isQubit(target) || !scratch.setQubitCount(r->qubitCount)) {
        return;
    }
    const std::int64_t valueLimit = std::int64_t{1} << (to - from + 1);
    std::vector<std::uint32_t> marked;
    for (int j = 0; j < count; ++j) {
        const std::int32_t value = args[3 + j];
        const auto v = static_cast<std::uint32_t>(value);
        if (value >= 0 && value < valueLimit &&
            std::find(marked.begin(), marked.end(), v) == marked.end()) {
            marked.push_back(v);
        }
    }
    const int high = 31 - to;
    const std::uint32_t targetMask = 1u << target;
    const std::uint64_t total = r->amplitudeCount();
    // Amplitudes are added, not written: with the target inside from .. to, two old indexes
    // can land on the same new one. x always comes from the old index.
    for (std::uint64_t k = 0; k < total; ++k) {
        const auto i = static_cast<std::uint32_t>(k);
        const std::uint32_t x = ((i << high) >> high) >> from;
        const bool flip = std::find(marked.begin(), marked.end(), x) != marked.end();
        scratch.amplitudes[flip ? i ^ targetMask : i] += r->amplitudes[i];
    }
    r->copyFrom(scratch);
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
