// shor\shorbegin: the classical checks before Shor's algorithm on a number N (even, a perfect
// power, a random common factor), reported in a message box. Reads and changes no register
// and records no step.
// Block: [0] N, read as unsigned.

#include "core/random.h"
#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"
#include "gates/shor/numbertheory/shorchecks.h"

#include <cstdint>

using namespace amplex::frame;

extern "C" AMPLEX_EXPORT void execute(std::intptr_t word) {
    const std::int32_t* args = amplex::gateArgs(word);
    if (!args) {
        return;
    }
    const auto n = static_cast<std::uint32_t>(args[0]);
    showResult(ShorChecks::report(n, drawRandom15).c_str());
}

namespace {

constexpr ControlSpec controls[] = {
    {ControlKind::Edit, 1004, "15", {52, 84, 42, 12}},
    {ControlKind::Label, 0, "N:", {27, 85, 17, 11}},
    tables::executeButton,
};

// A field that does not hold a number runs nothing.
void onExecute(GateDialog& dialog) {
    if (const auto n = dialog.requireUnsigned(1004)) {
        const std::int32_t block[] = {static_cast<std::int32_t>(*n)};
        execute(amplex::argumentWord(block));
    }
}

} // namespace

const GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Shor Begin", controls, onExecute};
    return dialog;
}
