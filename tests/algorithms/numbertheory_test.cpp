// The classical arithmetic of the Shor gates, and the exact texts that they report.

#include "gates/shor/numbertheory/continuedfractions.h"
#include "gates/shor/numbertheory/shorchecks.h"
#include "gates/shor/numbertheory/shorinput.h"
#include "gates/shor/numbertheory/unsignedarithmetic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>

namespace {

using amplex::numbertheory::gcd;
using amplex::numbertheory::modularPower;

// Every odd perfect power below 2^32, with the root of its smallest exponent (the largest root).
std::map<std::uint32_t, std::uint32_t> oddPerfectPowers() {
    std::map<std::uint32_t, std::uint32_t> roots;
    for (std::uint64_t c = 3; c * c <= 0xFFFFFFFFu; c += 2) {
        for (std::uint64_t n = c * c; n <= 0xFFFFFFFFu; n *= c) {
            auto& root = roots[static_cast<std::uint32_t>(n)];
            root = std::max(root, static_cast<std::uint32_t>(c));
        }
    }
    return roots;
}

TEST(ShorChecks, ReportsEachOfTheFourOutcomes) {
    // The random factor is y = trunc(draw / 32767 * (N - 2) + 1).
    const auto yIsOne = [] { return 0; };
    const auto yIsNMinusOne = [] { return 32767; };
    const auto yIsThreeOfFifteen = [] { return 6000; };
    const std::string fifteen = "1. 15 is not even.\n\n2. 15 is not a power of an integer.\n\n3. ";
    EXPECT_EQ(ShorChecks::report(0, yIsOne), "1. 0 is even.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(2, yIsOne), "1. 2 is even.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(9, yIsOne), "1. 9 is not even.\n\n2. 9 is a power of 3.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(1, yIsOne), "1. 1 is not even.\n\n2. 1 is a power of 1.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(15, yIsThreeOfFifteen),
              fifteen + "Random GCD found 3 as a factor.\n\ndone.");
    EXPECT_EQ(ShorChecks::report(15, yIsNMinusOne),
              fifteen + "Random GCD didn't find a factor.\n\nAlgorithm failed.");
    // Every candidate for 3 is 1 or 2.
    EXPECT_EQ(ShorChecks::report(3, yIsThreeOfFifteen),
              "1. 3 is not even.\n\n2. 3 is not a power of an integer.\n\n3. Random GCD didn't "
              "find a factor.\n\nAlgorithm failed.");
}

// From 58369 on, a 32-bit power in the root iteration could wrap to 0 and be divided by
// (k = 12, guess 8).
TEST(ShorChecks, PerfectPowerTestIsExactForEveryOddN) {
    EXPECT_EQ(ShorChecks::perfectPowerRoot(6561), 81u);   // 3^8
    EXPECT_EQ(ShorChecks::perfectPowerRoot(59049), 243u); // 3^10
    const auto roots = oddPerfectPowers();
    for (const auto& [n, root] : roots) {
        ASSERT_EQ(ShorChecks::perfectPowerRoot(n), root) << n;
    }
    const auto expectExact = [&](std::uint32_t n) {
        const auto it = roots.find(n);
        ASSERT_EQ(ShorChecks::perfectPowerRoot(n),
                  it == roots.end() ? std::nullopt : std::optional(it->second))
            << n;
    };
    for (std::uint32_t n = 3; n < 60000; n += 2) {
        expectExact(n);
    }
    std::mt19937 random(12345);
    for (int i = 0; i < 100000; ++i) {
        expectExact(random() | 1u);
    }
    expectExact(4294967295u);
}

TEST(ContinuedFractions, ReportsEveryOutcome) {
    const std::string failed = "No factor found. The algorithm failed.";
    const std::string trivial = "Trivial factor found. The algorithm failed.";
    const std::string onePair = "Factors found: a = 3, b = 5";
    const std::string refused = "N must be at least 2.";
    const struct {
        int a, x, n, order;
        std::string third;
    } cases[] = {
        {8, 4, 15, 2, onePair + " and a = 5, b = 3"},
        {8, 13, 15, 2, onePair},
        {0, 4, 15, 1, failed},
        {8, 14, 15, 2, failed}, // x^(d/2) = -1 mod N
        {4, 4, 15, 4, trivial},
        {8, 2, 15, 2, onePair}, // only h proper: f = 2, g = gcd(1, 15) = 1, h = gcd(3, 15) = 3
        {8, 4, 0, 2, refused},  // rather than dividing by N
        {0, 4, 1, 1, refused},
        // f = 7^2 mod 49 = 0: f - 1 is N - 1, so both divisors are trivial. Wrapped to 2^32 - 1
        // it would have given gcd 1 there but 3 for N = 9, by accident.
        {4, 7, 49, 4, trivial},
        {4, 3, 9, 4, trivial},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ContinuedFractions::report(c.a, 4, c.x, c.n),
                  "Measured: a = " + std::to_string(c.a) + "\r\n\r\nOrder: ord " +
                      std::to_string(c.n) + " (" + std::to_string(c.x) +
                      ") = " + std::to_string(c.order) + "\r\n\r\n" + c.third);
    } // Computed as unsigned, shown as unsigned: a huge N is not "-1".
    EXPECT_EQ(ContinuedFractions::report(8, 4, 13, -1).substr(0, 45),
              "Measured: a = 8\r\n\r\nOrder: ord 4294967295 (13)");
}

// Arguments below a function's preconditions are refused by the function itself, not left to
// its callers: each of these once wrapped, shifted by 32 or more, or divided by zero.
TEST(ShorArithmetic, RefusesArgumentsBelowItsPreconditions) {
    const ShorChecks::DrawFn highest = [] { return 32767; };
    for (std::uint32_t n : {0u, 1u, 2u}) {
        EXPECT_EQ(ShorChecks::randomFactor(n, highest), std::nullopt) << n;
    }
    EXPECT_EQ(ShorChecks::randomFactor(9, nullptr), std::nullopt);
    EXPECT_EQ(ShorChecks::perfectPowerRoot(0), std::nullopt);
    const std::tuple<std::uint32_t, std::uint32_t, std::uint64_t> roots[] = {
        {9, 0, 5}, {9, 1, 5},    {0, 2, 5},           {9, 2, 0},
        {9, 2, 2}, {256, 65, 1}, {16711680, 3, 16639}}; // the last is 255^2 * 256, not a cube
    for (const auto& [n, k, start] : roots) {
        std::uint64_t guess = start;
        EXPECT_EQ(ShorChecks::rootAttempt(n, k, guess), std::nullopt) << n << " " << k;
    }
    EXPECT_EQ(ShorInput::valueWidth(0), 0);
    EXPECT_EQ(ShorInput::valueWidth(1), 0);
    const std::pair<int, int> bounds[] = {{-1, 3}, {4, 3}, {0, 31}, {32, 40}};
    for (const auto& [from, to] : bounds) {
        EXPECT_EQ(ContinuedFractions::measuredValue(0xFFFFFFFFu, from, to), 0u) << from << to;
    }
    EXPECT_EQ(ContinuedFractions::measuredValue(0xFFFFFFFFu, 0, 30), 0x7FFFFFFFu);
    EXPECT_EQ(ContinuedFractions::orderCandidate(1, 0), 0u);
    EXPECT_EQ(ContinuedFractions::orderCandidate(1, 32), 0u);
    EXPECT_EQ(ContinuedFractions::orderCandidate(1, 31), 0x80000000u);
    EXPECT_TRUE(ContinuedFractions::report(3, 32, 7, 15)
                    .ends_with("The measured bits must number 1 to 31."));
}

TEST(UnsignedArithmetic, GcdAndModularPowerAreExact) {
    EXPECT_EQ(gcd(0, 15), 15u);
    EXPECT_EQ(gcd(15, 0), 15u);
    EXPECT_EQ(gcd(4294967295u, 65537u), 65537u);
    EXPECT_EQ(modularPower(7, 0, 1), 0u);
    EXPECT_EQ(modularPower(5, 3, 0), 0u);
    // Products past 2^32 stay exact: against one multiplication at a time.
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        const std::uint32_t x = random(), n = random() | 1u, e = random() % 64;
        std::uint64_t expected = 1 % n;
        for (std::uint32_t k = 0; k < e; ++k) {
            expected = expected * (x % n) % n;
        }
        ASSERT_EQ(modularPower(x, e, n), expected) << x << "^" << e << " mod " << n;
    }
}

} // namespace
