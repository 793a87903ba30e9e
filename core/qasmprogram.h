#pragma once

#include "core/operation.h"
#include "core/qasmerror.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace amplex {

// An OpenQASM 2 or 3 program read whole before anything runs: the size of its one qubit
// register and its operations in order, or the first statement that cannot run.
//
// Accepted: an optional "OPENQASM 2.x;" or "OPENQASM 3.x;" first; // and /* */ comments;
// include of "qelib1.inc" or "stdgates.inc"; one register "qreg q[n];", "qubit[n] q;" or
// "qubit q;" of 1 to MaxQubits qubits; classical "creg c[n];", "bit[n] c;", "bit c;"; the gates
// of QasmGate with angle expressions of numbers, pi (π), tau (τ), + - * /, unary minus and
// parentheses; "barrier", which changes nothing and gives no operation; "measure q[i] -> c[j];",
// "c[j] = measure q[i];" and "measure q[i];". An operand may be a qubit q[i], the whole
// register q or a slice q[a:b] (a to b inclusive); a gate on whole registers or slices is
// applied once per position, so "h q;" gives one operation per qubit, while a measurement of a
// register or a slice is one operation over the contiguous range.
struct QasmProgram {
    static constexpr int MaxQubits = 26;

    int qubitCount = 0;
    std::vector<Operation> operations;
    // Set when the program cannot run; qubitCount and operations are then empty.
    std::optional<QasmError> error;

    bool ok() const { return !error; }

    static QasmProgram parse(std::string_view source);
    // Reads the file and parses it; a file that cannot be read is an error without a place.
    static QasmProgram load(const std::filesystem::path& file);
};

} // namespace amplex
