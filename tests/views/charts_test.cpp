#include "views/pixelcanvas.h"
#include "views/probabilitychart.h"
#include "views/registergraph.h"

#include "core/probabilitywalk.h"
#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <tuple>

using namespace amplex::ui;

// Every bar of bits first .. last drawn one after the other, straight from the definition.
static QImage naiveChart(const QRegister& reg, int first, int last, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    PixelCanvas canvas(img);
    canvas.clear();
    const int m = last - first + 1;
    const std::int64_t values = std::int64_t{1} << m, W = w - 4, x0 = W / (2 * values) + 2;
    for (std::int64_t v = 0; v < values; ++v) {
        double p = 0.0;
        for (std::int64_t j = 0; j < (std::int64_t{1} << (reg.qubitCount - m)); ++j) {
            const std::int64_t low = j & ((std::int64_t{1} << first) - 1);
            p += reg.amplitudes[low | ((j >> first) << (last + 1)) | (v << first)].norm();
        }
        const auto x = static_cast<int>(x0 + (v * W) / values);
        canvas.verticalLine(x, h - 1, PixelCanvas::truncate(h - h * p - 1, h - 1));
        canvas.plot(x, h - 1, PixelCanvas::Grey);
    }
    return img;
}

// Every pointer drawn one after the other.
static QImage naiveGraph(const QRegister& reg, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    PixelCanvas canvas(img);
    canvas.clear();
    const std::int64_t count = std::int64_t{1} << reg.qubitCount;
    const int a = h / 2;
    for (std::int64_t k = 0; k < count; ++k) {
        const auto x = static_cast<int>(w / (2 * count) + a + (k * (w - h)) / count);
        const Complex& c = reg.amplitudes[k];
        canvas.line(x, a, PixelCanvas::truncate(x - h * c.imag / 2, x),
                    PixelCanvas::truncate(a - h * c.real / 2, a));
        canvas.plot(x, a, PixelCanvas::Red);
    }
    return img;
}

static QImage chart(const QRegister* reg, int segment, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    ProbabilityChart().render(reg, segment, img);
    return img;
}

static QImage graph(const QRegister* reg, int w, int h, int parts = 0) {
    QImage img(w, h, QImage::Format_RGB32);
    RegisterGraph().render(reg, img, parts);
    return img;
}

class Charts : public testing::Test {
protected:
    void setUp(int qubits) {
        reg.setQubitCount(qubits);
        reg.segmentation = &seg;
        reg.amplitudes[0] = 1.0;
    }
    // Total probability about scale^2 with one large amplitude: far pointers, tall bars.
    void randomState(std::mt19937& rng, double scale) {
        std::normal_distribution<double> normal(0.0, scale / std::sqrt(2.0 * reg.amplitudeCount()));
        for (std::uint64_t i = 0; i < reg.amplitudeCount(); ++i) {
            reg.amplitudes[i].set(normal(rng), normal(rng));
        }
        reg.amplitudes[rng() % reg.amplitudeCount()].set(0.1, -0.95);
    }
    QRegister reg;
    Segmentation seg;
};

TEST_F(Charts, BasisStateZeroIsOneFullBarAndGreyFeet) {
    const QImage cleared = chart(nullptr, -1, 30, 20); // no register: only framed and cleared
    EXPECT_EQ(graph(nullptr, 30, 20), cleared);
    for (const QPoint frame : {QPoint(7, 0), QPoint(7, 19), QPoint(0, 5), QPoint(29, 5)}) {
        EXPECT_EQ(cleared.pixel(frame), PixelCanvas::Black);
    }
    EXPECT_EQ(cleared.pixel(28, 18), PixelCanvas::White);
    setUp(2); // W = 36: bars at 6, 15, 24, 33
    const QImage bars = chart(&reg, -1, 40, 20);
    EXPECT_EQ(bars.pixel(6, 1), PixelCanvas::Black);   // probability 1 reaches the top edge
    EXPECT_EQ(bars.pixel(15, 18), PixelCanvas::White); // probability 0: the grey foot only
    for (int x : {6, 15, 24, 33}) {
        EXPECT_EQ(bars.pixel(x, 19), PixelCanvas::Grey);
    }
}

TEST_F(Charts, ReversedRemovedAndMissingSegmentsAreReadSafely) {
    setUp(4);
    std::mt19937 rng(3);
    randomState(rng, 1.0);
    seg.segmentCount = 3;
    seg.segmentEnd[0] = 3; // segment 1 runs from bit 4 down to bit 0: one bar of the total
    seg.segmentEnd[1] = 0;
    EXPECT_EQ(chart(&reg, 1, 50, 20), naiveChart(reg, 4, 3, 50, 20));
    seg.segmentCount = 2; // a removed segment is charted as the last one
    seg.segmentEnd[0] = 0;
    seg.segmentEnd[1] = -100; // beyond the used part: must not be read
    EXPECT_EQ(chart(&reg, 5, 50, 20), naiveChart(reg, 1, 3, 50, 20));
    seg.segmentCount = 0; // none left: "Show all"
    EXPECT_EQ(chart(&reg, 0, 50, 20), chart(&reg, -1, 50, 20));
}

TEST_F(Charts, PointersTurnWithThePhase) {
    setUp(1);
    // 60 x 20: middle line 10, bases at 25 and 45; index 1 holds 0 and is only a red dot.
    const struct {
        double re, im;
        int dx, dy;
    } cases[] = {{1, 0, 0, -1}, {-1, 0, 0, 1}, {0, 1, -1, 0}, {0, -1, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.re << " + " << c.im << "i");
        reg.amplitudes[0].set(c.re, c.im);
        const QImage img = graph(&reg, 60, 20);
        EXPECT_EQ(img.pixel(25, 10), PixelCanvas::Red);
        EXPECT_EQ(img.pixel(45, 10), PixelCanvas::Red);
        for (int step = 1; step < 10; ++step) {
            EXPECT_EQ(img.pixel(25 + step * c.dx, 10 + step * c.dy), PixelCanvas::Black);
        }
        if (c.dx != 0) { // the end point h/2 away is not drawn
            EXPECT_EQ(img.pixel(25 + 10 * c.dx, 10), PixelCanvas::White);
        }
    }
}

TEST_F(Charts, ColumnsEqualEveryLineDrawnInOrder) {
    std::mt19937 rng(11);
    const QSize sizes[] = {{300, 60}, {37, 19}, {20, 40}, {9, 9}, {6, 5}, {3, 8}, {2, 3}, {1, 1}};
    for (int n = 1; n <= 11; ++n) {
        setUp(n);
        randomState(rng, n % 3 == 0 ? 3.0 : 1.0);
        for (const QSize& size : sizes) {
            const int w = size.width(), h = size.height();
            SCOPED_TRACE(testing::Message() << n << " qubits, " << w << "x" << h);
            // Split into ranges of columns drawn on layers of their own, more of them than
            // columns in the narrowest pictures.
            const QImage expected = naiveGraph(reg, w, h);
            for (const int parts : {1, 2, 5}) {
                ASSERT_EQ(graph(&reg, w, h, parts), expected) << parts << " parts";
            }
            ASSERT_EQ(chart(&reg, -1, w, h), naiveChart(reg, 0, n - 1, w, h));
            // A cut at n - 1 makes segment 0 the whole register, and segment 1 empty: one bar.
            const int cut = static_cast<int>(rng() % n);
            seg.segmentCount = 2;
            seg.segmentEnd[0] = cut;
            ASSERT_EQ(chart(&reg, 0, w, h), naiveChart(reg, 0, cut, w, h));
            ASSERT_EQ(chart(&reg, 1, w, h), naiveChart(reg, cut + 1, n - 1, w, h));
        }
    }
    // Parts that are no number, or far out, beside runs of equal ones.
    setUp(5);
    reg.amplitudes[3].set(std::nan(""), 1e300);
    reg.amplitudes[4].set(-std::numeric_limits<double>::infinity(), std::nan(""));
    reg.amplitudes[5].set(std::nan(""), 1e300);
    EXPECT_EQ(graph(&reg, 37, 19, 3), naiveGraph(reg, 37, 19));
}

// The chart's pass gives the bar's probability sum and sample bit for bit, whenever it reads
// the register in index order, and says when it does not.
TEST_F(Charts, AChartReadInIndexOrderGivesTheSumAndTheSampleBitForBit) {
    setUp(14);
    std::mt19937 rng(5);
    randomState(rng, 1.0);
    seg.segmentCount = 3;
    // segment, cut after bit, walked: "Show all"; 16 values under 10 bits above; 8,192 values
    // below one bit above; 8,192 values up to the top bit; an empty segment.
    const std::tuple<int, int, int, bool> cases[] = {{-1, 3, 13, true},
                                                     {0, 3, 13, true},
                                                     {0, 12, 13, false},
                                                     {1, 0, 13, true},
                                                     {2, 3, 13, true}};
    for (const auto& [segment, cut, second, walked] : cases) {
        seg.segmentEnd[0] = cut;
        seg.segmentEnd[1] = second;
        for (const int draw : {1, 9000, 32767}) {
            SCOPED_TRACE(testing::Message() << segment << " " << cut << " " << draw);
            QImage img(200, 40, QImage::Format_RGB32);
            ProbabilityWalk walk(draw);
            EXPECT_EQ(ProbabilityChart().render(&reg, segment, img, &walk), walked);
            EXPECT_EQ(img, chart(&reg, segment, 200, 40));
            if (walked) {
                EXPECT_EQ(walk.sum(), reg.probabilitySum());
                EXPECT_EQ(walk.sample(reg.amplitudeCount()), reg.sampleFromDraw(draw));
            }
        }
    }
}
