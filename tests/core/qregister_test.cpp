#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(QRegister, FreshRegisterListsZerosWithLabels) {
    Segmentation seg;
    QRegister reg;
    reg.segmentation = &seg;
    ASSERT_TRUE(reg.setQubitCount(3));
    EXPECT_EQ(reg.probabilitySum(), 0.0);
    EXPECT_STREQ(reg.listing(6, 5), "+0 |6>     +0 |7>     ");
    EXPECT_STREQ(reg.listing(8, 1), "");
}

} // namespace
