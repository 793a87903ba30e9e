#include "views/pixelcanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

using amplex::ui::PixelCanvas;
using Pixels = std::set<std::pair<int, int>>;

// The black pixels of one line drawn on a white image.
static Pixels drawLine(int x0, int y0, int x1, int y1, int size = 20) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(PixelCanvas::White);
    PixelCanvas(image).line(x0, y0, x1, y1);
    Pixels pixels;
    for (int i = 0; i < size * size; ++i) {
        if (image.pixel(i % size, i / size) == PixelCanvas::Black) {
            pixels.insert({i % size, i / size});
        }
    }
    return pixels;
}

TEST(PixelCanvas, LinesDrawTheirStartButNotTheirEnd) {
    EXPECT_EQ(drawLine(2, 3, 6, 5), (Pixels{{2, 3}, {3, 4}, {4, 4}, {5, 5}}));
    // In every direction: one pixel per step of the longer axis.
    for (const auto& [ex, ey] : std::initializer_list<std::pair<int, int>>{
             {10, 3}, {17, 10}, {10, 17}, {3, 10}, {15, 4}, {4, 15}, {16, 12}, {5, 6}, {10, 10}}) {
        const Pixels drawn = drawLine(10, 10, ex, ey);
        const auto steps = static_cast<std::size_t>(std::max(std::abs(ex - 10), std::abs(ey - 10)));
        EXPECT_EQ(drawn.size(), steps) << ex << "," << ey;
        EXPECT_EQ(drawn.count({ex, ey}), 0u) << ex << "," << ey;
        EXPECT_EQ(drawn.count({10, 10}), steps > 0 ? 1u : 0u) << ex << "," << ey;
    }
}

TEST(PixelCanvas, FarCoordinatesAreClippedAndNeverOverflow) {
    const int far = PixelCanvas::truncate(1e300, 0);
    EXPECT_EQ(drawLine(4, 4, -far, far / 3, 8).size(), 5u); // x = 4 .. 0, then outside
    EXPECT_EQ(drawLine(-far, 4, far, 4, 8).size(), 8u);     // crosses the whole image
    EXPECT_EQ(PixelCanvas::truncate(-1.5, 9), -1);          // toward zero
    EXPECT_EQ(PixelCanvas::truncate(std::nan(""), 9), 9);
    EXPECT_EQ(PixelCanvas::truncate(-std::numeric_limits<double>::infinity(), 9), -16777216);
    EXPECT_EQ(PixelCanvas::spread(1, -3, 1), -1);
    // 2^26 basis states over a wide area overflow 32 bits.
    EXPECT_EQ(PixelCanvas::spread((1u << 26) - 1, 1000, 26), 999);
}
