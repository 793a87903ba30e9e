#pragma once

#include <QImage>

#include <array>
#include <cstdint>

class ProbabilityWalk;
class QRegister;

namespace amplex::ui {

class PixelCanvas;

// The bar chart of measurement probabilities, pixel for pixel.
//
// Over a one-pixel black outline filled with white, with W = width - 4: "Show all" draws for
// each basis index i of N = 2^n a black line from (x, h - 1) up towards (x, h - h*p - 1),
// truncated, the end excluded, at x = W / (2N) + 2 + (i*W) / N, and then a grey pixel at
// (x, h - 1). One segment of m bits draws the same for each of its D = 2^m values, p being
// the total probability of the basis states holding that value.
//
// Where many bars fall on one pixel column, the tallest and the grey foot give the same
// picture as all of them in order, so a chart costs one pass over the amplitudes and one line
// per column, whatever the register's size.
class ProbabilityChart {
public:
    // The segment that a typed number asks for: below 0 gives 0, segmentCount or more gives
    // the last segment; -1 ("Show all") when there is no segment.
    static int clampSegment(int wanted, int segmentCount);

    // Renders reg into image (RGB32, the drawing area's size). shownSegment -1 charts every
    // basis state; a segment number beyond the record's segments is charted as the last one,
    // and as "Show all" when none is left. A segment whose bit range is empty (its last bit
    // below its first) is charted as one bar holding the total probability. A null register
    // leaves the area cleared.
    //
    // With a walk, hands it every probability when the chart reads the register in increasing
    // index order, and returns whether it did: always for "Show all" and segments of at most
    // 4,096 values or reaching the top bit, never for wider segments below the top bit.
    bool render(const QRegister* reg, int shownSegment, QImage& image,
                ProbabilityWalk* walk = nullptr);

private:
    // Bars of the values of bits first .. last (first = n, last = n - 1: one bar, the total).
    bool renderSegment(const QRegister& reg, int first, int last, ProbabilityWalk* walk);
    void beginColumns(int width, int bits);
    // Adds the bars of values first, first + 1, .. in order.
    void addBars(std::uint64_t first, const double* probabilities, std::uint64_t count);
    void flushColumn();

    // Values summed per pass in segment mode: enough to read the amplitudes in long runs.
    static constexpr int ChunkSize = 4096;
    std::array<double, ChunkSize> sums_{};

    // The column being gathered.
    PixelCanvas* canvas_ = nullptr;
    std::int64_t x0_ = 0;
    std::int64_t span_ = 0;
    int bits_ = 0;
    std::uint64_t values_ = 0;
    std::uint64_t columnEnd_ = 0; // first value of the next column
    int columnX_ = 0;
    double columnMaximum_ = 0.0;
    bool columnOpen_ = false;
};

} // namespace amplex::ui
