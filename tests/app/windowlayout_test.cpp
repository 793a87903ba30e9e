#include "app/windowlayout.h"
#include "host/gatehost.h"

#include <gtest/gtest.h>

TEST(WindowLayout, DividesTheDesktopOnThe740ScaleRoundingEachQuotientDown) {
    WindowLayout l = WindowLayout::compute({0, 0, 1024, 768}, 400, 300);
    EXPECT_EQ(l.mainWindow, (ScreenRect{0, 0, 1024, 80}));
    EXPECT_EQ(l.gates, (ScreenRect{844, 80, 180, 300}));
    EXPECT_EQ(l.registerGraph, (ScreenRect{0, 80, 844, 151}));
    EXPECT_EQ(l.probabilities, (ScreenRect{0, 230, 844, 151}));
    EXPECT_EQ(l.history, (ScreenRect{0, 380, 844, 261}));
    EXPECT_EQ(l.state, (ScreenRect{0, 640, 844, 100}));
    EXPECT_EQ(l.segmentation, (ScreenRect{312, 234, 400, 300}));
    l = WindowLayout::compute({0, 0, 1280, 1024}, 0, 0); // H = 996: every share has a remainder
    EXPECT_EQ(l.mainWindow, (ScreenRect{0, 0, 1280, 107}));
    EXPECT_EQ(l.gates, (ScreenRect{1100, 107, 180, 528}));
    EXPECT_EQ(l.probabilities, (ScreenRect{0, 309, 1100, 202}));
    EXPECT_EQ(l.history, (ScreenRect{0, 511, 1100, 350}));
    EXPECT_EQ(l.state, (ScreenRect{0, 861, 1100, 134}));
    l = WindowLayout::compute({100, 0, 1024, 768}, 200, 100); // right edge: x + width
    EXPECT_EQ(l.gates, (ScreenRect{944, 80, 180, 300}));
    EXPECT_EQ(l.segmentation, (ScreenRect{512, 334, 200, 100}));
}

TEST(WindowLayout, GateDialogSitsBelowTheGatesWindowAndTinyDesktopsWrapNothing) {
    for (const auto& [w, h] : {std::pair{1024, 768}, {1920, 1080}, {800, 600}}) {
        const ScreenRect g = WindowLayout::compute({0, 0, w, h}, 0, 0).gates;
        EXPECT_EQ(GateHost::dialogRect(w, h), (ScreenRect{g.x, g.y + g.height, g.width, 360}));
    }
    for (const ScreenRect desktop : {ScreenRect{0, 0, 320, 240}, {0, 0, 100, 20}, {0, 0, 0, 0}}) {
        const WindowLayout l = WindowLayout::compute(desktop, 0, 0);
        for (const ScreenRect& r :
             {l.mainWindow, l.gates, l.state, l.registerGraph, l.probabilities, l.history}) {
            EXPECT_TRUE(r.width >= 0 && r.height >= 0 && r.height <= 240) << desktop.width;
        }
    }
}
