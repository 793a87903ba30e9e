#pragma once

#include <cstdint>

// Unsigned 32-bit number theory shared by the classical parts of Shor's algorithm.
namespace amplex::numbertheory {

// Greatest common divisor by Euclid's remainders. gcd(0, q) = q and gcd(p, 0) = p, so a zero
// never reaches a division.
std::uint32_t gcd(std::uint32_t p, std::uint32_t q);

// x^e mod n for every 32-bit x, e and n >= 1, exact: the products are taken in 64 bits, so
// neither x nor n needs to stay below 2^16. x^0 is 1 mod n. n = 0 has no residues and gives 0.
std::uint32_t modularPower(std::uint32_t x, std::uint32_t e, std::uint32_t n);

} // namespace amplex::numbertheory
