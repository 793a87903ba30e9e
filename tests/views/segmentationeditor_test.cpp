#include "views/segmentationeditor.h"

#include "core/qregister.h"

#include <gtest/gtest.h>

using amplex::ui::SegmentationEditor;

class SegmentationEditorTest : public testing::Test {
protected:
    SegmentationEditorTest() {
        reg.setQubitCount(4);
        reg.segmentation = &seg;
        editor.refresh();
    }
    QRegister reg;
    Segmentation seg;
    SegmentationEditor editor{reg};
};

TEST_F(SegmentationEditorTest, EditsOutsideTheRegisterOrNotWholeNumbersAreRefused) {
    editor.add();
    editor.add(); // ends: 3, 3
    for (const char* bad : {"4", "-1", "3x", "", "1.5", "0x1", " "}) {
        EXPECT_FALSE(editor.applyTo(bad)) << '"' << bad << '"';
    }
    ASSERT_TRUE(editor.select(1));
    for (const char* bad : {"0", "5", "2a"}) {
        EXPECT_FALSE(editor.applyFrom(bad)) << '"' << bad << '"';
    }
    EXPECT_EQ(seg.segmentEnd[0], 3);
    EXPECT_TRUE(editor.applyFrom(" 02 ")); // leading zeros are decimal
    EXPECT_EQ(seg.segmentEnd[0], 1);
    EXPECT_TRUE(editor.applyFrom("4")); // the top bit + 1 ends the segment before at n - 1
    EXPECT_EQ(seg.segmentEnd[0], 3);
    editor.select(0);
    editor.setDecimal(0);
    editor.remove(); // the last segment goes, whichever is selected
    EXPECT_EQ(seg.segmentCount, 2);
    EXPECT_EQ(seg.options[0].decimal, 0);
    EXPECT_EQ(seg.segmentEnd[0], 3);
}

TEST_F(SegmentationEditorTest, NoSegmentLeftIsSafeAndAddStartsAgain) {
    seg.segmentEnd[0] = 2;
    editor.remove();
    editor.remove(); // with none left: nothing
    EXPECT_EQ(seg.segmentCount, 0);
    EXPECT_EQ(std::string(reg.basisLabel(5)), "");
    EXPECT_FALSE(editor.applyTo("1"));
    editor.setZeroFill(1); // nothing selected: changes nothing
    EXPECT_EQ(seg.options[0].zeroFill, 0);
    // One segment over the whole register; nothing is written before segmentEnd (where
    // segmentCount lives).
    seg.options[0].decimal = 0;
    EXPECT_EQ(editor.add(), SegmentationEditor::AddResult::Added);
    EXPECT_EQ(seg.segmentCount, 1);
    EXPECT_EQ(seg.segmentEnd[0], 2);
    EXPECT_EQ(std::string(reg.basisLabel(13)), "|13>");
}
