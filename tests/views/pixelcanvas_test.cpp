#include "views/pixelcanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>

using amplex::ui::PixelCanvas;

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels blackPixels(const QImage& image) {
    Pixels pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == PixelCanvas::Black) {
                pixels.insert({x, y});
            }
        }
    }
    return pixels;
}

QImage blank(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(PixelCanvas::White);
    return image;
}

} // namespace

TEST(PixelCanvas, LinesDrawTheirStartButNotTheirEnd) {
    QImage image = blank(20, 20);
    PixelCanvas canvas(image);
    canvas.line(2, 3, 6, 5);
    EXPECT_EQ(blackPixels(image), (Pixels{{2, 3}, {3, 4}, {4, 4}, {5, 5}}));

    // In every direction: one pixel per step of the longer axis, start in, end out.
    const std::pair<int, int> ends[] = {{10, 3}, {17, 10}, {10, 17}, {3, 10}, {15, 4},
                                        {4, 15}, {16, 12}, {5, 6},   {10, 10}};
    for (const auto& [ex, ey] : ends) {
        QImage img = blank(20, 20);
        PixelCanvas c(img);
        c.line(10, 10, ex, ey);
        const Pixels drawn = blackPixels(img);
        const int steps = std::max(std::abs(ex - 10), std::abs(ey - 10));
        EXPECT_EQ(static_cast<int>(drawn.size()), steps) << ex << "," << ey;
        EXPECT_EQ(drawn.count({ex, ey}), 0u);
        EXPECT_EQ(drawn.count({10, 10}), steps > 0 ? 1u : 0u);
    }
}

TEST(PixelCanvas, FarLinesStopAtTheEdgeOfTheImage) {
    QImage image = blank(8, 8);
    PixelCanvas canvas(image);
    const int far = PixelCanvas::truncate(1e300, 0);
    canvas.line(4, 4, -far, far / 3); // ends long after leaving the image
    canvas.line(-far, 4, far, 4);     // starts far outside, crosses it
    canvas.line(100, 4, 200, 4);      // never inside
    const Pixels drawn = blackPixels(image);
    EXPECT_EQ(drawn.count({0, 4}), 1u);
    EXPECT_EQ(drawn.count({7, 4}), 1u);
}

TEST(PixelCanvas, CoordinatesTruncateTowardZeroAndNeverOverflow) {
    EXPECT_EQ(PixelCanvas::truncate(-0.5, 9), 0);
    EXPECT_EQ(PixelCanvas::truncate(-1.5, 9), -1);
    EXPECT_EQ(PixelCanvas::truncate(99.999, 9), 99);
    EXPECT_EQ(PixelCanvas::truncate(std::nan(""), 9), 9);
    EXPECT_EQ(PixelCanvas::truncate(-std::numeric_limits<double>::infinity(), 9), -16777216);
    EXPECT_EQ(PixelCanvas::spread(3, 10, 2), 7);
    EXPECT_EQ(PixelCanvas::spread(1, -3, 1), -1);
    // 2^26 basis states over a wide area overflow 32 bits.
    EXPECT_EQ(PixelCanvas::spread((1u << 26) - 1, 1000, 26), 999);
}
