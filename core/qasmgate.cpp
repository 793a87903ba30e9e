#include "core/qasmgate.h"

#include <utility>

namespace amplex {

namespace {

// Steps keep the plug-ins' own texts, so the elementary gates that existed first keep their
// paths: h, t, cx, ch and cp are the basic and Fourier-transform plug-ins.
constexpr QasmGate Gates[] = {
    {"h", 1, 0, "basic\\hadamard", GateArgument::Word},
    {"x", 1, 0, "standard\\x", GateArgument::Word},
    {"y", 1, 0, "standard\\y", GateArgument::Word},
    {"z", 1, 0, "standard\\z", GateArgument::Word},
    {"s", 1, 0, "standard\\s", GateArgument::Word},
    {"sdg", 1, 0, "standard\\sdg", GateArgument::Word},
    {"t", 1, 0, "basic\\pieighth", GateArgument::Word},
    {"tdg", 1, 0, "standard\\tdg", GateArgument::Word},
    {"p", 1, 1, "standard\\phase", GateArgument::Block},
    {"rx", 1, 1, "standard\\rx", GateArgument::Block},
    {"ry", 1, 1, "standard\\ry", GateArgument::Block},
    {"rz", 1, 1, "standard\\rz", GateArgument::Block},
    {"cx", 2, 0, "basic\\cnotgate", GateArgument::Block},
    {"cz", 2, 0, "standard\\cz", GateArgument::Block},
    {"ch", 2, 0, "basic\\ctrlhadamard", GateArgument::Block},
    {"cp", 2, 1, "shor\\modules\\ctrlrotate", GateArgument::Block},
    {"swap", 2, 0, "standard\\swap", GateArgument::Block},
    {"ccx", 3, 0, "standard\\toffoli", GateArgument::Block},
    {"measure", 0, 0, "standard\\measure", GateArgument::Range},
};

// The older and the longer names of the same gates in qelib1.inc and stdgates.inc.
constexpr std::pair<std::string_view, std::string_view> Aliases[] = {
    {"u1", "p"}, {"phase", "p"}, {"cu1", "cp"}, {"cphase", "cp"}, {"CX", "cx"}};

} // namespace

const QasmGate* QasmGate::find(std::string_view name) {
    for (const auto& [alias, gate] : Aliases) {
        if (name == alias) {
            name = gate;
        }
    }
    for (const QasmGate& gate : Gates) {
        if (gate.name == name) {
            return &gate;
        }
    }
    return nullptr;
}

} // namespace amplex
