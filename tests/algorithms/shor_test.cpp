#include "tests/algorithms/resultboxcatcher.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

namespace {

std::string message(const std::string& first, const std::string& second, const std::string& third) {
    return first + "\r\n\r\n" + second + "\r\n\r\n" + third;
}

// What the post-processing of x = 13, N = 15 on four exponent qubits reports for a = 0, 4, 8
// and 12, the only values the exponent then holds.
const std::set<std::string>& thirteenModFifteenTexts() {
    static const std::set<std::string> texts{
        message("Measured: a = 0", "Order: ord 15 (13) = 1",
                "No factor found. The algorithm failed."),
        message("Measured: a = 4", "Order: ord 15 (13) = 4",
                "Factors found: a = 3, b = 5 and a = 5, b = 3"),
        message("Measured: a = 8", "Order: ord 15 (13) = 2", "Factors found: a = 3, b = 5"),
        message("Measured: a = 12", "Order: ord 15 (13) = 4",
                "Factors found: a = 3, b = 5 and a = 5, b = 3"),
    };
    return texts;
}

TEST(ShorDriver, LeavesTheExponentPeriodicAndReportsAFactor) {
    HostFixture f(8);
    std::string lastStepWhenShown;
    ResultBoxCatcher catcher([&] {
        if (lastStepWhenShown.empty() && !f.steps.empty()) {
            lastStepWhenShown = f.steps.back().text;
        }
    });
    f.run("shor\\shordriver", {0, 3, 13, 15});

    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].caption, "Result");
    EXPECT_TRUE(thirteenModFifteenTexts().count(catcher.boxes[0].text)) << catcher.boxes[0].text;
    // The driver's step is in the history before the result is shown, and is the last one.
    EXPECT_EQ(lastStepWhenShown, "Shor ( 0 - 3, x = 13, n = 15 )");
    EXPECT_EQ(f.steps.back().text, "Shor ( 0 - 3, x = 13, n = 15 )");
    EXPECT_EQ(f.steps.back().depth, 1);

    double byExponent[16] = {};
    for (std::uint32_t i = 0; i < 256; ++i) {
        byExponent[i & 15u] += f.live.amplitudes[i].norm();
    }
    for (std::uint32_t a = 0; a < 16; ++a) {
        EXPECT_NEAR(byExponent[a], a % 4 == 0 ? 0.25 : 0.0, 1e-12) << "a = " << a;
    }

    // Each run of the post-processing draws anew; in 40 draws every outcome comes up.
    std::srand(1);
    f.steps.clear();
    for (int run = 0; run < 40; ++run) {
        f.run("shor\\modules\\fracexpand", {0, 3, 13, 15});
    }
    std::set<std::string> seen;
    for (std::size_t k = 1; k < catcher.boxes.size(); ++k) {
        seen.insert(catcher.boxes[k].text);
    }
    EXPECT_EQ(seen, thirteenModFifteenTexts());
    EXPECT_TRUE(f.steps.empty());
}

TEST(ShorDriver, SingleQubitOrBadRangeDoesNothing) {
    HostFixture f(8);
    ResultBoxCatcher catcher;
    f.run("shor\\shordriver", {2, 2, 13, 15});
    f.run("shor\\shordriver", {3, 0, 13, 15});
    f.run("shor\\shordriver", {0, 8, 13, 15});
    f.run("shor\\shordriver", {-1, 3, 13, 15});
    EXPECT_TRUE(f.steps.empty());
    EXPECT_TRUE(catcher.boxes.empty());
    EXPECT_EQ(f.live.amplitudes[0].real, 1.0);
}

TEST(ContinuedFractionsGate, ReadsTheExponentOfTheDrawnState) {
    HostFixture f(5);
    f.setBasisState(0b10001); // a = 8 on qubits 1..4
    ResultBoxCatcher catcher;
    f.run("shor\\modules\\fracexpand", {1, 4, 4, 15});
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text, message("Measured: a = 8", "Order: ord 15 (4) = 2",
                                             "Factors found: a = 3, b = 5 and a = 5, b = 3"));
    EXPECT_EQ(f.live.amplitudes[0b10001].real, 1.0);
    EXPECT_TRUE(f.steps.empty());

    f.run("shor\\modules\\fracexpand", {3, 1, 4, 15});
    f.run("shor\\modules\\fracexpand", {0, 5, 4, 15});
    EXPECT_EQ(catcher.boxes.size(), 1u);
}

// A draw of 0 once gave the index -1, which read as a = 2^m - 1 whatever the state.
TEST(ContinuedFractionsGate, ADrawOfZeroIsDrawnAgain) {
    unsigned seed = 1;
    for (;; ++seed) {
        std::srand(seed);
        if ((std::rand() >> 16) == 0) {
            break;
        }
    }
    HostFixture f(4);
    ResultBoxCatcher catcher;
    std::srand(seed);
    f.run("shor\\modules\\fracexpand", {0, 3, 4, 15});
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text.rfind("Measured: a = 0\r\n", 0), 0u) << catcher.boxes[0].text;
}

TEST(ShorBegin, ShowsTheChecksOfN) {
    HostFixture f(2);
    ResultBoxCatcher catcher;
    for (const std::int32_t n : {9, 0, 58369, -1}) {
        f.run("shor\\shorbegin", std::vector<std::int32_t>{n});
    }
    ASSERT_EQ(catcher.boxes.size(), 4u);
    EXPECT_EQ(catcher.boxes[0].caption, "Result");
    EXPECT_EQ(catcher.boxes[0].text, "1. 9 is not even.\n\n2. 9 is a power of 3.\n\ndone.");
    EXPECT_EQ(catcher.boxes[1].text, "1. 0 is even.\n\ndone.");
    // The first N whose root iteration once divided by a power wrapped to 0; it is prime.
    EXPECT_EQ(catcher.boxes[2].text,
              "1. 58369 is not even.\n\n2. 58369 is not a power of an integer.\n\n3. Random GCD "
              "didn't find a factor.\n\nAlgorithm failed.");
    EXPECT_EQ(catcher.boxes[3].text.rfind("1. 4294967295 is not even.\n\n2. 4294967295 is not a "
                                          "power of an integer.\n\n3. Random GCD ",
                                          0),
              0u);
    EXPECT_TRUE(f.steps.empty());
}

} // namespace
