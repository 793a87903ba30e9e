#include "tests/algorithms/dialogdriver.h"
#include "tests/algorithms/resultboxcatcher.h"
#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

#include <QDialog>

#include <string>
#include <vector>

namespace {

// The sign oracle's dialog, which the search step and the search share.
TEST(AlgorithmDialogs, MarkedValueDialogsShareTheirDefaultsAndChecks) {
    const std::pair<const char*, const char*> gates[] = {{"oracle\\signoracle", "Signoracle"},
                                                         {"seeker\\seekerstep", "Seekerstep"},
                                                         {"seeker\\seeker", "Seeker"}};
    for (const auto& [path, caption] : gates) {
        HostFixture f(4);
        DialogDriver d(f.host, path);
        ASSERT_TRUE(d.dialog()) << path;
        EXPECT_EQ(d.dialog()->windowTitle().toStdString(), caption);
        EXPECT_EQ(d.rowCount(1001), 4);
        EXPECT_EQ(d.selection(1001), 0);
        EXPECT_EQ(d.selection(1002), 3);
        EXPECT_EQ(d.text(1003), "0");
        for (int id = 1004; id <= 1008; ++id) {
            EXPECT_EQ(d.text(id), "-1");
        }
        // A reversed range or nothing selected runs nothing.
        d.select(1001, 3);
        d.select(1002, 1);
        d.execute();
        d.select(1001, -1);
        d.execute();
        EXPECT_TRUE(f.steps.empty()) << path;
    }
}

TEST(AlgorithmDialogs, SearchFromTheDialogRunsAtDepthZero) {
    HostFixture f(4);
    DialogDriver d(f.host, "seeker\\seeker");
    d.setText(1003, "5");
    d.execute();
    EXPECT_NEAR(f.live.amplitudes[5].real, 0.953125, 1e-12);
    ASSERT_FALSE(f.steps.empty());
    EXPECT_EQ(f.steps.back().text, "Seeker ( 2 )");
    EXPECT_EQ(f.steps.back().depth, 0);
}

TEST(AlgorithmDialogs, AValueThatIsNoNumberMarksNothing) {
    HostFixture f(2);
    f.run("basic\\hadamardrange", {0, 1});
    f.steps.clear();
    DialogDriver d(f.host, "oracle\\signoracle");
    d.setText(1003, "abc");
    d.setText(1004, "0x3");
    d.execute();
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Signoracle"});
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(f.live.amplitudes[i].real, i == 3 ? -0.5 : 0.5, 1e-15) << i;
    }
}

TEST(AlgorithmDialogs, FlagOracleDefaultsFlipTheLastQubit) {
    HostFixture f(3);
    DialogDriver d(f.host, "oracle\\flagoracle");
    ASSERT_TRUE(d.dialog());
    EXPECT_EQ(d.dialog()->windowTitle().toStdString(), "Flagoracle");
    EXPECT_EQ(d.selection(1002), 1);
    EXPECT_EQ(d.selection(1009), 2);
    d.execute();
    EXPECT_EQ(f.live.amplitudes[4].real, 1.0);
    // "010" is octal 8: on qubits 0..3 with target 4 it flips |8> to |24>.
    HostFixture g(5);
    g.setBasisState(8);
    DialogDriver e(g.host, "oracle\\flagoracle");
    e.select(1002, 3);
    e.select(1009, 4);
    e.setText(1003, "010");
    e.execute();
    EXPECT_EQ(g.live.amplitudes[24].real, 1.0);
    EXPECT_EQ(g.steps.size(), 1u);
    // One qubit: "to" has nothing selected, so nothing runs.
    HostFixture h(1);
    DialogDriver one(h.host, "oracle\\flagoracle");
    EXPECT_EQ(one.selection(1002), -1);
    one.execute();
    EXPECT_TRUE(h.steps.empty());
}

TEST(AlgorithmDialogs, ShorDialogsRunNothingOnFieldsThatAreNoNumbers) {
    HostFixture f(4);
    f.setBasisState(8);
    ResultBoxCatcher catcher;
    {
        DialogDriver d(f.host, "shor\\shorbegin");
        ASSERT_TRUE(d.dialog());
        EXPECT_EQ(d.text(1004), "15");
        d.setText(1004, "abc");
        d.execute();
        d.setText(1004, "9");
        d.execute();
    }
    {
        DialogDriver d(f.host, "shor\\modules\\fracexpand");
        ASSERT_TRUE(d.dialog());
        EXPECT_EQ(d.dialog()->windowTitle().toStdString(), "cont. fractions");
        d.setText(1004, "N");
        d.execute();
        d.setText(1004, "15");
        d.select(1001, 3);
        d.select(1002, 2);
        d.execute();
        d.select(1001, 0);
        d.select(1002, 3);
        d.execute(); // the defaults: x = 4, N = 15
    }
    {
        DialogDriver d(f.host, "shor\\shordriver");
        ASSERT_TRUE(d.dialog());
        EXPECT_EQ(d.text(1003), "13");
        d.setText(1003, "");
        d.execute();
        d.setText(1003, "13");
        d.select(1002, 0); // from = to: accepted, but the driver does nothing
        d.execute();
    }
    ASSERT_EQ(catcher.boxes.size(), 2u);
    EXPECT_EQ(catcher.boxes[0].text, "1. 9 is not even.\n\n2. 9 is a power of 3.\n\ndone.");
    EXPECT_EQ(catcher.boxes[1].text,
              "Measured: a = 8\r\n\r\nOrder: ord 15 (4) = 2\r\n\r\nFactors found: a = 3, b = 5 "
              "and a = 5, b = 3");
    EXPECT_TRUE(f.steps.empty());
}

} // namespace
