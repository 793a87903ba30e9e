#pragma once

#include <string_view>

namespace amplex {

// How a plug-in takes an operation: the one qubit as the argument word itself; a GateArgs
// block of the qubits in order followed by each angle as a double; or a block {first, last}
// of a contiguous range of qubits.
enum class GateArgument { Word, Block, Range };

// One OpenQASM gate that a plug-in runs: what the import accepts, and the plug-in that the
// runner loads for it.
struct QasmGate {
    std::string_view name; // as an Operation names it
    int qubits;            // operands; 0 for any number (a range)
    int angles;
    const char* gatePath;
    GateArgument argument;

    // The gate of an OpenQASM name or alias ("u1" is "p", "cu1" is "cp", "CX" is "cx"),
    // or nullptr.
    static const QasmGate* find(std::string_view name);
};

} // namespace amplex
