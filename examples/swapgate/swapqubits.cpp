// examples\swapqubits: exchanges two qubits. A gate written outside the Amplex tree against the
// installed gate kit; see "Writing your own gate" in the user guide.
//
// Block: [0] first qubit, [1] second qubit, two different qubits of the register.
// Step text: "swap qubits ( first, second )".

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

#include <cstdint>
#include <utility>

using namespace amplex::frame;

// Runs the gate once on the register *r that the program lent this library. A block that does
// not name two different qubits of the register is refused without a step.
extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const auto pair = distinctQubits(word);
    if (!pair) {
        return;
    }
    const std::uint64_t a = std::uint64_t{1} << pair->first;
    const std::uint64_t b = std::uint64_t{1} << pair->second;
    // A permutation: each basis state whose first qubit is 1 and second is 0 trades its
    // amplitude with the state that has them the other way round; all others stay.
    Complex* amplitudes = r->amplitudes;
    for (std::uint64_t i = 0; i < r->amplitudeCount(); ++i) {
        if ((i & a) && !(i & b)) {
            std::swap(amplitudes[i], amplitudes[i ^ a ^ b]);
        }
    }
    // The register holds its new state: now the step is recorded.
    recordStep("swap qubits ( %i, %i )", pair->first, pair->second);
}

namespace {

// The dialog in dialog units: two bit lists and the Execute button. Lists show 0 .. n - 1, so
// a selected row is a qubit number.
constexpr ControlSpec controls[] = {
    {ControlKind::Label, 0, "swap the qubits", {7, 7, 59, 10}},
    {ControlKind::Label, 0, "1st:", {7, 22, 24, 8}},
    {ControlKind::BitList, 1001, "", {17, 38, 27, 135}, Preselect::First},
    {ControlKind::Label, 0, "2nd:", {57, 22, 29, 11}},
    {ControlKind::BitList, 1002, "", {67, 38, 27, 135}, Preselect::SecondOrFirst},
    tables::executeButton,
};

} // namespace

// "Execute" runs execute with the two selected qubits when they differ; the frame explains a
// refusal under the controls.
const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Swap qubits", controls, executeSelectedPair};
    return dialog;
}
