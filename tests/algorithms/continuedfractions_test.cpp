#include "gates/shor/numbertheory/continuedfractions.h"
#include "gates/shor/numbertheory/unsignedarithmetic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

using amplex::numbertheory::gcd;
using amplex::numbertheory::modularPower;

std::string message(const std::string& first, const std::string& second, const std::string& third) {
    return first + "\r\n\r\n" + second + "\r\n\r\n" + third;
}

std::string thirdLine(const std::string& text) {
    return text.substr(text.rfind("\r\n") + 2);
}

TEST(ContinuedFractions, ReadsTheRangeAndReducesTheFraction) {
    EXPECT_EQ(ContinuedFractions::measuredValue(0xB6u, 2, 5), 13u); // bits 2..5 of 10110110
    EXPECT_EQ(ContinuedFractions::measuredValue(0xB6u, 1, 1), 1u);
    EXPECT_EQ(ContinuedFractions::measuredValue(0xFFFFFFFFu, 0, 30), 0x7FFFFFFFu);
    EXPECT_EQ(ContinuedFractions::measuredValue(0xFFFFFFFFu, 30, 30), 1u);
    EXPECT_EQ(ContinuedFractions::orderCandidate(0, 4), 1u);
    EXPECT_EQ(ContinuedFractions::orderCandidate(8, 4), 2u);
    EXPECT_EQ(ContinuedFractions::orderCandidate(12, 4), 4u);
    EXPECT_EQ(ContinuedFractions::orderCandidate(6, 4), 8u);
    EXPECT_EQ(ContinuedFractions::orderCandidate(1, 31), 2147483648u);
}

TEST(ContinuedFractions, ReportsEveryOutcome) {
    EXPECT_EQ(ContinuedFractions::report(8, 4, 4, 15),
              message("Measured: a = 8", "Order: ord 15 (4) = 2",
                      "Factors found: a = 3, b = 5 and a = 5, b = 3"));
    EXPECT_EQ(ContinuedFractions::report(8, 4, 13, 15),
              message("Measured: a = 8", "Order: ord 15 (13) = 2", "Factors found: a = 3, b = 5"));
    EXPECT_EQ(ContinuedFractions::report(0, 4, 4, 15),
              message("Measured: a = 0", "Order: ord 15 (4) = 1",
                      "No factor found. The algorithm failed."));
    // x^(d/2) = -1 mod N
    EXPECT_EQ(ContinuedFractions::report(8, 4, 14, 15),
              message("Measured: a = 8", "Order: ord 15 (14) = 2",
                      "No factor found. The algorithm failed."));
    EXPECT_EQ(ContinuedFractions::report(4, 4, 4, 15),
              message("Measured: a = 4", "Order: ord 15 (4) = 4",
                      "Trivial factor found. The algorithm failed."));
    // Only h proper: f = 2, g = gcd(1, 15) = 1, h = gcd(3, 15) = 3.
    EXPECT_EQ(thirdLine(ContinuedFractions::report(8, 4, 2, 15)), "Factors found: a = 3, b = 5");
}

TEST(ContinuedFractions, RefusesNBelowTwoAndReadsFZeroModuloN) {
    EXPECT_EQ(ContinuedFractions::report(8, 4, 4, 0),
              message("Measured: a = 8", "Order: ord 0 (4) = 2", "N must be at least 2."));
    EXPECT_EQ(ContinuedFractions::report(0, 4, 4, 1),
              message("Measured: a = 0", "Order: ord 1 (4) = 1", "N must be at least 2."));
    // f = 7^2 mod 49 = 0: f - 1 is N - 1, so both divisors are trivial. Wrapped to 2^32 - 1
    // it would have given gcd 1 here but 3 for N = 9, by accident.
    EXPECT_EQ(ContinuedFractions::report(4, 4, 7, 49),
              message("Measured: a = 4", "Order: ord 49 (7) = 4",
                      "Trivial factor found. The algorithm failed."));
    EXPECT_EQ(thirdLine(ContinuedFractions::report(4, 4, 3, 9)),
              "Trivial factor found. The algorithm failed.");
}

TEST(UnsignedArithmetic, GcdAndModularPowerAreExact) {
    EXPECT_EQ(gcd(0, 15), 15u);
    EXPECT_EQ(gcd(15, 0), 15u);
    EXPECT_EQ(gcd(12, 18), 6u);
    EXPECT_EQ(gcd(4294967295u, 65537u), 65537u);
    EXPECT_EQ(modularPower(0, 5, 15), 0u);
    EXPECT_EQ(modularPower(7, 0, 1), 0u);
    EXPECT_EQ(modularPower(5, 3, 0), 0u);
    // Products past 2^32 stay exact: against one multiplication at a time.
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        const std::uint32_t x = random();
        const std::uint32_t n = random() | 1u;
        const std::uint32_t e = random() % 64;
        std::uint64_t expected = 1 % n;
        for (std::uint32_t k = 0; k < e; ++k) {
            expected = expected * (x % n) % n;
        }
        ASSERT_EQ(modularPower(x, e, n), expected) << x << "^" << e << " mod " << n;
    }
}

} // namespace
