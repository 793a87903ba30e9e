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

TEST(QubitCountInput, QuestionsSayWhatIsAtStake) {
    EXPECT_EQ(QubitCountInput::confirmationText(17),
              "Are you sure? The register of 17 qubits takes 3 MB of memory, and every recorded "
              "step keeps a copy of it.");
    EXPECT_NE(QubitCountInput::confirmationText(26).find("takes 1.5 GB"), std::string::npos);
    for (const auto& [steps, text] : {std::pair{1, "1 recorded step"},
                                      {999, "999 recorded steps"},
                                      {1402, "1,402 recorded steps"},
                                      {65536, "65,536 recorded steps"}}) {
        EXPECT_EQ(QubitCountInput::quitText(steps),
                  std::string("Quit Amplex? The ") + text + " will be lost.");
    }
}
