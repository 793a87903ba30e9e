// The algorithm gates' dialogs: their default blocks, and fields that do not parse.

#include "tests/support/dialogdriver.h"
#include "tests/support/hostfixture.h"
#include "tests/support/resultboxcatcher.h"

#include <QDialog>

#include <gtest/gtest.h>

namespace {

// The sign oracle's dialog, which the search step and the search share.
TEST(AlgorithmDialogs, MarkedValueDialogsShareTheirDefaultsAndChecks) {
    const std::pair<const char*, const char*> gates[] = {{"oracle\\signoracle", "Signoracle"},
                                                         {"seeker\\seekerstep", "Seekerstep"},
                                                         {"seeker\\seeker", "Seeker"}};
    for (const auto& [path, caption] : gates) {
        SCOPED_TRACE(path);
        HostFixture f(4);
        DialogDriver d(f.host, path);
        ASSERT_TRUE(d.dialog());
        EXPECT_EQ(d.dialog()->windowTitle().toStdString(), caption);
        EXPECT_EQ(d.selection(1001), 0);
        EXPECT_EQ(d.selection(1002), 3);
        // A reversed range or nothing selected runs nothing.
        d.select(1001, 3);
        d.select(1002, 1);
        d.execute();
        d.select(1001, -1);
        d.execute();
        EXPECT_TRUE(f.steps.empty());
    }
    // A value field that does not parse is the empty-slot marker -1 (the search amplitudes
    // themselves are the search tests' business).
    HostFixture f(4);
    DialogDriver d(f.host, "seeker\\seeker");
    d.setText(1003, "abc");
    d.setText(1004, "0x5");
    d.execute();
    EXPECT_NEAR(f.live.amplitudes[5].real, 0.953125, 1e-12);
    ASSERT_FALSE(f.steps.empty());
    EXPECT_EQ(f.steps.back().text, "Seeker ( 2 )");
    EXPECT_EQ(f.steps.back().depth, 0);
}

TEST(AlgorithmDialogs, FlagOracleDefaultsFlipTheLastQubit) {
    HostFixture f(5);
    DialogDriver d(f.host, "oracle\\flagoracle");
    ASSERT_TRUE(d.dialog());
    EXPECT_EQ(d.dialog()->windowTitle().toStdString(), "Flagoracle");
    d.execute(); // value 0 on qubits 0 .. 3, target 4
    EXPECT_EQ(f.live.amplitudes[16].real, 1.0);
    f.setBasisState(8);
    d.setText(1003, "010"); // octal 8
    d.execute();
    EXPECT_EQ(f.live.amplitudes[24].real, 1.0);
    // One qubit: "to" has nothing selected, so nothing runs.
    HostFixture one(1);
    DialogDriver(one.host, "oracle\\flagoracle").execute();
    EXPECT_TRUE(one.steps.empty());
}

TEST(AlgorithmDialogs, ShorDialogsRunNothingOnFieldsThatAreNoNumbers) {
    HostFixture f(4);
    f.setBasisState(8);
    ResultBoxCatcher catcher;
    {
        DialogDriver d(f.host, "shor\\shorbegin");
        EXPECT_EQ(d.text(1004), "15");
        d.setText(1004, "abc");
        d.execute();
        d.setText(1004, "9");
        d.execute();
        d.setText(1004, "-1"); // read as unsigned
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
        EXPECT_EQ(d.text(1003), "13");
        d.setText(1003, "");
        d.execute();
        d.setText(1003, "13");
        d.select(1002, 0); // from = to: accepted, but the driver does nothing
        d.execute();
    }
    // The reports' texts are numbertheory_test's; here only what the fields handed over.
    ASSERT_EQ(catcher.boxes.size(), 3u);
    EXPECT_EQ(catcher.boxes[0].caption, "Result");
    EXPECT_EQ(catcher.boxes[0].text.rfind("1. 9 is not even.", 0), 0u);
    EXPECT_EQ(catcher.boxes[1].text.rfind("1. 4294967295 is not even.", 0), 0u);
    EXPECT_EQ(catcher.boxes[2].text.rfind("Measured: a = 8\r\n\r\nOrder: ord 15 (4) = 2", 0), 0u);
    EXPECT_TRUE(f.steps.empty());
}

} // namespace
