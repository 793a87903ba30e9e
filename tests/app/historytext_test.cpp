#include "app/historytext.h"
#include "app/stephistory.h"
#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

class HistoryTextTest : public testing::Test {
protected:
    HistoryTextTest() : history(live) {
        live.segmentation = &segmentation;
        live.setQubitCount(2);
        live.amplitudes[0] = 1.0;
    }
    std::string text() const { return HistoryText::build(history, 0, 4, 0); }
    // Records `more` steps (with `nested`, the even ones of the first nine one level deeper)
    // and returns the numbers of the shown steps, read from the "depth / k: " lines.
    std::vector<int> shownAfter(int more, bool nested = false) {
        for (int k = 1; k <= more; ++k) {
            EXPECT_TRUE(history.recordStep("s", nested && k % 2 == 0 && k < 10 ? 1 : 0));
        }
        std::vector<int> shown;
        const std::string t = text();
        for (auto at = t.find(" / "); at != std::string::npos; at = t.find(" / ", at + 1)) {
            shown.push_back(std::stoi(t.substr(at + 3)));
        }
        return shown;
    }
    Segmentation segmentation;
    QRegister live;
    StepHistory history;
};

TEST_F(HistoryTextTest, ShowsTheLastFiveVisibleStepsUpToThePosition) {
    EXPECT_EQ(text(), "0 / 0: Reset\r\n 1 |0>\r\n");
    EXPECT_EQ(shownAfter(4), (std::vector<int>{0, 1, 2, 3, 4})); // the reset line first
    EXPECT_EQ(shownAfter(1), (std::vector<int>{1, 2, 3, 4, 5}));
    history.stepBack();
    history.stepBack();
    EXPECT_EQ(shownAfter(0), (std::vector<int>{0, 1, 2, 3})); // undone steps never shown
}

TEST_F(HistoryTextTest, HiddenStepsAreSkippedAndDoNotCount) {
    // Visible at 1, 3, 5, 7, 9, 10; hidden sub-steps between them.
    EXPECT_EQ(shownAfter(10, true), (std::vector<int>{3, 5, 7, 9, 10}));
    EXPECT_NE(text().find("+0 |3>     \r\n\r\n0 / 10: s =>\r\n+1 |0>"), std::string::npos);
    history.depthUp();
    EXPECT_EQ(shownAfter(0), (std::vector<int>{6, 7, 8, 9, 10}));
}

TEST_F(HistoryTextTest, CachedListingsMatchAFreshOneForEverySettingAndSegmentation) {
    live.setQubitCount(5);
    for (std::uint32_t i = 0; i < 32; ++i) {
        live.amplitudes[i].set(0.01 * (i % 7), -0.02 * (i % 3));
    }
    ASSERT_TRUE(history.recordStep("s", 0));
    QRegister fresh;
    fresh.segmentation = &segmentation;
    fresh.setQubitCount(5);
    // The second round is served from the cache; the third follows a new segmentation.
    for (int round = 0; round < 3; ++round) {
        for (int mode = 0; mode < 3; ++mode) {
            history.entry(0).restoreInto(fresh);
            const std::string expected = fresh.sortedListing(3, 9, mode);
            EXPECT_EQ(history.listing(0, 3, 9, mode), expected) << mode;
        }
        if (round == 1) {
            segmentation.segmentCount = 2;
            segmentation.segmentEnd[0] = 1;
        }
    }
    EXPECT_NE(history.listing(0, 0, 2, 0).find("|0>|0>"), std::string::npos);
}

TEST_F(HistoryTextTest, AReleasedStepIsMarkedInPlaceOfItsListing) {
    StepHistory small(live, HistoryBudget(0, 4 * sizeof(Complex) + 150));
    ASSERT_TRUE(small.recordStep("a", 0));
    ASSERT_TRUE(small.recordStep("b", 0));
    ASSERT_FALSE(small.entry(0).hasSnapshot());
    EXPECT_EQ(HistoryText::build(small, 0, 4, 0),
              "0 / 0: Reset\r\n 1 |0>\r\n\r\n0 / 1: a =>\r\n(released)\r\n\r\n0 / 2: b =>\r\n"
              "+1 |0>     +0 |1>     +0 |2>     +0 |3>     \r\n");
}
