#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

// A register of n qubits labelled through its own segmentation.
struct Labels {
    explicit Labels(int n) {
        reg.segmentation = &seg;
        EXPECT_TRUE(reg.setQubitCount(n));
    }
    std::string operator()(std::uint32_t index) const { return reg.basisLabel(index); }
    void oneSegment(std::uint8_t direction, std::uint8_t decimal, std::uint8_t zeroFill) {
        seg.options[0] = SegmentOptions{direction, decimal, zeroFill};
    }
    Segmentation seg;
    QRegister reg;
};

TEST(Segmentation, DefaultIsOneDecimalKetWithoutZeros) {
    Labels label(4);
    EXPECT_EQ(label(10), "|10>");
    EXPECT_EQ(label(0), "|0>");
    EXPECT_EQ(label(15), "|15>");
}

TEST(Segmentation, BinaryDigitsFollowTheSegmentDirection) {
    Labels label(4);
    label.oneSegment(0, 0, 1);
    EXPECT_EQ(label(10), "|1010>");
    EXPECT_EQ(label(1), "|0001>");
    EXPECT_EQ(label(0), "|0000>");
    label.oneSegment(1, 0, 1);
    EXPECT_EQ(label(1), "|1000>");
    label.oneSegment(1, 0, 0);
    EXPECT_EQ(label(6), "|011>");
    EXPECT_EQ(label(0), "|0>");
}

TEST(Segmentation, DecimalZeroFillReachesTheDigitsOfTheWidestValue) {
    // Width 1, 3, 4, 10 and 20 fill to 1, 1, 2, 4 and 7 digits.
    const struct {
        int width;
        const char* zero;
        const char* five;
    } cases[] = {
        {1, "|0>", "|1>"},
        {3, "|0>", "|5>"},
        {4, "|00>", "|05>"},
        {10, "|0000>", "|0005>"},
        {20, "|0000000>", "|0000005>"},
    };
    for (const auto& c : cases) {
        Labels label(c.width);
        label.oneSegment(0, 1, 1);
        EXPECT_EQ(label(0), c.zero) << c.width;
        EXPECT_EQ(label(c.width == 1 ? 1 : 5), c.five) << c.width;
    }
    Labels reversed(4);
    reversed.oneSegment(1, 1, 1);
    EXPECT_EQ(reversed(5), "|50>");
    EXPECT_EQ(reversed(12), "|21>");
}

TEST(Segmentation, GlobalDirectionOrdersTheKetsButNotTheirDigits) {
    Labels label(4);
    label.seg.segmentCount = 2;
    label.seg.segmentEnd[0] = 1;
    EXPECT_EQ(label(13), "|3>|1>");
    label.seg.globalDirection = 1;
    EXPECT_EQ(label(13), "|1>|3>");
    label.seg.options[1] = SegmentOptions{0, 0, 1};
    EXPECT_EQ(label(13), "|1>|11>");
    label.seg.globalDirection = 0;
    EXPECT_EQ(label(13), "|11>|1>");
}

TEST(Segmentation, EmptySegmentsAddNothing) {
    Labels label(4);
    // Segment 1 would run from bit 2 down to bit 0.
    label.seg.segmentCount = 3;
    label.seg.segmentEnd[0] = 1;
    label.seg.segmentEnd[1] = 0;
    EXPECT_TRUE(label.seg.bitRange(1, 4).empty());
    EXPECT_EQ(label(13), "|6>|1>"); // segment 2 is bits 1 .. 3 and overlaps segment 0
    label.seg.segmentCount = 0;
    EXPECT_EQ(label(13), "");
    label.seg.segmentCount = -4;
    EXPECT_EQ(label(13), "");
}

TEST(Segmentation, LastSegmentAlwaysReachesTheTopQubit) {
    Segmentation seg;
    seg.segmentCount = 2;
    seg.segmentEnd[0] = 2;
    seg.segmentEnd[1] = 0; // ignored for the last segment
    EXPECT_EQ(seg.bitRange(0, 6).first, 0);
    EXPECT_EQ(seg.bitRange(0, 6).last, 2);
    EXPECT_EQ(seg.bitRange(1, 6).first, 3);
    EXPECT_EQ(seg.bitRange(1, 6).last, 5);
    EXPECT_EQ(seg.bitRange(1, 6).width(), 3);
    // Numbers outside the arrays give empty ranges instead of reading past them.
    EXPECT_TRUE(seg.bitRange(-1, 6).empty());
    EXPECT_TRUE(seg.bitRange(Segmentation::MaxSegments + 1, 6).empty());
}

TEST(Segmentation, ResetKeepsEverythingButTheCountAndTheFirstOptions) {
    Segmentation seg;
    seg.globalDirection = 1;
    seg.segmentCount = 3;
    seg.segmentEnd[0] = 4;
    seg.options[0] = SegmentOptions{1, 0, 1};
    seg.options[1] = SegmentOptions{1, 0, 1};
    seg.reset();
    EXPECT_EQ(seg.segmentCount, 1);
    EXPECT_EQ(seg.options[0].direction, 0);
    EXPECT_EQ(seg.options[0].decimal, 1);
    EXPECT_EQ(seg.options[0].zeroFill, 0);
    EXPECT_EQ(seg.options[1].decimal, 0);
    EXPECT_EQ(seg.globalDirection, 1);
    EXPECT_EQ(seg.segmentEnd[0], 4);
}

TEST(Segmentation, OverlongLabelsAreCutAndNeverOverrun) {
    // Every second one of 31 segments covers all 20 bits, binary with zeros: 15 kets of 22
    // characters.
    Labels label(20);
    label.seg.segmentCount = Segmentation::MaxSegments;
    for (int c = 0; c <= Segmentation::MaxSegments; ++c) {
        label.seg.options[c] = SegmentOptions{0, 0, 1};
        label.seg.segmentEnd[c] = c % 2 == 0 ? -1 : 19;
    }
    const std::string ket = "|" + std::string(19, '0') + "1>";
    for (std::uint8_t global : {0, 1}) {
        label.seg.globalDirection = global;
        const std::string text = label(1);
        EXPECT_EQ(text.size(), 127u);
        EXPECT_EQ(text.substr(0, ket.size()), ket);
    }
    // More segments than the record holds: only those it holds are read.
    label.seg.segmentCount = 1000;
    EXPECT_EQ(label(1).size(), 127u);
}

TEST(Segmentation, HandEditedEndsOutsideTheRegisterStayDefined) {
    Labels label(4);
    label.seg.segmentCount = 2;
    // Segment 1 would start at bit -4: bits below 0 read as zeros.
    label.seg.segmentEnd[0] = -5;
    EXPECT_EQ(label(1), "|16>");
    // Bits above the index read as zeros; an end at INT_MAX does not overflow.
    label.seg.segmentCount = 3;
    label.seg.segmentEnd[0] = 40;
    label.seg.segmentEnd[1] = INT_MAX;
    EXPECT_EQ(label(15), "|0>|15>");
    label.seg.segmentEnd[0] = INT_MIN;
    label.seg.segmentEnd[1] = INT_MAX;
    EXPECT_EQ(label.seg.bitRange(1, 4).width(), INT_MAX);
    label.seg.options[1] = SegmentOptions{0, 0, 1};
    EXPECT_EQ(label(15).size(), 127u);
}

TEST(Segmentation, SuccessiveLabelsShareOneBuffer) {
    Labels label(3);
    const char* first = label.reg.basisLabel(1);
    const char* second = label.reg.basisLabel(2);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "|2>");
}

} // namespace
