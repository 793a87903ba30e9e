// shor\shordriver: Shor's algorithm for a base x and a number N, with the exponent a in the
// qubits from .. to: superposition of a, x^a mod N, bit mirror and inverse Fourier transform
// of a, then the classical post-processing. Composed of gates run by path only, on the state
// as it finds it. The driver's step comes before the post-processing, so it is in the history
// while the result is shown.
// Block: [0] from, [1] to, [2] x, [3] N, handed unchanged to every gate it runs.

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"
#include "gates/shor/numbertheory/shorinput.h"

#include <cstdint>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    // A single-qubit or reversed range does nothing at all, as does one beyond the register.
    const auto range = qubitRange(word);
    if (!range || range->first == range->second) {
        return;
    }
    const std::int32_t* args = range->args;
    runGate("basic\\hadamardrange", args);
    runGate("shor\\modules\\power", args);
    runGate("shor\\modules\\bitmirror", args);
    runGate("shor\\modules\\invfourier", args);
    recordStep("Shor ( %i - %i, x = %i, n = %i )", args[0], args[1], args[2], args[3]);
    runGate("shor\\modules\\fracexpand", args);
}

namespace {

constexpr ControlSpec controls[] = {
    {ControlKind::Label, 0, "calculates a factor of N", {7, 7, 100, 9}},
    {ControlKind::Label, 0, "select bitrange of a:", {7, 25, 93, 10}},
    {ControlKind::Label, 0, "from:", {7, 38, 24, 8}},
    {ControlKind::BitList, 1001, "", {17, 54, 27, 69}, Preselect::First},
    {ControlKind::Label, 0, "to:", {57, 38, 29, 11}},
    {ControlKind::BitList, 1002, "", {67, 54, 27, 69}, Preselect::Last},
    {ControlKind::Label, 0, "x:", {21, 137, 20, 10}},
    {ControlKind::Edit, 1003, "13", {45, 137, 42, 12}},
    {ControlKind::Label, 0, "N:", {21, 158, 17, 11}},
    {ControlKind::Edit, 1004, "15", {45, 158, 42, 12}},
    tables::executeButton,
};

// The checks before the quantum part: a refused input would run it for nothing (N = 0) or
// give a result that the classical checks already have (x sharing a factor with N).
void onExecute(GateDialog& dialog) {
    executeRangeBaseModulus(dialog, 31, ShorInput::driverRefusal);
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Shor", controls, onExecute};
    return dialog;
}
