// shor\modules\ctrlrotate: the phase e^(i theta) on every basis state in which two qubits are
// both 1. Block: [0] first qubit, [1] second qubit, [2] [3] theta in radians as a double, low
// half first. The two qubits play the same role; equal qubits put the phase where that one is 1.

#include "core/kernels.h"
#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

#include <cmath>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const std::int32_t* args = amplex::gateArgs(word);
    if (!args) {
        return;
    }
    const int first = args[0];
    const int second = args[1];
    if (!isQubit(first) || !isQubit(second)) {
        return; // a caller's bit outside the register would shift by 32 or more
    }
    const double theta = amplex::getDouble(args + 2);
    const std::uint64_t mask = (std::uint64_t{1} << first) | (std::uint64_t{1} << second);
    amplex::kernels::phase(r->amplitudes, r->amplitudeCount(), mask, std::cos(theta),
                           std::sin(theta));
    recordStep("Rotate 2 bits controlled ( bits: %i, %i, angle: %.5g)", first, second, theta);
}

namespace {

constexpr int AngleField = 1003;
// pi / 180 as a double.
constexpr double RadiansPerDegree = 0.017453292519943295;

constexpr ControlSpec controls[] = {
    {ControlKind::Label, 0, "select controlbits", {7, 7, 59, 10}},
    {ControlKind::BitList, 1001, "", {17, 38, 27, 98}, Preselect::First},
    {ControlKind::Label, 0, "1st:", {7, 22, 24, 8}},
    {ControlKind::Label, 0, "2nd:", {57, 22, 29, 11}},
    tables::executeButton,
    {ControlKind::BitList, 1002, "", {67, 38, 27, 98}, Preselect::SecondOrFirst},
    {ControlKind::Label, 0, "angle (in degrees):", {7, 145, 69, 10}},
    {ControlKind::Edit, AngleField, "180", {35, 160, 42, 11}},
};

void onExecute(GateDialog& dialog) {
    const auto pair = dialog.selectedPair(1001, 1002, GateDialog::PairRule::Distinct);
    // An angle that does not parse has no value to run with.
    const auto degrees = pair ? dialog.requireInt(AngleField) : std::nullopt;
    if (!pair || !degrees) {
        return;
    }
    std::int32_t block[4] = {pair->first, pair->second};
    amplex::putDouble(block + 2, static_cast<double>(*degrees) * RadiansPerDegree);
    execute(amplex::argumentWord(block));
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Rotate 2bits c", controls, onExecute};
    return dialog;
}
