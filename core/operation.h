#pragma once

#include <string>
#include <vector>

namespace amplex {

// One operation of a circuit: what a recorded step stands for, or what a line of an
// OpenQASM program asks for. The circuit view, the export and the import all speak it.
struct Operation {
    // The OpenQASM name where there is one ("h", "x", "cx", "rz", "ccx", "measure", ...),
    // otherwise this program's own lower-case name ("bitmirror", "power", "seeker", ...),
    // or "opaque" for a step nobody here knows (a user's own gate).
    std::string name;
    // Controls first, then targets, as OpenQASM orders them; a range gate lists every qubit.
    std::vector<int> qubits;
    // Angles in radians.
    std::vector<double> params;
    // The step text it was read from (shown for opaque steps), empty for parsed programs.
    std::string text;
};

} // namespace amplex
