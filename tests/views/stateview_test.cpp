#include "views/stateview.h"

#include <gtest/gtest.h>

using amplex::ui::StateView;

TEST(StateView, SliderOnThreeQubitsSkipsNoEntry) {
    StateView view;
    view.newRegister(3);
    EXPECT_EQ(view.shownCount(), 8);
    view.setSliderPosition(StateView::SliderMaximum);
    EXPECT_EQ(view.firstIndex(), 7); // 32767 >> 12
    view.setSliderPosition(4095);
    EXPECT_EQ(view.firstIndex(), 0);
    view.setSliderPosition(4096);
    EXPECT_EQ(view.firstIndex(), 1);
    EXPECT_EQ(view.sliderPosition(), 4096);
    view.newRegister(15); // a slider position is the first position
    view.setSliderPosition(12345);
    EXPECT_EQ(view.firstIndex(), 12345);
    EXPECT_EQ(view.sliderPosition(), 12345);
}

TEST(StateView, SliderOnTwentySixQubitsStepsBy2048ButPlusReachesTheEnd) {
    StateView view;
    view.newRegister(26);
    view.setSliderPosition(1);
    EXPECT_EQ(view.firstIndex(), 2048);
    view.setSliderPosition(StateView::SliderMaximum);
    EXPECT_EQ(view.firstIndex(), (1 << 26) - 2048);
    for (int i = 0; i < 2047; ++i) {
        view.stepUp();
    }
    EXPECT_EQ(view.firstIndex(), (1 << 26) - 1);
    EXPECT_EQ(view.sliderPosition(), StateView::SliderMaximum);
    view.stepUp();
    EXPECT_EQ(view.firstIndex(), (1 << 26) - 1);
}

TEST(StateView, NewRegisterRestartsButKeepsTheSortMode) {
    StateView view;
    view.newRegister(5);
    view.setSortMode(StateView::Descending);
    view.stepUp();
    view.newRegister(4);
    EXPECT_EQ(view.firstIndex(), 0);
    EXPECT_EQ(view.shownCount(), 16);
    EXPECT_EQ(view.sortMode(), StateView::Descending);
    view.setSortMode(3);
    EXPECT_EQ(view.sortMode(), StateView::Descending);
    view.newRegister(1);
    EXPECT_EQ(view.shownCount(), 2);
    view.stepDown();
    EXPECT_EQ(view.firstIndex(), 0);
}
