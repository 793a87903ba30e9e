#include "views/probabilitychart.h"

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

void ProbabilityChart::render(const QRegister* reg, int shownSegment, QImage& image) {
    PixelCanvas canvas(image);
    canvas.clear();
    if (!reg || !reg->amplitudes || reg->qubitCount < 0 ||
        reg->qubitCount > QRegister::MaxQubitCount) {
        return;
    }
    const int n = reg->qubitCount;
    canvas_ = &canvas;
    if (shownSegment < 0) {
        renderSegment(*reg, 0, n - 1);
    } else {
        // A register without a segmentation link is labelled as one segment; chart it so.
        const Segmentation fallback;
        const Segmentation& seg = reg->segmentation ? *reg->segmentation : fallback;
        // A segment that "Remove" took away is charted as the last one that is left, so that
        // only the used part of segmentEnd is ever read.
        const int count = std::min<int>(seg.segmentCount, Segmentation::MaxSegments);
        const int segment = clampSegment(shownSegment, count);
        if (segment < 0) {
            renderSegment(*reg, 0, n - 1);
        } else {
            const BitRange range = seg.bitRange(segment, n);
            const int first = std::max(range.first, 0);
            const int last = std::min(range.last, n - 1);
            if (last < first) {
                // An empty segment has one value, and every basis state holds it; a last bit
                // two or more below the first would give no bar count at all, so it is
                // charted the same way.
                renderSegment(*reg, n, n - 1);
            } else {
                renderSegment(*reg, first, last);
            }
        }
    }
    canvas_ = nullptr;
}

void ProbabilityChart::renderSegment(const QRegister& reg, int first, int last) {
    const int n = reg.qubitCount;
    const int m = last - first + 1; // 0 .. n
    const std::uint64_t values = std::uint64_t{1} << m;
    const std::uint64_t lowSize = std::uint64_t{1} << first;
    const std::uint64_t highCount = std::uint64_t{1} << (n - last - 1);
    beginColumns(canvas_->width(), m);

    // Each pass sums a chunk of values. Looping over the bits above the segment, then the
    // values, then the bits below it reads the amplitudes in runs of chunk * 2^first, and adds
    // each value's terms in increasing basis index, the order the sum is defined in.
    const Complex* amplitudes = reg.amplitudes;
    for (std::uint64_t v0 = 0; v0 < values; v0 += ChunkSize) {
        const std::uint64_t chunk = std::min<std::uint64_t>(ChunkSize, values - v0);
        std::fill_n(sums_.begin(), chunk, 0.0);
        for (std::uint64_t high = 0; high < highCount; ++high) {
            const Complex* run = amplitudes + ((high << (last + 1)) | (v0 << first));
            for (std::uint64_t v = 0; v < chunk; ++v) {
                const Complex* block = run + (v << first);
                double sum = sums_[v];
                for (std::uint64_t low = 0; low < lowSize; ++low) {
                    sum += block[low].norm();
                }
                sums_[v] = sum;
            }
        }
        for (std::uint64_t v = 0; v < chunk; ++v) {
            addBar(v0 + v, sums_[v]);
        }
    }
    flushColumn();
}

void ProbabilityChart::beginColumns(int width, int bits) {
    const std::int64_t values = std::int64_t{1} << bits;
    span_ = std::int64_t{width} - 4;
    x0_ = span_ / (2 * values) + 2;
    bits_ = bits;
    columnOpen_ = false;
}

void ProbabilityChart::addBar(std::uint64_t value, double probability) {
    const int h = canvas_->height();
    const auto x = static_cast<int>(x0_ + PixelCanvas::spread(value, span_, bits_));
    const int top = PixelCanvas::truncate(h - h * probability - 1, h - 1);
    // x never decreases (never increases when the area is narrower than 4 pixels), so the bars
    // of one column arrive together; only the tallest of them shows.
    if (columnOpen_ && x == columnX_) {
        columnTop_ = std::min(columnTop_, top);
        return;
    }
    flushColumn();
    columnOpen_ = true;
    columnX_ = x;
    columnTop_ = top;
}

void ProbabilityChart::flushColumn() {
    if (!columnOpen_) {
        return;
    }
    const int foot = canvas_->height() - 1;
    canvas_->verticalLine(columnX_, foot, columnTop_);
    canvas_->plot(columnX_, foot, PixelCanvas::Grey);
    columnOpen_ = false;
}

} // namespace amplex::ui
