#include "app/historytext.h"
#include "app/stephistory.h"
#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A live register with a history; each step puts the register into a basis state first, so
// every snapshot's listing is known.
class HistoryTextTest : public testing::Test {
protected:
    explicit HistoryTextTest(int qubits = 2) : history(live) {
        live.segmentation = &segmentation;
        live.setQubitCount(qubits);
        live.amplitudes[0] = 1.0;
    }

    void step(const std::string& text, int depth = 0, std::uint32_t basis = 0) {
        live.setQubitCount(live.qubitCount);
        live.amplitudes[basis] = 1.0;
        ASSERT_TRUE(history.recordStep(text.c_str(), depth));
    }
    std::string text(int first = 0, int count = 4, int mode = 0) const {
        return HistoryText::build(history, first, count, mode);
    }
    // Number of the shown steps, in order, read from the "depth / k: " lines.
    std::vector<int> shownSteps() const {
        std::vector<int> steps;
        const std::string t = text();
        for (std::size_t at = t.find(" / "); at != std::string::npos; at = t.find(" / ", at + 1)) {
            steps.push_back(std::stoi(t.substr(at + 3)));
        }
        return steps;
    }

    Segmentation segmentation;
    QRegister live;
    StepHistory history;
};

TEST_F(HistoryTextTest, EmptyHistoryIsTheResetLinesExactly) {
    EXPECT_EQ(text(), "0 / 0: Reset\r\n 1 |0>\r\n");
}

TEST_F(HistoryTextTest, NestedStepsAreIndentedFiveSpacesPerLevel) {
    // A Hadamard range over both qubits whose two sub-gates ran one level deeper.
    history.depthUp();
    const double h = 1.0 / std::sqrt(2.0);
    live.setQubitCount(2);
    live.amplitudes[0] = h;
    live.amplitudes[1] = h;
    history.recordStep("X", 1);
    for (int i = 0; i < 4; ++i) {
        live.amplitudes[i] = 0.5;
    }
    history.recordStep("X", 1);
    history.recordStep("Hadamardrange ( 0 - 1 )", 0);
    EXPECT_EQ(text(), "0 / 0: Reset\r\n 1 |0>\r\n"
                      "\r\n     1 / 1: X =>\r\n"
                      "     +0.70711 |0>     +0.70711 |1>     +0 |2>     +0 |3>     \r\n"
                      "\r\n     1 / 2: X =>\r\n"
                      "     +0.5 |0>     +0.5 |1>     +0.5 |2>     +0.5 |3>     \r\n"
                      "\r\n0 / 3: Hadamardrange ( 0 - 1 ) =>\r\n"
                      "+0.5 |0>     +0.5 |1>     +0.5 |2>     +0.5 |3>     \r\n");
}

TEST_F(HistoryTextTest, ShowsTheLastFiveVisibleSteps) {
    for (int k = 1; k <= 4; ++k) {
        step("s" + std::to_string(k));
    }
    EXPECT_EQ(text().rfind("0 / 0: Reset", 0), 0u);
    EXPECT_EQ(shownSteps(), (std::vector<int>{0, 1, 2, 3, 4}));

    step("s5");
    EXPECT_EQ(text().find("Reset"), std::string::npos);
    EXPECT_EQ(shownSteps(), (std::vector<int>{1, 2, 3, 4, 5}));

    step("s6");
    step("s7");
    EXPECT_EQ(text().rfind("\r\n0 / 3: s3 =>", 0), 0u);
    EXPECT_EQ(shownSteps(), (std::vector<int>{3, 4, 5, 6, 7}));
}

TEST_F(HistoryTextTest, HiddenStepsAreSkippedAndDoNotCount) {
    // Visible at 1, 3, 5, 7, 9, 10; hidden sub-steps between them.
    for (int k = 1; k <= 10; ++k) {
        step("s" + std::to_string(k), (k % 2 == 0 && k < 10) ? 1 : 0);
    }
    EXPECT_EQ(shownSteps(), (std::vector<int>{3, 5, 7, 9, 10}));
    EXPECT_EQ(text().find("\r\n     "), std::string::npos); // no hidden step slipped in
    history.depthUp();
    EXPECT_EQ(shownSteps(), (std::vector<int>{6, 7, 8, 9, 10}));
}

TEST_F(HistoryTextTest, UndoneStepsAreNeverShown) {
    for (int k = 1; k <= 4; ++k) {
        step("s" + std::to_string(k));
    }
    history.stepBack();
    history.stepBack();
    EXPECT_EQ(shownSteps(), (std::vector<int>{0, 1, 2}));
    history.stepBack();
    history.stepBack();
    EXPECT_EQ(text(), HistoryText::ResetLines);
}

} // namespace
