#pragma once

#include <cstdint>

namespace amplex::kernels {

// x reduced into 0 .. modulus - 1 the mathematical way, also for negative x (-1 gives
// modulus - 1). modulus must not be 0.
inline std::uint32_t reduceModulo(std::int64_t x, std::uint32_t modulus) {
    const auto m = static_cast<std::int64_t>(modulus);
    return static_cast<std::uint32_t>(((x % m) + m) % m);
}

// a * b mod modulus for a, b below modulus < 2^32: the product fits in 64 bits.
inline std::uint32_t multiplyModulo(std::uint32_t a, std::uint32_t b, std::uint32_t modulus) {
    return static_cast<std::uint32_t>(std::uint64_t{a} * b % modulus);
}

// base^exponent mod modulus by square and multiply, base below modulus, modulus >= 1.
// 0^0 is 1 mod modulus.
inline std::uint32_t modularPower(std::uint32_t base, std::uint64_t exponent,
                                  std::uint32_t modulus) {
    std::uint32_t result = 1 % modulus;
    for (; exponent != 0; exponent >>= 1) {
        if (exponent & 1) {
            result = multiplyModulo(result, base, modulus);
        }
        base = multiplyModulo(base, base, modulus);
    }
    return result;
}

} // namespace amplex::kernels
