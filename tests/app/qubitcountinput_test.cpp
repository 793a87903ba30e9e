#include "app/qubitcountinput.h"

#include <gtest/gtest.h>

namespace {

TEST(QubitCountInput, AcceptsWholeNumbersFromOneTo26) {
    EXPECT_EQ(QubitCountInput::parse("1"), 1);
    EXPECT_EQ(QubitCountInput::parse("15"), 15);
    EXPECT_EQ(QubitCountInput::parse("26"), 26);
    EXPECT_EQ(QubitCountInput::parse(" 5 "), 5);
    EXPECT_EQ(QubitCountInput::parse("+7"), 7);
    // Decimal, whatever the leading zeros: the user means ten.
    EXPECT_EQ(QubitCountInput::parse("010"), 10);
    EXPECT_EQ(QubitCountInput::parse("0000000000000000000000012"), 12);
}

TEST(QubitCountInput, RefusesAnythingElseWhole) {
    for (const char* text : {"0", "27", "-3", "", "   ", "abc", "12abc", " 5x", "5 5", "0x10",
                             "3.5", "+", "-0", "1e1", "99999999999999999999999"}) {
        EXPECT_FALSE(QubitCountInput::parse(text).has_value()) << '"' << text << '"';
    }
}

TEST(QubitCountInput, AsksOnlyAbove16) {
    EXPECT_FALSE(QubitCountInput::needsConfirmation(16));
    EXPECT_TRUE(QubitCountInput::needsConfirmation(17));
    EXPECT_TRUE(QubitCountInput::needsConfirmation(26));
}

} // namespace
