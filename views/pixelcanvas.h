#pragma once

#include <QImage>

#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace amplex::ui {

// Pixel-exact drawing into an image, with the line rule of the classic dialog toolkit the
// charts were designed for: a line draws its start point and stops before its end point.
// Every operation clips to the image, so coordinates may lie anywhere.
class PixelCanvas {
public:
    static constexpr QRgb Black = 0xff000000;
    static constexpr QRgb White = 0xffffffff;
    static constexpr QRgb Grey = 0xff7f7f7f;
    static constexpr QRgb Red = 0xffff0000;

    // image must be in Format_RGB32 or Format_ARGB32; it is not owned.
    explicit PixelCanvas(QImage& image);

    int width() const { return width_; }
    int height() const { return height_; }

    // A one-pixel black outline filled with white over the whole image.
    void clear();
    void plot(int x, int y, QRgb colour);
    QRgb pixel(int x, int y) const;
    // Black pixels from (x, from) towards (x, to), the end point excluded.
    void verticalLine(int x, int from, int to);
    // Black Bresenham line from (x0, y0) towards (x1, y1), the end point excluded.
    void line(int x0, int y0, int x1, int y1);

    // (index * span) / 2^bits with the quotient truncated toward zero, in 64 bits: where the
    // basis states (or segment values) are spread over a width. index < 2^bits.
    static std::int64_t spread(std::uint64_t index, std::int64_t span, int bits) {
        if (span >= 0) {
            return static_cast<std::int64_t>((index * static_cast<std::uint64_t>(span)) >> bits);
        }
        return -static_cast<std::int64_t>((index * static_cast<std::uint64_t>(-span)) >> bits);
    }
    // The first index after `index` whose spread differs from that of `index`, at most
    // `count`: the indexes index .. result - 1 share one pixel column.
    static std::uint64_t columnEnd(std::uint64_t index, std::int64_t span, int bits,
                                   std::uint64_t count);
    // A floating-point coordinate truncated toward zero; NaN counts as `fallback`, and values
    // beyond +-2^24 are held there, far outside any image, so the conversion stays defined.
    static int truncate(double value, int fallback) {
        constexpr double Limit = 16777216.0;
#if defined(__SSE2__)
        // Without a branch on the value: the register graph calls this for parts of either
        // sign at random, and mispredicted comparisons cost more than the arithmetic. minsd
        // and maxsd hand back their second operand for a NaN.
        const __m128d held =
            _mm_min_sd(_mm_max_sd(_mm_set_sd(value), _mm_set_sd(-Limit)), _mm_set_sd(Limit));
        const int truncated = _mm_cvttsd_si32(held);
        return value == value ? truncated : fallback;
#else
        if (!(value == value)) { // NaN
            return fallback;
        }
        return static_cast<int>(value < -Limit ? -Limit : value > Limit ? Limit : value);
#endif
    }

private:
    QImage& image_;
    int width_;
    int height_;
};

} // namespace amplex::ui
