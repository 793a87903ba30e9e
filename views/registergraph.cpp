#include "views/registergraph.h"

#include "core/parallelfor.h"
#include "core/qregister.h"
#include "views/pixelcanvas.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace amplex::ui {

// The geometry of one rendering, shared by every range of columns.
struct RegisterGraph::Frame {
    const Complex* amplitudes;
    int n;
    std::uint64_t count;
    int a;
    double height;
    std::int64_t x0;
    std::int64_t span;
    int radius;
    int side;

    int column(std::uint64_t k) const {
        return static_cast<int>(x0 + PixelCanvas::spread(k, span, n));
    }
    std::uint64_t columnEnd(std::uint64_t k) const {
        return PixelCanvas::columnEnd(k, span, n, count);
    }
};

void RegisterGraph::render(const QRegister* reg, QImage& image, int parts) {
    PixelCanvas canvas(image);
    canvas.clear();
    if (!reg || !reg->amplitudes || reg->qubitCount < 0 ||
        reg->qubitCount > QRegister::MaxQubitCount) {
        return;
    }
    const int w = canvas.width();
    const int h = canvas.height();
    const int n = reg->qubitCount;
    const std::uint64_t count = std::uint64_t{1} << n;
    const int a = h / 2;
    // An amplitude of magnitude up to 1 ends within h/2 (plus rounding) of its base.
    const int radius = h / 2 + 2;
    const Frame frame{reg->amplitudes,
                      n,
                      count,
                      a,
                      static_cast<double>(h),
                      std::int64_t{w} / (2 * static_cast<std::int64_t>(count)) + a,
                      std::int64_t{w} - h,
                      radius,
                      2 * radius + 1};

    if (parts <= 0) {
        parts = count < kernels::ParallelThreshold ? 1 : kernels::threadCount();
    }
    parts = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(parts), count));
    const auto cells = static_cast<std::size_t>(frame.side) * static_cast<std::size_t>(frame.side);
    ranges_.resize(static_cast<std::size_t>(parts));
    for (std::size_t p = 0; p < ranges_.size(); ++p) {
        Range& range = ranges_[p];
        if (range.marked.size() != cells) {
            range.marked.assign(cells, 0);
        }
        range.markedList.clear();
        range.farEnds.clear();
        if (p > 0) {
            if (range.layer.size() != image.size()) {
                range.layer = QImage(image.size(), QImage::Format_ARGB32);
            }
            range.layer.fill(0); // no colour drawn has alpha 0
        }
    }
    // Range p starts at the first column that begins at or after p/parts of the amplitudes,
    // so that no column is split.
    const auto start = [&](std::uint64_t p) {
        const std::uint64_t k = count / static_cast<std::uint64_t>(parts) * p;
        return p == 0 ? 0 : p >= static_cast<std::uint64_t>(parts) ? count : frame.columnEnd(k - 1);
    };
    kernels::parallelFor(count, static_cast<std::uint64_t>(parts),
                         [&](std::uint64_t first, std::uint64_t last) {
                             for (std::uint64_t p = first; p < last; ++p) {
                                 Range& range = ranges_[p];
                                 if (p == 0) {
                                     drawColumns(frame, start(p), start(p + 1), range, canvas);
                                 } else {
                                     PixelCanvas layer(range.layer);
                                     drawColumns(frame, start(p), start(p + 1), range, layer);
                                 }
                             }
                         });
    for (std::size_t p = 1; p < ranges_.size(); ++p) {
        const QImage& layer = ranges_[p].layer;
        for (int y = 0; y < h; ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
            auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                if (from[x] != 0) {
                    to[x] = from[x];
                }
            }
        }
    }
}

void RegisterGraph::drawColumns(const Frame& frame, std::uint64_t from, std::uint64_t to,
                                Range& range, PixelCanvas& canvas) {
    const double height = frame.height;
    const int a = frame.a;
    const int radius = frame.radius;
    const int side = frame.side;
    const Complex* amplitudes = frame.amplitudes;
    std::uint8_t* marked = range.marked.data();
    // The row depends on the real part alone, in every column.
    double lastReal = std::numeric_limits<double>::quiet_NaN();
    int ey = a;
    // x moves monotonically with k, so the pointers of one column arrive together.
    for (std::uint64_t k = from; k < to;) {
        const int x = frame.column(k);
        const std::uint64_t end = frame.columnEnd(k);
        // A part equal to the one before gives its coordinate again (teaching states repeat
        // their values in long runs); any other is worked out afresh. A memo of the ranges of
        // parts that gave the last two coordinates spared more arithmetic, but its branches
        // mispredicted on parts of random signs: 197 ms for a random state at 24 qubits
        // against 114 ms now, and 41 ms against 28 ms for a uniform one.
        double lastImag = std::numeric_limits<double>::quiet_NaN();
        int ex = x;
        for (; k < end; ++k) {
            const Complex& c = amplitudes[k];
            if (c.imag != lastImag) { // a NaN is never equal, and gives x each time
                lastImag = c.imag;
                ex = PixelCanvas::truncate(x - height * c.imag / 2, x);
            }
            if (c.real != lastReal) {
                lastReal = c.real;
                ey = PixelCanvas::truncate(a - height * c.real / 2, a);
            }
            const int dx = ex - x;
            const int dy = ey - a;
            if (std::abs(dx) <= radius && std::abs(dy) <= radius) {
                const auto cell = static_cast<std::size_t>((dy + radius) * side + (dx + radius));
                if (!marked[cell]) {
                    marked[cell] = 1;
                    range.markedList.push_back(static_cast<std::int32_t>(cell));
                }
            } else {
                range.farEnds.push_back(QPoint(ex, ey));
            }
        }
        flushColumn(frame, range, canvas, x);
    }
}

void RegisterGraph::flushColumn(const Frame& frame, Range& range, PixelCanvas& canvas, int x) {
    // All of a column's pointers are black and start at the same base, so drawing each end
    // point once and the red base last gives the picture of drawing them all in order.
    const int side = frame.side;
    const int a = frame.a;
    for (const std::int32_t cell : range.markedList) {
        range.marked[static_cast<std::size_t>(cell)] = 0;
        const int dx = cell % side - frame.radius;
        const int dy = cell / side - frame.radius;
        canvas.line(x, a, x + dx, a + dy);
    }
    range.markedList.clear();
    for (const QPoint& end : range.farEnds) {
        canvas.line(x, a, end.x(), end.y());
    }
    range.farEnds.clear();
    canvas.plot(x, a, PixelCanvas::Red);
}

} // namespace amplex::ui
