#pragma once

#include "host/screenrect.h"

// Where the start-up places every window on the desktop.
//
// The screen below the control bar is divided on a scale of 740 units of the desktop height
// less 28 pixels (the task bar): Register graph 80 to 230, Probabilities 230 to 380, History 380
// to 640, State 640 to 740, all left of a 180-pixel column that holds the Gates window and,
// below it, the gate's parameter dialog. Quotients are rounded down, each taken separately.
struct WindowLayout {
    static constexpr int ColumnWidth = 180;
    static constexpr int TaskBarHeight = 28;
    static constexpr int Scale = 740;

    ScreenRect mainWindow;
    ScreenRect gates;
    ScreenRect state;
    ScreenRect registerGraph;
    ScreenRect probabilities;
    ScreenRect history;
    ScreenRect segmentation;

    // desktop: the whole desktop rectangle; its right edge is x + width, its bottom edge
    // y + height. segmentationWidth/Height: the Segmentation window's own size, which keeps it
    // and is centred on the desktop. A desktop too small for the column gives empty sizes, never
    // negative or wrapped ones.
    static WindowLayout compute(const ScreenRect& desktop, int segmentationWidth,
                                int segmentationHeight);

    // The desktop height that the 740-unit scale divides: bottom edge less the task bar, never
    // below 0.
    static int scaleHeight(const ScreenRect& desktop);
};
