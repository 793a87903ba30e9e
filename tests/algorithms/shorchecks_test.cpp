#include "gates/shor/numbertheory/shorchecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace {

// Draws for the random-factor test: y = trunc(draw / 32767 * (N - 2) + 1).
int drawZero() {
    return 0; // y = 1
}
int drawTop() {
    return 32767; // y = N - 1
}
int drawThreeOfFifteen() {
    return 6000; // y = 3 for N = 15
}

// c^k, or 0 once it passes 2^32.
std::uint64_t exactPower(std::uint64_t c, int k) {
    std::uint64_t p = 1;
    for (int i = 0; i < k && p != 0; ++i) {
        p = p * c > 0xFFFFFFFFull ? 0 : p * c;
    }
    return p;
}

// The base c >= 2 of n = c^k with the smallest k, from floating-point roots checked exactly.
std::optional<std::uint32_t> bruteForceRoot(std::uint32_t n) {
    for (int k = 2; k <= 32; ++k) {
        const std::int64_t c = std::llround(std::pow(double(n), 1.0 / k));
        for (std::int64_t b = std::max<std::int64_t>(c - 1, 2); b <= c + 1; ++b) {
            if (exactPower(static_cast<std::uint64_t>(b), k) == n) {
                return static_cast<std::uint32_t>(b);
            }
        }
    }
    return std::nullopt;
}

TEST(ShorChecks, ReportsEachOfTheFourOutcomes) {
    const std::string notPower = " is not even.\n\n2. 15 is not a power of an integer.\n\n3. ";
    EXPECT_EQ(ShorChecks::report(0, drawZero), "1. 0 is even.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(2, drawZero), "1. 2 is even.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(9, drawZero),
              "1. 9 is not even.\n\n2. 9 is a power of 3.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(1, drawZero),
              "1. 1 is not even.\n\n2. 1 is a power of 1.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(15, drawThreeOfFifteen),
              "1. 15" + notPower + "Random GCD found 3 as a factor.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(15, drawTop),
              "1. 15" + notPower + "Random GCD didn't find a factor.\n\nAlgorithm failed.");
    // Every candidate for 3 is 1 or 2.
    EXPECT_EQ(ShorChecks::report(3, drawThreeOfFifteen),
              "1. 3 is not even.\n\n2. 3 is not a power of an integer.\n\n3. Random GCD didn't "
              "find a factor.\n\nAlgorithm failed.");
}

// Above 58368 a 32-bit power in the root iteration could wrap to 0 and be divided by: 58369 is
// the first such N (k = 12, guess 8).
TEST(ShorChecks, PerfectPowerTestIsExactForEveryOddN) {
    // The root of the smallest exponent is reported.
    EXPECT_EQ(ShorChecks::perfectPowerRoot(6561), 81u);           // 3^8
    EXPECT_EQ(ShorChecks::perfectPowerRoot(59049), 243u);         // 3^10
    EXPECT_EQ(ShorChecks::perfectPowerRoot(3486784401u), 59049u); // 3^20
    EXPECT_EQ(ShorChecks::perfectPowerRoot(1162261467u), 3u);     // 3^19
    EXPECT_EQ(ShorChecks::perfectPowerRoot(4293001441u), 65521u); // 65521^2
    EXPECT_EQ(ShorChecks::perfectPowerRoot(4291015625u), 1625u);  // 1625^3
    for (const std::uint32_t n : {58369u, 58371u, 4294967295u, 4294967291u, 4294836225u}) {
        EXPECT_EQ(ShorChecks::perfectPowerRoot(n), bruteForceRoot(n)) << n;
    }
    for (std::uint32_t n = 3; n < 60000; n += 2) {
        ASSERT_EQ(ShorChecks::perfectPowerRoot(n), bruteForceRoot(n)) << n;
    }
    // Every odd perfect power below 2^32, and random odd N.
    for (std::uint64_t c = 3; c < 65536; c += 2) {
        for (int k = 2; exactPower(c, k) != 0; ++k) {
            const auto n = static_cast<std::uint32_t>(exactPower(c, k));
            ASSERT_EQ(ShorChecks::perfectPowerRoot(n), bruteForceRoot(n)) << c << "^" << k;
        }
    }
    std::mt19937 random(12345);
    for (int i = 0; i < 100000; ++i) {
        const std::uint32_t n = random() | 1u;
        ASSERT_EQ(ShorChecks::perfectPowerRoot(n), bruteForceRoot(n)) << n;
    }
}

} // namespace
