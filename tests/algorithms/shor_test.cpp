// The Shor gates run by path: the whole run on 8 qubits and the post-processing's draw, read
// from the modal box that the gate shows.

#include "tests/support/hostfixture.h"
#include "tests/support/resultboxcatcher.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

std::string message(const std::string& first, const std::string& second, const std::string& third) {
    return first + "\r\n\r\n" + second + "\r\n\r\n" + third;
}

TEST(ShorDriver, LeavesTheExponentPeriodicAndReportsAFactor) {
    // What the post-processing of x = 13, N = 15 on four exponent qubits reports for a = 0, 4, 8
    // and 12, the only values the exponent then holds.
    const std::set<std::string> outcomes{
        message("Measured: a = 0", "Order: ord 15 (13) = 1",
                "No factor found. The algorithm failed."),
        message("Measured: a = 4", "Order: ord 15 (13) = 4",
                "Factors found: a = 3, b = 5 and a = 5, b = 3"),
        message("Measured: a = 8", "Order: ord 15 (13) = 2", "Factors found: a = 3, b = 5"),
        message("Measured: a = 12", "Order: ord 15 (13) = 4",
                "Factors found: a = 3, b = 5 and a = 5, b = 3"),
    };
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
    EXPECT_TRUE(outcomes.count(catcher.boxes[0].text)) << catcher.boxes[0].text;
    // The driver's step is in the history before the result is shown, and is the last one.
    EXPECT_EQ(lastStepWhenShown, "Shor ( 0 - 3, x = 13, n = 15 )");
    EXPECT_EQ(f.steps.back().text, lastStepWhenShown);
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
    EXPECT_EQ(seen, outcomes);
    EXPECT_TRUE(f.steps.empty());
}

// A draw of 0 once gave the index -1, which read as a = 2^m - 1 whatever the state.
TEST(ContinuedFractionsGate, ReadsTheExponentOfTheStateOnADrawOfZeroToo) {
    unsigned seed = 1; // the first seed whose first draw is 0
    for (std::srand(seed); (std::rand() >> 16) != 0; std::srand(++seed)) {
    }
    HostFixture f(5);
    f.setBasisState(0b10001); // a = 8 on qubits 1..4
    ResultBoxCatcher catcher;
    std::srand(seed);
    f.run("shor\\modules\\fracexpand", {1, 4, 4, 15});
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].text.rfind("Measured: a = 8\r\n", 0), 0u) << catcher.boxes[0].text;
    EXPECT_EQ(f.live.amplitudes[0b10001].real, 1.0);
    EXPECT_TRUE(f.steps.empty());
}

} // namespace
