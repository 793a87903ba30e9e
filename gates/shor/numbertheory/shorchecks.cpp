#include "gates/shor/numbertheory/shorchecks.h"

#include "gates/shor/numbertheory/unsignedarithmetic.h"

#include <cstdio>

namespace {

// Any product at or above this is larger than every 32-bit n, which is all the iteration needs
// to know of it: the quotient n / d is then 0 and the comparison with n comes out the same.
constexpr std::uint64_t Ceiling = std::uint64_t{1} << 40;

std::uint64_t cappedProduct(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > Ceiling / a) {
        return Ceiling;
    }
    return a * b;
}

// b^e for b >= 1, held at the ceiling.
std::uint64_t cappedPower(std::uint64_t b, std::uint32_t e) {
    std::uint64_t result = 1;
    while (e != 0) {
        if (e & 1u) {
            result = cappedProduct(result, b);
        }
        b = cappedProduct(b, b);
        e >>= 1;
    }
    return result;
}

// The double nearest to 1/32767: a draw times this lies in 0 .. 1.
constexpr double DrawScale = 0.00003051850947599719;

} // namespace

std::optional<std::uint32_t> ShorChecks::rootAttempt(std::uint32_t n, std::uint32_t k,
                                                     std::uint64_t& guess) {
    // k = 0 would divide by zero and k = 1 has no root to find. The iteration only descends:
    // from a guess below the root (0 among them) it would stop at once and, with n = 0 or a
    // guess of 1, call that guess the root.
    if (k < 2 || n == 0 || cappedPower(guess, k) < n) {
        return std::nullopt;
    }
    std::uint64_t c = guess;
    std::uint64_t d = n;
    // Newton's iteration from above. The guess never drops below 1 (for n >= 1), so d >= 1.
    while (cappedProduct(d, c) > n) {
        d = cappedPower(c, k - 1);
        c = ((k - 1) * c + n / d) / k;
    }
    guess = c;
    // d is the power of the previous c: d * c = n (255^2 * 256 = 16711680) is no root.
    if (cappedPower(c, k) == n) {
        return static_cast<std::uint32_t>(c);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ShorChecks::perfectPowerRoot(std::uint32_t n) {
    if (n == 0) {
        return std::nullopt;
    }
    std::uint64_t guess = n / 2 + 1;
    for (std::uint32_t k = 2; k <= 32; ++k) {
        // The (k-1)-th root was below 2, so no root of a higher exponent is 2 or more.
        if (guess == 2) {
            return std::nullopt;
        }
        if (const auto root = rootAttempt(n, k, guess)) {
            return root;
        }
        ++guess;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ShorChecks::randomFactor(std::uint32_t n, DrawFn draw) {
    // Below 3 the span n - 2 wraps to about 2^32 and y would leave the 32-bit range.
    if (n < 3 || !draw) {
        return std::nullopt;
    }
    for (int attempt = 0; attempt < RandomAttempts; ++attempt) {
        const double span = static_cast<double>(n - 2u);
        const auto y = static_cast<std::uint32_t>(draw() * DrawScale * span + 1.0);
        const std::uint32_t g = amplex::numbertheory::gcd(y, n);
        if (g > 1) {
            return g;
        }
    }
    return std::nullopt;
}

std::string ShorChecks::report(std::uint32_t n, DrawFn draw) {
    char text[1024];
    if (n % 2 == 0) {
        std::snprintf(text, sizeof text, "1. %u is even.\n\ndone.", n);
    } else if (const auto root = perfectPowerRoot(n)) {
        std::snprintf(text, sizeof text, "1. %u is not even.\n\n2. %u is a power of %u.\n\ndone.",
                      n, n, *root);
    } else if (const auto factor = randomFactor(n, draw)) {
        std::snprintf(text, sizeof text,
                      "1. %u is not even.\n\n2. %u is not a power of an integer.\n\n3. Random GCD "
                      "found %u as a factor.\n\ndone.",
                      n, n, *factor);
    } else {
        std::snprintf(text, sizeof text,
                      "1. %u is not even.\n\n2. %u is not a power of an integer.\n\n3. Random GCD "
                      "didn't find a factor.\n\nAlgorithm failed.",
                      n, n);
    }
    return text;
}
