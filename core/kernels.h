#pragma once

#include "core/complex.h"

#include <array>
#include <cstdint>
#include <span>

// The arithmetic of the gates, as plain functions over an amplitude array of count = 2^n
// entries (qubit k is bit k of the basis index). The gates check their arguments, call one
// of these and record the step; tests and benchmarks call them directly. Every kernel works
// in place, splits large passes over all cores (see parallelfor.h) and gives the same bits
// whatever the thread count. Qubit numbers must lie below n; the callers check them.
namespace amplex::kernels {

// The Hadamard factor, 1.0 / sqrt(2.0) = 0.7071067811865475: one unit in the last place below
// sqrt(0.5), and the value every stored result depends on.
double hadamardFactor();

// Partners whose distance in bytes is a multiple of this are read and written in a staggered
// order (the memory here is slow at that distance); the pair kernels below take it.
inline constexpr std::uint64_t AliasBytes = std::uint64_t{1} << 28;

// Pairs 2^k apart: i (bit k clear) and j = i + 2^k become h a_i + h a_j and h a_i - h a_j,
// both old values scaled by h = hadamardFactor() first. aliasBytes only changes the order of
// the work (tests lower it to reach the staggered order on small registers).
void hadamard(Complex* a, std::uint64_t count, int k, std::uint64_t aliasBytes = AliasBytes);

// Pairs 2^target apart where the control qubit is 1, with Hadamard's arithmetic but every sum
// begun at +0.0, as a sum into a cleared array would; where the control qubit is 0 every
// amplitude becomes 0.0 + a (so -0.0 turns into +0.0). control != target.
void controlledHadamard(Complex* a, std::uint64_t count, int control, int target);

// Diagonal: multiplies by c + i s (as c*re - s*im, c*im + s*re) every amplitude whose index
// has all bits of mask set.
void phase(Complex* a, std::uint64_t count, std::uint64_t mask, double c, double s);

// Permutation, pairs 2^target apart: swaps the pairs whose control qubit is 1.
// control != target.
void cnot(Complex* a, std::uint64_t count, int control, int target);

// Permutation, blocked: reverses the order of the qubits first .. last in every index, each
// pair i <-> mirror(i) swapped once, tile by tile so that both sides stay in cache.
void bitMirror(Complex* a, std::uint64_t count, int first, int last);

// Permutation, pairs i <-> i XOR (v << low): v = base^a mod modulus with a the value of the
// qubits from .. to of i. The qubits low .. low + bit_width(modulus - 1) - 1 lie outside
// from .. to, so v is the same at both ends and each pair is swapped once.
// base < modulus, modulus >= 2.
void modularPowerXor(Complex* a, std::uint64_t count, int from, int to, int low, std::uint32_t base,
                     std::uint32_t modulus);

// Pairs 2^target apart: where the qubits from .. to of an index hold one of the values, the
// amplitude moves to the index with the target qubit flipped. Values outside
// 0 .. 2^(to - from + 1) - 1 match nothing and a value listed twice counts once. Every
// amplitude is rewritten as a sum begun at +0.0, as into a cleared array; with the target
// inside from .. to two amplitudes may land on one index (their sum, lower index first) and
// leave +0.0 behind.
void flagOracle(Complex* a, std::uint64_t count, int from, int to, int target,
                std::span<const std::int32_t> values);

// Diagonal, only the marked indexes visited: negates every amplitude whose qubits from .. to
// hold a value listed an odd number of times. Values outside 0 .. 2^(to - from + 1) - 1
// match nothing.
void signOracle(Complex* a, std::uint64_t count, int from, int to,
                std::span<const std::int32_t> values);

// Pairs 2^target apart whose index has every bit of controlMask set (controlMask 0: every
// pair): x = a_i (target bit clear), y = a_j become m[0] x + m[1] y and m[2] x + m[3] y, the
// matrix row by row, each product rounded as Complex's own. Other amplitudes are not touched.
// The target bit lies outside controlMask.
void singleQubit(Complex* a, std::uint64_t count, std::uint64_t controlMask, int target,
                 const std::array<Complex, 4>& m);

// Permutation, pairs 2^target apart: swaps the pairs whose index has every bit of controlMask
// set (controlMask 0: the NOT gate; two bits: Toffoli). The target bit lies outside controlMask.
void flip(Complex* a, std::uint64_t count, std::uint64_t controlMask, int target);

// Permutation, pairs i <-> i with bits first and second exchanged: visits only the indexes
// where they differ, each pair once. first != second.
void swapQubits(Complex* a, std::uint64_t count, int first, int second);

// Read only, the indexes whose bits in mask equal value: the sum of their probabilities, added
// in increasing index order within each block of 2^16 indexes, then the block sums in order, so
// that every thread count gives the same bits (up to 2^16 amplitudes: the plain running sum).
double probabilityOf(const Complex* a, std::uint64_t count, std::uint64_t mask,
                     std::uint64_t value);

// Every amplitude, one pass: where the bits in mask equal value, both parts are multiplied by
// scale; everywhere else the amplitude becomes +0.0.
void collapse(Complex* a, std::uint64_t count, std::uint64_t mask, std::uint64_t value,
              double scale);

} // namespace amplex::kernels
