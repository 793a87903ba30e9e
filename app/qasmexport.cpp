#include "app/qasmexport.h"

#include "app/stephistory.h"
#include "app/stepoperation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string_view>

using amplex::Operation;

namespace {

// The gates written as one statement, by their OpenQASM 3 names.
constexpr std::string_view QasmGates[] = {"h",  "t",  "x",  "y",  "z",  "s",  "sdg", "tdg",  "p",
                                          "rx", "ry", "rz", "cx", "ch", "cz", "cp",  "swap", "ccx"};

// OpenQASM 2's qelib1.inc names the phase gates differently.
std::string_view nameFor(std::string_view name, QasmExport::Version version) {
    if (version == QasmExport::Version::Qasm2) {
        if (name == "p") {
            return "u1";
        }
        if (name == "cp") {
            return "cu1";
        }
    }
    return name;
}

std::string realText(double value) {
    char digits[32];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 17).ptr;
    return std::string(digits, end);
}

std::string qubit(int k) {
    return "q[" + std::to_string(k) + "]";
}

class Writer {
public:
    Writer(std::span<const QasmExport::Step> steps, int qubitCount, int depthFilter,
           QasmExport::Version version)
        : steps_(steps), qubitCount_(qubitCount), depthFilter_(depthFilter), version_(version),
          children_(steps.size()) {}

    QasmExport::Result write() {
        // Sub-steps are recorded before their composite, one level deeper. Steps still waiting
        // for theirs are kept in order, their depths never falling; a new step takes every
        // deeper one as its sub-steps. Those left at the end are the top of the tree.
        std::vector<int> waiting;
        for (int k = 0; k < static_cast<int>(steps_.size()); ++k) {
            auto from = waiting.end();
            while (from != waiting.begin() && depth(*(from - 1)) > depth(k)) {
                --from;
            }
            children_[static_cast<std::size_t>(k)].assign(from, waiting.end());
            waiting.erase(from, waiting.end());
            waiting.push_back(k);
        }
        for (const int k : waiting) {
            step(k);
        }
        QasmExport::Result result;
        const std::string n = std::to_string(qubitCount_);
        if (version_ == QasmExport::Version::Qasm3) {
            result.program = "OPENQASM 3.0;\ninclude \"stdgates.inc\";\nqubit[" + n + "] q;\n";
            if (measured_) {
                result.program += "bit[" + n + "] c;\n";
            }
        } else {
            result.program = "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg q[" + n + "];\n";
            if (measured_) {
                result.program += "creg c[" + n + "];\n";
            }
        }
        result.program += body_;
        result.warnings = std::move(warnings_);
        return result;
    }

private:
    int depth(int k) const { return steps_[static_cast<std::size_t>(k)].depth; }

    void step(int k) {
        const Operation op = StepOperation::read(steps_[static_cast<std::size_t>(k)].text);
        const std::vector<int>& children = children_[static_cast<std::size_t>(k)];
        const bool shown = depth(k) <= depthFilter_;
        const bool inRegister = std::all_of(op.qubits.begin(), op.qubits.end(),
                                            [this](int q) { return q < qubitCount_; });
        if (!inRegister) {
            comment(op.text + ": a qubit outside the register, left out");
            warn(op.text, "names a qubit outside the register: the file will not reproduce "
                          "the state.");
        } else if (std::find(std::begin(QasmGates), std::end(QasmGates), op.name) !=
                   std::end(QasmGates)) {
            rotationNote(op);
            gate(op.name, op.params, op.qubits);
        } else if (op.name == "measure") {
            comment(op.text + " (the outcome recorded)");
            measure(op.qubits);
        } else if (!children.empty()) {
            if (shown) {
                comment(op.text);
            }
            for (const int child : children) {
                step(child);
            }
        } else if (op.name == "hadamardrange" || op.name == "bitmirror") {
            if (shown) {
                comment(op.text);
            }
            const std::vector<int>& q = op.qubits;
            if (op.name == "hadamardrange") {
                for (const int target : q) {
                    gate("h", {}, {target});
                }
            } else {
                // Qubit first + i trades places with qubit last - i.
                for (std::size_t i = 0; i < q.size() / 2; ++i) {
                    gate("swap", {}, {q[i], q[q.size() - 1 - i]});
                }
            }
        } else {
            comment(op.text + ": no OpenQASM equivalent, left out");
            warn(op.name == "opaque" ? op.text : op.name,
                 "\"" + op.text +
                     "\" has no OpenQASM equivalent and no recorded sub-steps: the file will not "
                     "reproduce the state.");
        }
    }

    // The controlled rotation's text gives 5 digits of its angle: the reader tells which.
    void rotationNote(const Operation& op) {
        if (op.name != "cp" || !op.text.starts_with("Rotate 2 bits")) {
            return;
        }
        if (StepOperation::angleIsApproximate(op)) {
            comment(op.text + ": the angle is known to 5 digits only");
            warn("approximate angle",
                 "A controlled rotation's step gives its angle to 5 digits only: the file "
                 "reproduces the state only approximately.");
        } else if (op.params[0] != 0) {
            const int k = std::ilogb(std::numbers::pi) - std::ilogb(op.params[0]);
            comment(op.text + ": the exact angle " + (op.params[0] < 0 ? "-" : "") + "pi/2^" +
                    std::to_string(k) + " rebuilt from its 5 digits");
        }
    }

    void gate(std::string_view name, const std::vector<double>& params,
              const std::vector<int>& qubits) {
        body_ += nameFor(name, version_);
        if (!params.empty()) {
            body_ += '(';
            for (std::size_t i = 0; i < params.size(); ++i) {
                body_ += (i ? ", " : "") + realText(params[i]);
            }
            body_ += ')';
        }
        for (std::size_t i = 0; i < qubits.size(); ++i) {
            body_ += (i ? ", " : " ") + qubit(qubits[i]);
        }
        body_ += ";\n";
    }

    void measure(const std::vector<int>& qubits) {
        measured_ = true;
        warn("measure", "A measurement is drawn afresh where the file runs: the state is "
                        "reproduced only when it comes out as recorded.");
        for (const int k : qubits) {
            const std::string bit = "c[" + std::to_string(k) + "]";
            body_ += version_ == QasmExport::Version::Qasm3
                         ? bit + " = measure " + qubit(k) + ";\n"
                         : "measure " + qubit(k) + " -> " + bit + ";\n";
        }
    }

    // A user's step text may hold line breaks, which would end the comment early.
    void comment(std::string text) {
        std::replace_if(
            text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; },
            ' ');
        body_ += "// " + text + "\n";
    }

    void warn(const std::string& kind, const std::string& text) {
        if (std::find(warnedKinds_.begin(), warnedKinds_.end(), kind) == warnedKinds_.end()) {
            warnedKinds_.push_back(kind);
            warnings_.push_back(text);
        }
    }

    std::span<const QasmExport::Step> steps_;
    int qubitCount_;
    int depthFilter_;
    QasmExport::Version version_;
    std::vector<std::vector<int>> children_;
    std::string body_;
    bool measured_ = false;
    std::vector<std::string> warnedKinds_;
    std::vector<std::string> warnings_;
};

} // namespace

QasmExport::Result QasmExport::write(std::span<const Step> steps, int qubitCount, int depthFilter,
                                     Version version) {
    return Writer(steps, qubitCount, depthFilter, version).write();
}

std::vector<QasmExport::Step> QasmExport::stepsUpToPosition(const StepHistory& history) {
    std::vector<Step> steps;
    for (int k = 0; k < history.historyPosition(); ++k) {
        steps.push_back({history.entry(k).text, history.entry(k).depth});
    }
    return steps;
}
