#include "views/pixelcanvas.h"

#include <algorithm>
#include <cstdlib>

namespace amplex::ui {

PixelCanvas::PixelCanvas(QImage& image)
    : image_(image), width_(image.width()), height_(image.height()) {}

void PixelCanvas::clear() {
    image_.fill(White);
    if (width_ <= 0 || height_ <= 0) {
        return;
    }
    for (int x = 0; x < width_; ++x) {
        plot(x, 0, Black);
        plot(x, height_ - 1, Black);
    }
    for (int y = 0; y < height_; ++y) {
        plot(0, y, Black);
        plot(width_ - 1, y, Black);
    }
}

void PixelCanvas::plot(int x, int y, QRgb colour) {
    if (x >= 0 && x < width_ && y >= 0 && y < height_) {
        reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = colour;
    }
}

QRgb PixelCanvas::pixel(int x, int y) const {
    if (x >= 0 && x < width_ && y >= 0 && y < height_) {
        return reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
    }
    return 0;
}

void PixelCanvas::verticalLine(int x, int from, int to) {
    if (x < 0 || x >= width_ || from == to) {
        return;
    }
    // The pixels from `from` up to, not including, `to`, in either direction.
    int low = from < to ? from : to + 1;
    int high = from < to ? to - 1 : from;
    low = std::max(low, 0);
    high = std::min(high, height_ - 1);
    for (int y = low; y <= high; ++y) {
        reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = Black;
    }
}

void PixelCanvas::line(int x0, int y0, int x1, int y1) {
    const std::int64_t dx = std::llabs(std::int64_t{x1} - x0);
    const std::int64_t dy = -std::llabs(std::int64_t{y1} - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    std::int64_t error = dx + dy;
    int x = x0;
    int y = y0;
    // Both coordinates move monotonically, so once one of them has left the image in the
    // direction of travel (or stands outside without moving) nothing more can be drawn.
    auto leftForGood = [](int c, int size, int step, std::int64_t distance) {
        if (c < 0) {
            return distance == 0 || step < 0;
        }
        if (c >= size) {
            return distance == 0 || step > 0;
        }
        return false;
    };
    while (x != x1 || y != y1) {
        if (leftForGood(x, width_, sx, dx) || leftForGood(y, height_, sy, dy)) {
            return;
        }
        plot(x, y, Black);
        const std::int64_t doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += sx;
        }
        if (doubled <= dx) {
            error += dx;
            y += sy;
        }
    }
}

std::uint64_t PixelCanvas::columnEnd(std::uint64_t index, std::int64_t span, int bits,
                                     std::uint64_t count) {
    const std::uint64_t magnitude =
        span >= 0 ? static_cast<std::uint64_t>(span) : static_cast<std::uint64_t>(-span);
    if (magnitude == 0) {
        return count; // every index on one column
    }
    // Column q holds the indexes i with floor(i * magnitude / 2^bits) = q; the next one starts
    // at the smallest i with i * magnitude >= (q + 1) * 2^bits.
    const std::uint64_t q = (index * magnitude) >> bits;
    const std::uint64_t next = (((q + 1) << bits) + magnitude - 1) / magnitude;
    return std::min(next, count);
}

} // namespace amplex::ui
