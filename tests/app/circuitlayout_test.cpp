#include "app/circuitlayout.h"
#include "app/stephistory.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

using Mark = CircuitLayout::Mark;
using Kind = CircuitLayout::Mark::Kind;

TEST(CircuitLayout, EachStepGetsItsSymbolsOnItsWires) {
    struct Case {
        const char* text;
        std::vector<Mark> marks;
        int lineFirst, lineLast; // no line: 0, -1
    };
    const Case cases[] = {
        {"Hadamard ( 2 )", {{Kind::Box, 2, 2, "H"}}, 0, -1},
        {"Rz ( 1, 90 )", {{Kind::Box, 1, 1, "Rz\n90°"}}, 0, -1},
        {"cnot ( 3, 0 )", {{Kind::Dot, 3, 3, ""}, {Kind::Target, 0, 0, ""}}, 0, 3},
        {"Toffoli ( 0, 3, 1 )",
         {{Kind::Dot, 0, 0, ""}, {Kind::Dot, 3, 3, ""}, {Kind::Target, 1, 1, ""}},
         0,
         3},
        {"Controlled Z ( 1, 2 )", {{Kind::Dot, 1, 1, ""}, {Kind::Dot, 2, 2, ""}}, 1, 2},
        {"Swap ( 2, 0 )", {{Kind::Cross, 2, 2, ""}, {Kind::Cross, 0, 0, ""}}, 0, 2},
        {"Hadamard controlled ( 0, 1 )", {{Kind::Dot, 0, 0, ""}, {Kind::Box, 1, 1, "H"}}, 0, 1},
        {"Rotate 2 bits controlled ( bits: 2, 0, angle: -0.7854)",
         {{Kind::Dot, 2, 2, ""}, {Kind::Box, 0, 0, "P\n-45°"}},
         0,
         2},
        {"Measure ( 1 - 2 ) = 3", {{Kind::Box, 1, 2, "M\n= 3"}}, 0, -1},
        {"Hadamardrange ( 1 - 2 )", {{Kind::Box, 1, 1, "H"}, {Kind::Box, 2, 2, "H"}}, 0, -1},
        {"FFT^-1 ( 0 - 2 )", {{Kind::Box, 0, 2, "QFT†"}}, 0, -1},
        // The power writes below its exponent here: one box over both.
        {"Power ( a: 2 - 3, y: 0 - 1, x = 2, N = 3 )", {{Kind::Box, 0, 3, "Power"}}, 0, -1},
        // No qubits in the text, a qubit beyond the register, or a gate nobody here knows:
        // a box with the whole text across every wire.
        {"Signoracle", {{Kind::Box, 0, 3, "Signoracle"}}, 0, -1},
        {"Shor ( 0 - 1, x = 2, n = 3 )",
         {{Kind::Box, 0, 3, "Shor ( 0 - 1, x = 2, n = 3 )"}},
         0,
         -1},
        {"Hadamard ( 4 )", {{Kind::Box, 0, 3, "Hadamard ( 4 )"}}, 0, -1},
        {"Mine", {{Kind::Box, 0, 3, "Mine"}}, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CircuitLayout::Column column = CircuitLayout::column(c.text, 4);
        EXPECT_EQ(column.marks, c.marks);
        EXPECT_EQ(column.lineFirst, c.lineFirst);
        EXPECT_EQ(column.lineLast, c.lineLast);
    }
}

class CircuitLayoutTest : public testing::Test {
protected:
    CircuitLayoutTest() : history(live) {
        live.segmentation = &segmentation;
        live.setQubitCount(4);
    }
    CircuitLayout build() { return CircuitLayout::build(history, 4, &segmentation, metrics); }
    Segmentation segmentation;
    QRegister live;
    StepHistory history;
    CircuitLayout::Metrics metrics{10, 20, 6, 5};
};

TEST_F(CircuitLayoutTest, WiresAreGroupedBySegment) {
    EXPECT_EQ(build().wireY(3), 5 + 10 + 3 * 20);
    segmentation.segmentCount = 2;
    segmentation.segmentEnd[0] = 1; // qubits 0 1 | 2 3
    const CircuitLayout layout = build();
    const int ys[] = {15, 35, 61, 81};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(layout.wireY(k), ys[k]);
    }
    EXPECT_EQ(layout.height(), 81 + 10 + 5);
    EXPECT_EQ(layout.boxSpan(1, 2), std::make_pair(35 - 7, 61 + 7));
}

TEST_F(CircuitLayoutTest, OneColumnPerVisibleStepWithTheCurrentOneAndTheUndoneOnes) {
    // A Hadamard range recorded with its two sub-steps, then a cnot; back once.
    for (const auto& [text, depth] : {std::pair{"Hadamard ( 0 )", 1},
                                      {"Hadamard ( 1 )", 1},
                                      {"Hadamardrange ( 0 - 1 )", 0},
                                      {"cnot ( 0, 1 )", 0}}) {
        ASSERT_TRUE(history.recordStep(text, depth));
    }
    history.stepBack();
    struct Case {
        int filter;
        std::vector<int> entries;
        int current;
    };
    for (const Case& c : {Case{0, {2, 3}, 0}, Case{1, {0, 1, 2, 3}, 2}}) {
        while (history.depthFilter() < c.filter) {
            history.depthUp();
        }
        const CircuitLayout layout = build();
        std::vector<int> entries;
        for (const auto& column : layout.columns()) {
            entries.push_back(column.entry);
            EXPECT_EQ(column.undone, column.entry == 3);
        }
        EXPECT_EQ(entries, c.entries);
        EXPECT_EQ(layout.currentColumn(), c.current);
        EXPECT_EQ(layout.width(), 10 * static_cast<int>(c.entries.size()));
    }
    history.moveTo(0);
    EXPECT_EQ(build().currentColumn(), -1);
}

TEST_F(CircuitLayoutTest, ColumnsUnderAPointAndInAView) {
    for (int k = 0; k < 1402; ++k) {
        ASSERT_TRUE(history.recordStep("Hadamard ( 0 )", 0));
    }
    const CircuitLayout layout = build();
    const std::pair<int, int> at[] = {{-1, -1}, {0, 0},        {9, 0},
                                      {10, 1},  {14019, 1401}, {14020, -1}};
    for (const auto& [x, column] : at) {
        EXPECT_EQ(layout.columnAt(x), column) << x;
    }
    EXPECT_EQ(layout.columnsIn(0, 25), std::make_pair(0, 3));
    EXPECT_EQ(layout.columnsIn(105, 10), std::make_pair(10, 12));
    EXPECT_EQ(layout.columnsIn(14000, 500), std::make_pair(1400, 1402));
}
