// basic\hadamard: the Hadamard gate on one qubit, run by path by the Hadamard range and the
// inverse Fourier transform. The argument word is the qubit number itself.

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

#include <cmath>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    if (!isQubit(word)) {
        return; // a caller's qubit outside the register would pair indexes outside the array
    }
    const int k = static_cast<int>(word);
    // Computed at run time, like the controlled Hadamard's constant, so both agree bit for bit.
    const double h = 1.0 / std::sqrt(2.0);
    const std::uint64_t total = r->amplitudeCount();
    const std::uint64_t step = std::uint64_t{1} << k;
    Complex* a = r->amplitudes;
    // Each pair (i with bit k clear, j = i + 2^k) in place: both old values are read first.
    for (std::uint64_t block = 0; block < total; block += 2 * step) {
        for (std::uint64_t i = block; i < block + step; ++i) {
            const Complex hi = a[i] * h;
            const Complex hj = a[i + step] * h;
            Complex sum = hi;
            sum += hj;
            Complex difference = hi;
            difference -= hj;
            a[i] = sum;
            a[i + step] = difference;
        }
    }
    recordStep("Hadamard ( %i )", k);
}

namespace {

constexpr ControlSpec controls[] = {
    {ControlKind::Label, 0, "select bit:", {7, 7, 55, 10}},
    {ControlKind::BitList, 1001, "", {37, 22, 36, 151}, Preselect::First},
    tables::executeButton,
};

void onExecute(GateDialog& dialog) {
    const int k = dialog.selection(1001);
    if (k >= 0 && k < dialog.qubitCount()) {
        execute(static_cast<std::intptr_t>(k));
    }
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec spec{"Hadamard", controls, onExecute};
    return spec;
}
