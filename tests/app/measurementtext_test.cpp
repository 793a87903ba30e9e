#include "app/measurementtext.h"

#include <gtest/gtest.h>

namespace {

TEST(MeasurementText, TurnsKetsIntoACommaSeparatedList) {
    EXPECT_EQ(measurementText("|5>"), " 5");
    EXPECT_EQ(measurementText("|3>|1>"), " 3, 1");
    EXPECT_EQ(measurementText("|0101>|7>|0>"), " 0101, 7, 0");
}

TEST(MeasurementText, EmptyLabelStaysEmpty) {
    // No segment left: the label is empty, and there is no last character to remove.
    EXPECT_EQ(measurementText(""), "");
    EXPECT_EQ(measurementText(nullptr), "");
}

} // namespace
