#include "views/stateview.h"

#include <gtest/gtest.h>

using amplex::ui::StateView;

TEST(StateView, SliderSpansTheWholeRegisterWhateverItsSize) {
    StateView view;
    view.newRegister(3); // a step of the slider skips no entry
    EXPECT_EQ(view.shownCount(), 8);
    for (const auto& [position, first] :
         {std::pair{StateView::SliderMaximum, 7}, {4095, 0}, {4096, 1}}) {
        view.setSliderPosition(position);
        EXPECT_EQ(view.firstIndex(), first) << position;
    }
    EXPECT_EQ(view.sliderPosition(), 4096);

    view.newRegister(15); // a slider position is the first position
    view.setSliderPosition(12345);
    EXPECT_EQ(view.firstIndex(), 12345);
    EXPECT_EQ(view.sliderPosition(), 12345);

    view.newRegister(26); // steps of 2048, but "+" reaches the last entry and stays there
    view.setSliderPosition(1);
    EXPECT_EQ(view.firstIndex(), 2048);
    view.setSliderPosition(StateView::SliderMaximum);
    EXPECT_EQ(view.firstIndex(), (1 << 26) - 2048);
    for (int i = 0; i < 2048; ++i) {
        view.stepUp();
    }
    EXPECT_EQ(view.firstIndex(), (1 << 26) - 1);
    EXPECT_EQ(view.sliderPosition(), StateView::SliderMaximum);
}
