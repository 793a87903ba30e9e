#pragma once

// What a gate plug-in's own source includes: the contract's exports as this library defines
// them, the dialog description that every gate supplies, and small helpers shared by gates.

#include "core/qregister.h"
#include "gates/frame/gatedialogspec.h"
#include "host/gatecontract.h"

#include <cstdint>
#include <optional>
#include <string>

extern "C" {
// Defined by each gate: runs the gate once on *r.
AMPLEX_EXPORT void execute(std::intptr_t word);
// Defined by the frame.
AMPLEX_EXPORT int dlgshow(int x, int y, int width, int height);
AMPLEX_EXPORT void dlghide(void);
AMPLEX_EXPORT extern RunGateFn procexecute;
AMPLEX_EXPORT extern RecordStepFn procstep;
AMPLEX_EXPORT extern QRegister* r;
AMPLEX_EXPORT extern void* hdll;
}

namespace amplex::frame {

// Defined by each gate: its parameter dialog as data.
const GateDialogSpec& gateDialog();

// Whether k names a qubit of the register behind r. Gates run by path check the qubits they
// are given, so that a caller's mistake can never reach memory outside the amplitude array.
inline bool isQubit(std::int64_t k) {
    return r && k >= 0 && k < r->qubitCount;
}

// The first two ints of a caller's GateArgs block, checked against the register.
struct QubitArgs {
    const std::int32_t* args = nullptr; // the whole block, for the gate's further ints
    int first = 0;
    int second = 0;
};

// [0] and [1] as a range of qubits, 0 <= first <= second < n. Nothing for a null block, an
// empty range or one that reaches outside the register: the gate then returns without a step.
inline std::optional<QubitArgs> qubitRange(std::intptr_t word) {
    const std::int32_t* args = gateArgs(word);
    if (!args || !isQubit(args[0]) || !isQubit(args[1]) || args[0] > args[1]) {
        return std::nullopt;
    }
    return QubitArgs{args, args[0], args[1]};
}

// [0] and [1] as two different qubits of the register. The same qubit twice would move two
// amplitudes onto one index in the controlled gates and lose one of them.
inline std::optional<QubitArgs> distinctQubits(std::intptr_t word) {
    const std::int32_t* args = gateArgs(word);
    if (!args || !isQubit(args[0]) || !isQubit(args[1]) || args[0] == args[1]) {
        return std::nullopt;
    }
    return QubitArgs{args, args[0], args[1]};
}

// "Execute" of the two-list dialogs (bit lists 1001 and 1002): runs this library's execute
// with the block {first, second} when the selections are qubits of the register that form a
// range (first <= second) or two distinct qubits; otherwise nothing happens.
void executeSelectedRange(GateDialog& dialog);
void executeSelectedPair(GateDialog& dialog);
// Why a gate would do nothing with these inputs (x and N as typed, beyond 32 bits where they
// are), for the dialog to show; empty when it can run.
using RangeBaseModulusCheck = std::string (*)(int qubits, int from, int to, std::int64_t x,
                                              std::int64_t n);

// "Execute" of the Shor dialogs: the range of lists 1001 and 1002 with the base x (field 1003)
// and the modulus N (field 1004), each read from at most maxChars characters with "%i", as the
// block {from, to, x, N}. Nothing runs when the range is not one, a field holds no number or
// the check (if any) explains why the gate would refuse.
void executeRangeBaseModulus(GateDialog& dialog, int maxChars = 31,
                             RangeBaseModulusCheck check = nullptr);

// Formats a step text (at most 255 characters) and records it through procstep.
[[gnu::format(printf, 1, 2)]] void recordStep(const char* format, ...);

// Runs another gate by path through procexecute, with a GateArgs block or a qubit number.
inline void runGate(const char* gatePath, const std::int32_t* block) {
    procexecute(gatePath, argumentWord(block));
}
inline void runGate(const char* gatePath, int qubit) {
    procexecute(gatePath, static_cast<std::intptr_t>(qubit));
}

// Shows a result text in an application-modal message box captioned "Result" with only an OK
// button and no icon, and returns when the user has closed it.
void showResult(const char* text);

} // namespace amplex::frame
