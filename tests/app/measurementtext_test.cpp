#include "app/measurementtext.h"

#include <gtest/gtest.h>

TEST(MeasurementText, TurnsKetsIntoACommaSeparatedList) {
    EXPECT_EQ(measurementText("|5>"), " 5");
    EXPECT_EQ(measurementText("|3>|1>"), " 3, 1");
    EXPECT_EQ(measurementText(""), ""); // no segment left: no last character to remove
}
