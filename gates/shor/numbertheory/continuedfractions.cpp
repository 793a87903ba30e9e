#include "gates/shor/numbertheory/continuedfractions.h"

#include "gates/shor/numbertheory/unsignedarithmetic.h"

#include <cstdio>

using amplex::numbertheory::gcd;
using amplex::numbertheory::modularPower;

std::uint32_t ContinuedFractions::measuredValue(std::uint32_t index, int from, int to) {
    // Outside these bounds a shift below would be by a negative count or by 32 or more.
    if (from < 0 || from > to || to > 30) {
        return 0;
    }
    const int high = 31 - to;
    return ((index << high) >> high) >> from;
}

std::uint32_t ContinuedFractions::orderCandidate(std::uint32_t a, int m) {
    if (m < 1 || m > 31) {
        return 0;
    }
    const std::uint32_t q = std::uint32_t{1} << m;
    return q / gcd(a, q);
}

std::string ContinuedFractions::report(std::uint32_t a, int m, std::int32_t x, std::int32_t n) {
    const std::uint32_t d = orderCandidate(a, m);
    const auto ux = static_cast<std::uint32_t>(x);
    const auto un = static_cast<std::uint32_t>(n);

    char measured[128];
    // Every number is shown as the unsigned value it is computed with: a huge N typed into the
    // dialog reads 4294967295, not -1. Below 2^31 the texts are the signed ones.
    std::snprintf(measured, sizeof measured, "Measured: a = %u", a);
    char order[128];
    std::snprintf(order, sizeof order, "Order: ord %u (%u) = %u", un, ux, d);

    char outcome[128] = "No factor found. The algorithm failed.";
    if (un < 2) {
        // Without this, N = 0 would divide by zero in the modular power and the gcds.
        std::snprintf(outcome, sizeof outcome, "N must be at least 2.");
    } else if (d == 0) {
        std::snprintf(outcome, sizeof outcome, "The measured bits must number 1 to 31.");
    } else if (d % 2 == 0) {
        const std::uint32_t f = modularPower(ux, d / 2, un);
        if (f != un - 1) {
            // f - 1 taken modulo N: f = 0 (x shares a factor with N) gives N - 1, not a wrapped
            // 2^32 - 1 whose divisors have nothing to do with N.
            const std::uint32_t g = gcd(f == 0 ? un - 1 : f - 1, un);
            const std::uint32_t h = gcd(f + 1, un);
            const bool gProper = g != 1 && g != un;
            const bool hProper = h != 1 && h != un;
            if (gProper && hProper) {
                std::snprintf(outcome, sizeof outcome,
                              "Factors found: a = %u, b = %u and a = %u, b = %u", g, un / g, h,
                              un / h);
            } else if (gProper || hProper) {
                const std::uint32_t p = gProper ? g : h;
                std::snprintf(outcome, sizeof outcome, "Factors found: a = %u, b = %u", p, un / p);
            } else {
                std::snprintf(outcome, sizeof outcome,
                              "Trivial factor found. The algorithm failed.");
            }
        }
    }

    char text[512];
    std::snprintf(text, sizeof text, "%s%c%c%c%c%s%c%c%c%c%s", measured, 13, 10, 13, 10, order, 13,
                  10, 13, 10, outcome);
    return text;
}
