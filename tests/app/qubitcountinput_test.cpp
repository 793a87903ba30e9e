#include "app/qubitcountinput.h"

#include <gtest/gtest.h>

TEST(QubitCountInput, TakesOnlyAWholeDecimalNumberFrom1To26) {
    for (const auto& [text, count] :
         {std::pair{"1", 1}, {"26", 26}, {" 5 ", 5}, {"+7", 7}, {"010", 10}, {"00000000012", 12}}) {
        EXPECT_EQ(QubitCountInput::parse(text), count) << '"' << text << '"';
    }
    for (const char* text : {"0", "27", "-3", "", "   ", "abc", "12abc", " 5x", "5 5", "0x10",
                             "3.5", "+", "-0", "1e1", "99999999999999999999999"}) {
        EXPECT_FALSE(QubitCountInput::parse(text).has_value()) << '"' << text << '"';
    }
    EXPECT_FALSE(QubitCountInput::needsConfirmation(16));
    EXPECT_TRUE(QubitCountInput::needsConfirmation(17));
}
