#pragma once

#include "core/operation.h"

#include <string>
#include <vector>

class GateHost;

// Runs the operations of a circuit (an OpenQASM program) through the host, each as the plug-in
// of its gate (QasmGate) and at the top level, as if the user had run it from that gate's
// dialog: every operation records one step of its own.
class CircuitRunner {
public:
    // Runs the operations in order on the host's live register, which the caller has already
    // reset to the circuit's size. Stops before the first operation that cannot run (a name
    // without a plug-in, qubits outside the register or not as its gate takes them) and after
    // one whose plug-in could not be loaded or during which a stop was requested. Returns how
    // many ran; why it stopped, if it did, goes into failure.
    static std::size_t run(GateHost& host, const std::vector<amplex::Operation>& operations,
                           std::string& failure);
};
