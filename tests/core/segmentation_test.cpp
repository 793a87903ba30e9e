#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

namespace {

TEST(Segmentation, TwoSegmentsJoinInGlobalDirection) {
    Segmentation seg;
    seg.segmentCount = 2;
    seg.segmentEnd[0] = 1;
    QRegister reg;
    reg.segmentation = &seg;
    ASSERT_TRUE(reg.setQubitCount(4));
    EXPECT_STREQ(reg.basisLabel(13), "|3>|1>");
    seg.globalDirection = 1;
    EXPECT_STREQ(reg.basisLabel(13), "|1>|3>");
}

} // namespace
