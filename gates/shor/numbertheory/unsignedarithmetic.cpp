#include "gates/shor/numbertheory/unsignedarithmetic.h"

namespace amplex::numbertheory {

std::uint32_t gcd(std::uint32_t p, std::uint32_t q) {
    if (q == 0) {
        return p;
    }
    for (;;) {
        const std::uint32_t t = p % q;
        if (t == 0) {
            return q;
        }
        p = q;
        q = t;
    }
}

std::uint32_t modularPower(std::uint32_t x, std::uint32_t e, std::uint32_t n) {
    if (n == 0) {
        return 0;
    }
    std::uint64_t result = 1 % n;
    std::uint64_t base = x;
    while (e != 0) {
        if (e & 1u) {
            result = (base * result) % n;
        }
        base = (base * base) % n;
        e >>= 1;
    }
    return static_cast<std::uint32_t>(result);
}

} // namespace amplex::numbertheory
