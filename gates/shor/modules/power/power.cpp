// shor\modules\power: the modular power that Shor's algorithm needs. Block: [0] from, [1] to,
// the qubits that hold the exponent a; [2] the base x as typed; [3] the modulus N.
//
// With L the bit length of N - 1, it XORs x^a mod N into the L qubits directly above `to`, or,
// when they do not fit, the L qubits directly below `from`. The exponent qubits stay as they
// are, so the state depends on a only through x^a mod N. XOR makes it a permutation of the
// basis states that undoes itself.

#include "core/kernels.h"
#include "core/modularpower.h"
#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"
#include "gates/shor/numbertheory/shorinput.h"

#include <bit>

using namespace amplex::frame;
using amplex::kernels::reduceModulo;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto range = qubitRange(word);
    if (!range || range->args[3] < 2) {
        return;
    }
    const auto [args, from, to] = *range;
    const std::int32_t x = args[2];
    const std::int32_t n = args[3];
    const auto modulus = static_cast<std::uint32_t>(n);
    // x^a mod N is below N, so it needs the bits of N - 1 (1 .. 31 of them).
    const auto width = static_cast<int>(std::bit_width(modulus - 1));
    int low = 0;
    if (to + width < r->qubitCount) {
        low = to + 1;
    } else if (from >= width) {
        low = from - width;
    } else {
        return; // no room for the value beside the exponent
    }
    amplex::kernels::modularPowerXor(r->amplitudes, r->amplitudeCount(), from, to, low,
                                     reduceModulo(x, modulus), modulus);
    recordStep("Power ( a: %i - %i, y: %i - %i, x = %i, N = %i )", from, to, low, low + width - 1,
               x, n);
}

namespace {

constexpr int BaseField = 1003;
constexpr int ModulusField = 1004;

constexpr ControlSpec controls[] = {
    {ControlKind::Label, 0, "select bitrange of a:", {7, 25, 93, 10}},
    {ControlKind::Label, 0, "from:", {7, 38, 24, 8}},
    {ControlKind::BitList, 1001, "", {17, 54, 27, 69}, Preselect::First},
    {ControlKind::Label, 0, "to:", {57, 38, 29, 11}},
    {ControlKind::BitList, 1002, "", {67, 54, 27, 69}, Preselect::Last},
    {ControlKind::Label, 0, "x:", {21, 137, 20, 10}},
    {ControlKind::Edit, BaseField, "13", {45, 137, 42, 12}},
    {ControlKind::Label, 0, "N:", {21, 158, 17, 11}},
    {ControlKind::Edit, ModulusField, "15", {45, 158, 42, 12}},
    tables::executeButton,
};

std::string powerRefusal(int qubits, int from, int to, std::int64_t, std::int64_t n) {
    return ShorInput::powerRefusal(qubits, from, to, n);
}

void onExecute(GateDialog& dialog) {
    executeRangeBaseModulus(dialog, 31, powerRefusal);
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Power", controls, onExecute};
    return dialog;
}
