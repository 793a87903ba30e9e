#include "host/circuitrunner.h"

#include "core/qasmgate.h"
#include "core/qregister.h"
#include "host/gatehost.h"

#include <cstdint>

namespace {

using amplex::GateArgument;
using amplex::Operation;
using amplex::QasmGate;

// Why the operation cannot run on a register of n qubits, or empty.
std::string refusal(const Operation& op, const QasmGate* gate, int n) {
    if (!gate) {
        return "no plug-in runs \"" + op.name + "\"";
    }
    for (int qubit : op.qubits) {
        if (qubit < 0 || qubit >= n) {
            return "qubit " + std::to_string(qubit) + " is outside the register";
        }
    }
    const auto count = static_cast<int>(op.qubits.size());
    if (gate->argument == GateArgument::Range) {
        for (int k = 0; k < count; ++k) {
            if (op.qubits[static_cast<std::size_t>(k)] != op.qubits[0] + k) {
                return "the qubits are not a range";
            }
        }
        return count == 0 ? "no qubits" : "";
    }
    if (count != gate->qubits || static_cast<int>(op.params.size()) != gate->angles) {
        return "wrong number of qubits or angles";
    }
    return {};
}

} // namespace

std::size_t CircuitRunner::run(GateHost& host, const std::vector<Operation>& operations,
                               std::string& failure) {
    failure.clear();
    std::size_t done = 0;
    for (const Operation& op : operations) {
        const QasmGate* gate = QasmGate::find(op.name);
        std::string why = refusal(op, gate, host.liveRegister().qubitCount);
        if (why.empty() && !host.refusingRuns()) {
            // The block: the qubits in order, then each angle as a double in two ints; a
            // range is {first, last}.
            std::int32_t block[8] = {};
            std::intptr_t word = amplex::argumentWord(block);
            std::size_t k = 0;
            switch (gate->argument) {
            case GateArgument::Word:
                word = op.qubits[0];
                break;
            case GateArgument::Block:
                for (int qubit : op.qubits) {
                    block[k++] = qubit;
                }
                for (double angle : op.params) {
                    amplex::putDouble(block + k, angle);
                    k += 2;
                }
                break;
            case GateArgument::Range:
                block[0] = op.qubits.front();
                block[1] = op.qubits.back();
                break;
            }
            host.runTopLevel(gate->gatePath, word);
            if (host.runFailure().empty()) {
                ++done;
            }
        }
        if (why.empty() && host.refusingRuns()) {
            why = host.runFailure().empty() ? "stopped" : host.runFailure();
        }
        if (!why.empty()) {
            failure = "operation " + std::to_string(&op - operations.data() + 1) + " (" + op.name +
                      "): " + why;
            return done;
        }
    }
    return done;
}
