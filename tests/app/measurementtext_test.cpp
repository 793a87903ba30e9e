#include "app/measurementtext.h"

#include <gtest/gtest.h>

namespace {

TEST(MeasurementText, TurnsKetsIntoACommaSeparatedList) {
    EXPECT_EQ(measurementText("|5>"), " 5");
    EXPECT_EQ(measurementText("|3>|1>"), " 3, 1");
    // No segment left: the label is empty, and there is no last character to remove.
    EXPECT_EQ(measurementText(""), "");
}

} // namespace
