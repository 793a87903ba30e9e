#include "views/segmentationeditor.h"

#include "core/qregister.h"

#include <gtest/gtest.h>

#include <string>

using amplex::ui::SegmentationEditor;

namespace {

class SegmentationEditorTest : public testing::Test {
protected:
    void SetUp() override {
        reg.setQubitCount(4);
        reg.segmentation = &seg;
        editor.refresh();
    }
    std::string label(std::uint32_t index) { return reg.basisLabel(index); }

    QRegister reg;
    Segmentation seg;
    SegmentationEditor editor{reg};
};

} // namespace

TEST_F(SegmentationEditorTest, AddedSegmentStartsEmptyUntilToIsLowered) {
    EXPECT_EQ(editor.toText(), "3");
    EXPECT_TRUE(editor.toReadOnly());
    EXPECT_FALSE(editor.applyTo("1")); // the only segment always ends at the top bit
    ASSERT_EQ(editor.add(), SegmentationEditor::AddResult::Added);
    EXPECT_EQ(seg.segmentCount, 2);
    EXPECT_EQ(editor.selected(), 0);
    EXPECT_EQ(editor.toText(), "3");
    EXPECT_FALSE(editor.toReadOnly());
    EXPECT_TRUE(seg.bitRange(1, 4).empty());
    EXPECT_EQ(label(13), "|13>");

    EXPECT_TRUE(editor.applyTo("1"));
    EXPECT_EQ(seg.bitRange(1, 4).first, 2);
    EXPECT_EQ(label(13), "|3>|1>");
    ASSERT_TRUE(editor.select(1));
    EXPECT_EQ(editor.fromText(), "2");
    EXPECT_FALSE(editor.fromReadOnly());
    EXPECT_EQ(editor.toText(), "3");
    EXPECT_TRUE(editor.toReadOnly());
}

TEST_F(SegmentationEditorTest, EditsOutsideTheRegisterOrNotWholeNumbersAreRefused) {
    editor.add();
    editor.add(); // ends: 3, 3
    for (const char* bad : {"4", "-1", "3x", "", "1.5", "0x1", " "}) {
        EXPECT_FALSE(editor.applyTo(bad)) << bad;
    }
    EXPECT_EQ(seg.segmentEnd[0], 3);
    ASSERT_TRUE(editor.select(1));
    for (const char* bad : {"0", "5", "2a"}) {
        EXPECT_FALSE(editor.applyFrom(bad)) << bad;
    }
    EXPECT_EQ(seg.segmentEnd[0], 3);
    EXPECT_TRUE(editor.applyFrom(" 02 ")); // leading zeros are decimal
    EXPECT_EQ(seg.segmentEnd[0], 1);
    EXPECT_TRUE(editor.applyTo("+2"));
    EXPECT_EQ(seg.segmentEnd[1], 2);
    EXPECT_TRUE(editor.applyFrom("4")); // the top bit + 1 ends the segment before at n - 1
    EXPECT_EQ(seg.segmentEnd[0], 3);
}

TEST_F(SegmentationEditorTest, AddStopsAtThirtyOneSegments) {
    for (int i = 0; i < 30; ++i) {
        ASSERT_EQ(editor.add(), SegmentationEditor::AddResult::Added);
    }
    EXPECT_EQ(editor.segmentCount(), 31);
    EXPECT_EQ(editor.add(), SegmentationEditor::AddResult::Full);
    EXPECT_EQ(seg.segmentCount, 31);
}

TEST_F(SegmentationEditorTest, RemoveTakesTheLastSegmentWhicheverIsSelected) {
    editor.add();
    editor.add();
    editor.select(0);
    editor.setDecimal(0);
    editor.remove();
    EXPECT_EQ(seg.segmentCount, 2);
    EXPECT_EQ(editor.selected(), 0);
    EXPECT_EQ(seg.options[0].decimal, 0);
    EXPECT_EQ(editor.toText(), "3");
}

TEST_F(SegmentationEditorTest, NoSegmentLeftIsSafeAndAddStartsAgain) {
    seg.segmentEnd[0] = 2;
    editor.remove();
    EXPECT_EQ(seg.segmentCount, 0);
    EXPECT_EQ(editor.selected(), -1);
    EXPECT_EQ(label(5), "");
    EXPECT_EQ(editor.fromText(), "");
    EXPECT_TRUE(editor.fromReadOnly());
    EXPECT_TRUE(editor.toReadOnly());
    EXPECT_FALSE(editor.applyTo("1"));
    editor.setZeroFill(1); // nothing selected: changes nothing
    EXPECT_EQ(seg.options[0].zeroFill, 0);

    editor.remove();
    EXPECT_EQ(seg.segmentCount, 0);
    // Adding to no segment makes the one segment over the whole register; nothing is written
    // before segmentEnd (where segmentCount lives).
    seg.options[0].decimal = 0;
    EXPECT_EQ(editor.add(), SegmentationEditor::AddResult::Added);
    EXPECT_EQ(seg.segmentCount, 1);
    EXPECT_EQ(seg.segmentEnd[0], 2);
    EXPECT_EQ(seg.options[0].decimal, 1);
    EXPECT_EQ(label(13), "|13>");
}

TEST_F(SegmentationEditorTest, StaleSelectionWritesNothing) {
    editor.add();
    editor.select(1);
    seg.segmentCount = 1; // the main window reset the record while the dialog was open
    editor.setDirection(1);
    EXPECT_EQ(seg.options[1].direction, 0);
    EXPECT_FALSE(editor.applyFrom("2"));
    EXPECT_EQ(seg.segmentEnd[0], 3);
    EXPECT_FALSE(editor.select(1));
}
