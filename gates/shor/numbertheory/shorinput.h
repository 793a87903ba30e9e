#pragma once

#include <cstdint>
#include <string>

// Why a modular power or a whole Shor run would do nothing or nothing useful for the numbers a
// user typed, in one line for the dialog; empty when the run can go ahead. The gates refuse
// these inputs themselves; these texts tell the user why. Pure functions.
class ShorInput {
public:
    // The qubits that x^a mod N needs: the bit length of N - 1, for N >= 2; 0 below.
    static int valueWidth(std::uint32_t n);
    // The power's checks: N in 2 .. 2^31 - 1 (it is read as a signed int), and room for the
    // value register above `to` or below `from` in a register of `qubits` qubits.
    static std::string powerRefusal(int qubits, int from, int to, std::int64_t n);
    // The Shor driver's checks, before any quantum step: a range of at least two qubits, the
    // power's checks, N small enough for the register at all, x in 2 .. N - 2 and gcd(x, N) = 1
    // (else the factor is named: it needs no quantum part).
    static std::string driverRefusal(int qubits, int from, int to, std::int64_t x, std::int64_t n);
};
