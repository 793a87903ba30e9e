#include "gates/shor/numbertheory/shorchecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace {

// Draw sources for the random-factor test.
int drawZero() {
    return 0; // y = 1: never a factor
}
int drawTop() {
    return 32767; // y = N - 1: never a factor
}
int drawForThreeOfFifteen() {
    return 6000; // y = trunc(6000 / 32767 * 13 + 1) = 3
}

std::string powerText(std::uint32_t n, std::uint32_t root) {
    return "1. " + std::to_string(n) + " is not even.\n\n2. " + std::to_string(n) +
           " is a power of " + std::to_string(root) + ".\n\ndone.";
}

// c^k, or 0 once it passes 2^32.
std::uint64_t exactPower(std::uint64_t c, int k) {
    std::uint64_t p = 1;
    for (int i = 0; i < k; ++i) {
        p *= c;
        if (p > 0xFFFFFFFFull) {
            return 0;
        }
    }
    return p;
}

// The base of n = c^k with the smallest k >= 2 and c >= 2, by floating-point roots checked
// exactly.
std::optional<std::uint32_t> bruteForceRoot(std::uint32_t n) {
    for (int k = 2; k <= 32; ++k) {
        const auto c = static_cast<std::int64_t>(std::llround(std::pow(double(n), 1.0 / k)));
        for (std::int64_t candidate = c - 1; candidate <= c + 1; ++candidate) {
            if (candidate >= 2 && exactPower(static_cast<std::uint64_t>(candidate), k) == n) {
                return static_cast<std::uint32_t>(candidate);
            }
        }
    }
    return std::nullopt;
}

TEST(ShorChecks, ReportsEachOfTheFourOutcomes) {
    EXPECT_EQ(ShorChecks::report(0, drawZero), "1. 0 is even.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(2, drawZero), "1. 2 is even.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(9, drawZero), powerText(9, 3));
    EXPECT_EQ(ShorChecks::report(1, drawZero), powerText(1, 1));
    EXPECT_EQ(ShorChecks::report(15, drawForThreeOfFifteen),
              "1. 15 is not even.\n\n2. 15 is not a power of an integer.\n\n3. Random GCD found "
              "3 as a factor.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(15, drawTop),
              "1. 15 is not even.\n\n2. 15 is not a power of an integer.\n\n3. Random GCD didn't "
              "find a factor.\n\nAlgorithm failed.");
    // Every candidate for 3 is 1 or 2.
    EXPECT_EQ(ShorChecks::report(3, drawForThreeOfFifteen),
              "1. 3 is not even.\n\n2. 3 is not a power of an integer.\n\n3. Random GCD didn't "
              "find a factor.\n\nAlgorithm failed.");
}

TEST(ShorChecks, ReportsTheRootOfTheSmallestExponent) {
    EXPECT_EQ(ShorChecks::perfectPowerRoot(6561), 81u);           // 3^8
    EXPECT_EQ(ShorChecks::perfectPowerRoot(59049), 243u);         // 3^10
    EXPECT_EQ(ShorChecks::perfectPowerRoot(3486784401u), 59049u); // 3^20
    EXPECT_EQ(ShorChecks::perfectPowerRoot(1162261467u), 3u);     // 3^19
    EXPECT_EQ(ShorChecks::perfectPowerRoot(1977326743u), 7u);     // 7^11
}

TEST(ShorChecks, PerfectPowerTestIsExactForEveryOddNBelow58369) {
    for (std::uint32_t n = 3; n < 58369; n += 2) {
        ASSERT_EQ(ShorChecks::perfectPowerRoot(n), bruteForceRoot(n)) << n;
    }
}

// Above 58368 a 32-bit power in the root iteration could wrap to 0 and be divided by.
TEST(ShorChecks, PerfectPowerTestIsExactUpTo2To32) {
    const std::uint32_t samples[] = {58369u,
                                     241u * 243u,
                                     4293001441u /* 65521^2 */,
                                     4291015625u /* 1625^3 */,
                                     4294836225u /* 65535^2 */,
                                     4294967295u,
                                     4294967291u,
                                     2147483647u,
                                     3u * 3u * 65521u};
    for (const std::uint32_t n : samples) {
        EXPECT_EQ(ShorChecks::perfectPowerRoot(n), bruteForceRoot(n)) << n;
    }
    // Every odd perfect power c^k below 2^32.
    for (std::uint64_t c = 3; c < 65536; c += 2) {
        for (int k = 2; k <= 20; ++k) {
            const std::uint64_t n = exactPower(c, k);
            if (n == 0) {
                break;
            }
            ASSERT_EQ(ShorChecks::perfectPowerRoot(static_cast<std::uint32_t>(n)),
                      bruteForceRoot(static_cast<std::uint32_t>(n)))
                << c << "^" << k;
        }
    }
    std::mt19937 random(12345);
    for (int i = 0; i < 100000; ++i) {
        const std::uint32_t n = random() | 1u;
        ASSERT_EQ(ShorChecks::perfectPowerRoot(n), bruteForceRoot(n)) << n;
    }
}

int drawSequence() {
    static int next = 0;
    return (next += 4099) % 32768;
}

TEST(ShorChecks, LargestNGivesOneOfTheFourTexts) {
    // 4294967295 = 3 * 5 * 17 * 257 * 65537: one in three draws shares the factor 3.
    const std::string text = ShorChecks::report(4294967295u, drawSequence);
    EXPECT_EQ(text.rfind("1. 4294967295 is not even.\n\n2. 4294967295 is not a power of an "
                         "integer.\n\n3. Random GCD found ",
                         0),
              0u)
        << text;
    EXPECT_EQ(ShorChecks::report(4293001441u, drawZero), powerText(4293001441u, 65521));
}

} // namespace
