#pragma once

// The binary contract between the program and its gate plug-ins.
//
// Every plug-in is a shared object gates/<dir>/<name>.so exporting exactly seven symbols with
// C linkage: the functions execute, dlgshow and dlghide, and the data slots procexecute,
// procstep, r and hdll, which the program writes after loading the library and before it
// calls any function of it.
//
// A gate is named by its gate path, directory levels joined by "\" (basic\hadamardrange).
// execute takes one pointer-sized argument word: the qubit number itself for the single-qubit
// gates (basic\hadamard, basic\pieighth), the address of the caller's GateArgs block for every
// other gate. A GateArgs block is consecutive int32_t; a double takes two of them, low half
// first. The block belongs to the caller and lives only during the call.

#include <cstdint>
#include <cstring>

class QRegister;

#define AMPLEX_EXPORT __attribute__((visibility("default")))

extern "C" {
using RunGateFn = void (*)(const char* gatePath, std::intptr_t word);
using RecordStepFn = void (*)(const char* stepText);
using ExecuteFn = void (*)(std::intptr_t word);
using DlgShowFn = int (*)(int x, int y, int width, int height);
using DlgHideFn = void (*)(void);
}

namespace amplex {

// Export names, looked up with dlsym.
inline constexpr const char* ExecuteSymbol = "execute";
inline constexpr const char* DlgShowSymbol = "dlgshow";
inline constexpr const char* DlgHideSymbol = "dlghide";
inline constexpr const char* ProcExecuteSymbol = "procexecute";
inline constexpr const char* ProcStepSymbol = "procstep";
inline constexpr const char* RegisterSymbol = "r";
inline constexpr const char* HandleSymbol = "hdll";

// Longest step text that the history keeps; longer texts are cut.
inline constexpr int MaxStepTextLength = 255;

// The argument word for a GateArgs block, and back.
inline std::intptr_t argumentWord(const std::int32_t* block) {
    return reinterpret_cast<std::intptr_t>(block);
}
inline const std::int32_t* gateArgs(std::intptr_t word) {
    return reinterpret_cast<const std::int32_t*>(word);
}

// A double in two consecutive ints of a GateArgs block, low half first (x86-64 is
// little-endian, so this is the double's own byte image).
inline void putDouble(std::int32_t* slot, double value) {
    std::memcpy(slot, &value, sizeof value);
}
inline double getDouble(const std::int32_t* slot) {
    double value;
    std::memcpy(&value, slot, sizeof value);
    return value;
}

} // namespace amplex
