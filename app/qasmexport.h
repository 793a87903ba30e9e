#pragma once

#include <span>
#include <string>
#include <vector>

class StepHistory;

// The history as an OpenQASM program: qubit k is q[k], the steps up to the history position in
// order. Reading the steps is StepOperation's; this decides what each becomes.
//
// A step comes with the steps recorded before it one nesting level deeper, which its gate ran:
// its sub-steps. A gate OpenQASM knows is one statement. Any other step is written as its
// sub-steps; those at the chosen depth filter or above are introduced by a comment with their
// text. Without sub-steps, a Hadamard range is its H gates and a bit mirror its swaps; any
// other step (an oracle, the modular power, a user's own gate) is a comment only, and a warning
// says that the file will not reproduce the state. Angles are written with 17 significant
// digits; a controlled rotation whose text holds its angle to 5 digits says in a comment
// whether the exact angle pi / 2^k could be rebuilt, and warns when not. A measurement is
// written with its recorded outcome in a comment; it is drawn afresh where the file runs.
class QasmExport {
public:
    enum class Version { Qasm3, Qasm2 };

    struct Step {
        std::string text;
        int depth = 0;
    };

    struct Result {
        std::string program;
        // One line per kind of loss, in order of first appearance; empty when the file
        // reproduces the state.
        std::vector<std::string> warnings;
    };

    static Result write(std::span<const Step> steps, int qubitCount, int depthFilter,
                        Version version = Version::Qasm3);
    // Entries 0 .. historyPosition - 1: what the register shows now.
    static std::vector<Step> stepsUpToPosition(const StepHistory& history);
};
