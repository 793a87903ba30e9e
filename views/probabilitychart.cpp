#include "views/probabilitychart.h"

#include "core/probabilitywalk.h"
#include "core/qregister.h"
#include "core/segmentation.h"
#include "views/pixelcanvas.h"

#include <algorithm>

namespace amplex::ui {

int ProbabilityChart::clampSegment(int wanted, int segmentCount) {
    if (segmentCount <= 0) {
        return -1;
    }
    return std::clamp(wanted, 0, segmentCount - 1);
}

bool ProbabilityChart::render(const QRegister* reg, int shownSegment, QImage& image,
                              ProbabilityWalk* walk) {
    PixelCanvas canvas(image);
    canvas.clear();
    if (!reg || !reg->amplitudes || reg->qubitCount < 0 ||
        reg->qubitCount > QRegister::MaxQubitCount) {
        return false;
    }
    const int n = reg->qubitCount;
    canvas_ = &canvas;
    bool walked = false;
    if (shownSegment < 0) {
        walked = renderSegment(*reg, 0, n - 1, walk);
    } else {
        // A register without a segmentation link is labelled as one segment; chart it so.
        const Segmentation fallback;
        const Segmentation& seg = reg->segmentation ? *reg->segmentation : fallback;
        // A segment that "Remove" took away is charted as the last one that is left, so that
        // only the used part of segmentEnd is ever read.
        const int count = std::min<int>(seg.segmentCount, Segmentation::MaxSegments);
        const int segment = clampSegment(shownSegment, count);
        if (segment < 0) {
            walked = renderSegment(*reg, 0, n - 1, walk);
        } else {
            const BitRange range = seg.bitRange(segment, n);
            const int first = std::max(range.first, 0);
            const int last = std::min(range.last, n - 1);
            if (last < first) {
                // An empty segment has one value, and every basis state holds it; a last bit
                // two or more below the first would give no bar count at all, so it is
                // charted the same way.
                walked = renderSegment(*reg, n, n - 1, walk);
            } else {
                walked = renderSegment(*reg, first, last, walk);
            }
        }
    }
    canvas_ = nullptr;
    return walked;
}

bool ProbabilityChart::renderSegment(const QRegister& reg, int first, int last,
                                     ProbabilityWalk* walk) {
    const int n = reg.qubitCount;
    const int m = last - first + 1; // 0 .. n
    const std::uint64_t values = std::uint64_t{1} << m;
    const std::uint64_t lowSize = std::uint64_t{1} << first;
    const std::uint64_t highCount = std::uint64_t{1} << (n - last - 1);
    beginColumns(canvas_->width(), m);

    const Complex* amplitudes = reg.amplitudes;
    // The walk goes in a local copy, handed back at the end: the amplitudes are doubles too,
    // so through the pointer every add stored and reloaded the running sums, a chain of
    // additions twice as long (24 qubits: the chart's pass took 64 ms with a walk, 34 without).
    bool walking = walk != nullptr;
    ProbabilityWalk local = walking ? *walk : ProbabilityWalk(0);
    if (m == n) {
        // One bar per basis state: a column's tallest bar straight from the amplitudes.
        for (std::uint64_t i = 0; i < values;) {
            const std::uint64_t end = PixelCanvas::columnEnd(i, span_, bits_, values);
            columnX_ = static_cast<int>(x0_ + PixelCanvas::spread(i, span_, bits_));
            double maximum = 0.0;
            for (; i < end; ++i) {
                const double p = amplitudes[i].norm();
                maximum = p > maximum ? p : maximum;
                if (walking) {
                    local.add(i, p);
                }
            }
            columnMaximum_ = maximum;
            columnOpen_ = true;
            flushColumn();
        }
        if (walking) {
            *walk = local;
        }
        return walking;
    }

    // Each pass sums a chunk of values. Looping over the bits above the segment, then the
    // values, then the bits below it reads the amplitudes in runs of chunk * 2^first, and adds
    // each value's terms in increasing basis index, the order the sum is defined in. With one
    // chunk, or nothing above the segment, that reads the whole register in index order.
    if (values > ChunkSize && highCount > 1) {
        walking = false;
    }
    for (std::uint64_t v0 = 0; v0 < values; v0 += ChunkSize) {
        const std::uint64_t chunk = std::min<std::uint64_t>(ChunkSize, values - v0);
        std::fill_n(sums_.begin(), chunk, 0.0);
        for (std::uint64_t high = 0; high < highCount; ++high) {
            const Complex* run = amplitudes + ((high << (last + 1)) | (v0 << first));
            for (std::uint64_t v = 0; v < chunk; ++v) {
                const Complex* block = run + (v << first);
                double sum = sums_[v];
                if (walking) {
                    const auto base = static_cast<std::uint64_t>(block - amplitudes);
                    for (std::uint64_t low = 0; low < lowSize; ++low) {
                        const double p = block[low].norm();
                        sum += p;
                        local.add(base + low, p);
                    }
                } else {
                    for (std::uint64_t low = 0; low < lowSize; ++low) {
                        sum += block[low].norm();
                    }
                }
                sums_[v] = sum;
            }
        }
        addBars(v0, sums_.data(), chunk);
    }
    flushColumn();
    if (walking) {
        *walk = local;
    }
    return walking;
}

void ProbabilityChart::beginColumns(int width, int bits) {
    values_ = std::uint64_t{1} << bits;
    span_ = std::int64_t{width} - 4;
    x0_ = span_ / (2 * static_cast<std::int64_t>(values_)) + 2;
    bits_ = bits;
    columnOpen_ = false;
    columnEnd_ = 0;
}

void ProbabilityChart::addBars(std::uint64_t first, const double* probabilities,
                               std::uint64_t count) {
    // The bars of one column arrive together, since x moves monotonically with the value.
    // All start at the foot, so the tallest one covers the others; the height is monotone in
    // the probability, so the column's largest probability gives the tallest bar. A NaN
    // probability, which draws no bar, never wins the comparison.
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t value = first + i;
        if (value >= columnEnd_) {
            flushColumn();
            columnOpen_ = true;
            columnX_ = static_cast<int>(x0_ + PixelCanvas::spread(value, span_, bits_));
            columnEnd_ = PixelCanvas::columnEnd(value, span_, bits_, values_);
            columnMaximum_ = 0.0;
        }
        if (probabilities[i] > columnMaximum_) {
            columnMaximum_ = probabilities[i];
        }
    }
}

void ProbabilityChart::flushColumn() {
    if (!columnOpen_) {
        return;
    }
    const int h = canvas_->height();
    const int top = PixelCanvas::truncate(h - h * columnMaximum_ - 1, h - 1);
    canvas_->verticalLine(columnX_, h - 1, top);
    canvas_->plot(columnX_, h - 1, PixelCanvas::Grey);
    columnOpen_ = false;
}

} // namespace amplex::ui
