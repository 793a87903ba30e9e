#pragma once

#include <cstdint>
#include <string>

// The classical post-processing of Shor's algorithm: from a measured exponent a over m qubits,
// the order candidate d of x modulo N (the denominator of a / 2^m in lowest terms) and, when
// d is even, the factors gcd(x^(d/2) -+ 1, N). Pure functions; all arithmetic is unsigned
// 32-bit except the modular power, which is exact.
class ContinuedFractions {
public:
    // The value of bits from .. to of a basis index (bit from is its least significant bit),
    // for 0 <= from <= to <= 30; 0 for any other bounds.
    static std::uint32_t measuredValue(std::uint32_t index, int from, int to);
    // The denominator of a / 2^m in lowest terms, for m in 1 .. 31; a = 0 gives 1. Any other
    // m gives 0, which report explains on its third line.
    static std::uint32_t orderCandidate(std::uint32_t a, int m);
    // The three lines "Measured", "Order" and the outcome, each pair separated by an empty
    // line (CR LF twice). x and n are computed with and written as unsigned. An n
    // below 2 has nothing to factor and is refused on the third line.
    static std::string report(std::uint32_t a, int m, std::int32_t x, std::int32_t n);
};
