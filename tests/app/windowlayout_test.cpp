#include "app/windowlayout.h"
#include "host/framemargins.h"
#include "host/gatehost.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// The written rectangles are outer ones: with a frame, the client areas shrink inside them and
// no title bar covers the window above; without one, nothing changes.
TEST(WindowLayout, FramesFitInsideTheOuterRectanglesWithoutOverlapping) {
    const WindowLayout l = WindowLayout::compute({0, 0, 1920, 1080}, 0, 0);
    const ScreenRect outer[] = {l.mainWindow,    l.gates,   l.registerGraph,
                                l.probabilities, l.history, l.state};
    // Rows of pixels two windows share; the "+ 1" of the written heights lets neighbours share
    // one, which no title bar fits in.
    const auto overlap = [](const ScreenRect& a, const ScreenRect& b) {
        const bool columns = a.x < b.x + b.width && b.x < a.x + a.width;
        return columns ? std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y) : 0;
    };
    for (const FrameMargins frame : {FrameMargins{}, {4, 23, 4, 4}, {0, 30, 0, 0}}) {
        for (std::size_t i = 0; i < std::size(outer); ++i) {
            const ScreenRect c = frame.clientOf(outer[i]);
            const ScreenRect framed{c.x - frame.left, c.y - frame.top,
                                    c.width + frame.left + frame.right,
                                    c.height + frame.top + frame.bottom};
            EXPECT_EQ(framed, outer[i]) << i;
            for (std::size_t j = i + 1; j < std::size(outer); ++j) {
                EXPECT_LE(overlap(framed, outer[j]), 1) << i << " " << j;
            }
        }
    }
    // A frame larger than the window leaves an empty client area, not a negative one.
    EXPECT_EQ((FrameMargins{4, 23, 4, 4}.clientOf({0, 0, 5, 10})), (ScreenRect{4, 23, 0, 0}));
}
