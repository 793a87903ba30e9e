// shor\modules\fracexpand: the classical post-processing of Shor's algorithm. Draws one
// measurement from the register without changing it, reads the exponent a from the qubits
// from .. to, takes the reduced denominator of a / 2^m as the order of x modulo N and shows
// the factors it leads to in a message box. Records no step.
// Block: [0] from, [1] to, [2] x, [3] N.

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"
#include "gates/shor/numbertheory/continuedfractions.h"

#include <cstdint>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto range = qubitRange(word);
    if (!range) {
        return;
    }
    const auto [args, from, to] = *range;
    // The register's own draw: never the index -1, always one of its basis states.
    const std::uint32_t s = r->sample();
    const std::uint32_t a = ContinuedFractions::measuredValue(s, from, to);
    showResult(ContinuedFractions::report(a, to - from + 1, args[2], args[3]).c_str());
}

namespace {

constexpr ControlSpec controls[] = {
    {ControlKind::Label, 0, "select range:", {7, 7, 55, 10}},
    {ControlKind::Label, 0, "from:", {7, 22, 24, 8}},
    {ControlKind::BitList, 1001, "", {17, 38, 27, 93}, Preselect::First},
    {ControlKind::Label, 0, "to:", {57, 22, 29, 11}},
    {ControlKind::BitList, 1002, "", {67, 38, 27, 93}, Preselect::Last},
    {ControlKind::Label, 0, "x:", {28, 142, 20, 10}},
    {ControlKind::Edit, 1003, "4", {52, 142, 42, 12}},
    {ControlKind::Label, 0, "N:", {28, 163, 17, 11}},
    {ControlKind::Edit, 1004, "15", {52, 163, 42, 12}},
    tables::executeButton,
};

void onExecute(GateDialog& dialog) {
    executeRangeBaseModulus(dialog, 127);
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"cont. fractions", controls, onExecute};
    return dialog;
}
