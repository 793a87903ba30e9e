#pragma once

#include "host/screenrect.h"

#include <algorithm>

// The widths of the frame that the window manager puts around a window: title bar on top,
// borders elsewhere. All zero without a window manager.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const FrameMargins&) const = default;

    // The client rectangle that puts a window with this frame exactly on the outer rectangle,
    // so that windows laid out edge to edge do not cover each other's title bars. Never
    // negative in size.
    ScreenRect clientOf(const ScreenRect& outer) const {
        return {outer.x + left, outer.y + top, std::max(outer.width - left - right, 0),
                std::max(outer.height - top - bottom, 0)};
    }
};
