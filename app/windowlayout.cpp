#include "app/windowlayout.h"

#include "host/gatehost.h"

#include <algorithm>
#include <cstdint>

namespace {

// (units * H) / 740 in 64 bits: the product overflows 32 bits only on absurd desktops, but
// costs nothing to rule out.
int share(int units, int h) {
    return static_cast<int>(std::int64_t{units} * h / WindowLayout::Scale);
}

ScreenRect rect(int x, int y, int width, int height) {
    return {x, y, std::max(width, 0), std::max(height, 0)};
}

} // namespace

int WindowLayout::scaleHeight(const ScreenRect& desktop) {
    return std::max(desktop.y + desktop.height - TaskBarHeight, 0);
}

WindowLayout WindowLayout::compute(const ScreenRect& desktop, int segmentationWidth,
                                   int segmentationHeight) {
    const int w = desktop.x + desktop.width;
    const int h = scaleHeight(desktop);
    const int left = w - ColumnWidth;
    WindowLayout layout;
    layout.mainWindow = rect(0, 0, w, share(80, h));
    // The Gates window reaches down to the gate dialog below it.
    const ScreenRect dialog = GateHost::dialogRect(w, desktop.y + desktop.height);
    layout.gates = rect(left, share(80, h), ColumnWidth, dialog.y - share(80, h));
    layout.state = rect(0, share(640, h), left, share(100, h));
    layout.registerGraph = rect(0, share(80, h), left, share(150, h) + 1);
    layout.probabilities = rect(0, share(230, h), left, share(150, h) + 1);
    layout.history = rect(0, share(380, h), left, share(260, h) + 1);
    layout.segmentation = rect(desktop.x + (desktop.width - segmentationWidth) / 2,
                               desktop.y + (desktop.height - segmentationHeight) / 2,
                               segmentationWidth, segmentationHeight);
    return layout;
}
