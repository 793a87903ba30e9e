#include "views/stateview.h"

#include "core/qregister.h"

#include <gtest/gtest.h>

#include <string>

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
}

TEST(StateView, SliderOnFifteenQubitsIsThePosition) {
    StateView view;
    view.newRegister(15);
    EXPECT_EQ(view.shownCount(), 30);
    for (int p : {0, 1, 12345, StateView::SliderMaximum}) {
        view.setSliderPosition(p);
        EXPECT_EQ(view.firstIndex(), p);
        EXPECT_EQ(view.sliderPosition(), p);
    }
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

TEST(StateView, StepsStayInsideTheRegister) {
    StateView view;
    view.newRegister(1);
    EXPECT_EQ(view.shownCount(), 2);
    view.stepDown();
    EXPECT_EQ(view.firstIndex(), 0);
    view.stepUp();
    view.stepUp();
    EXPECT_EQ(view.firstIndex(), 1);
    view.setSliderPosition(-5);
    EXPECT_EQ(view.firstIndex(), 0);
    view.setSliderPosition(1 << 20);
    EXPECT_EQ(view.firstIndex(), 1);
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
}

TEST(StateView, ListingFollowsTheSettings) {
    QRegister reg;
    reg.setQubitCount(3);
    reg.amplitudes[2] = 0.6;
    reg.amplitudes[6] = -0.8;
    StateView view;
    view.newRegister(3);
    for (int i = 0; i < 6; ++i) {
        view.stepUp();
    }
    EXPECT_EQ(std::string(view.listing(reg)), "-0.8 |6>     +0 |7>     ");
    view.newRegister(3);
    view.setSortMode(StateView::Descending);
    EXPECT_EQ(std::string(view.listing(reg)).substr(0, 18), "-0.8 |6>     +0.6 ");
}
