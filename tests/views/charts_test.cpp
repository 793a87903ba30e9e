#include "views/pixelcanvas.h"
#include "views/probabilitychart.h"
#include "views/registergraph.h"

#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using amplex::ui::PixelCanvas;
using amplex::ui::ProbabilityChart;
using amplex::ui::RegisterGraph;

namespace {

QImage image(int w, int h) {
    return QImage(w, h, QImage::Format_RGB32);
}

// Every bar drawn one after the other, straight from the chart's definition.
QImage naiveChart(const QRegister& reg, int first, int last, int w, int h) {
    QImage img = image(w, h);
    PixelCanvas canvas(img);
    canvas.clear();
    const int n = reg.qubitCount;
    const int m = last - first + 1;
    const std::int64_t values = std::int64_t{1} << m;
    const std::int64_t W = w - 4;
    const std::int64_t x0 = W / (2 * values) + 2;
    for (std::int64_t v = 0; v < values; ++v) {
        double p = 0.0;
        for (std::int64_t j = 0; j < (std::int64_t{1} << (n - m)); ++j) {
            const std::int64_t low = j & ((std::int64_t{1} << first) - 1);
            const std::int64_t index = low | ((j >> first) << (last + 1)) | (v << first);
            p += reg.amplitudes[index].norm();
        }
        const auto x = static_cast<int>(x0 + (v * W) / values);
        canvas.verticalLine(x, h - 1, PixelCanvas::truncate(h - h * p - 1, h - 1));
        canvas.plot(x, h - 1, PixelCanvas::Grey);
    }
    return img;
}

// Every pointer drawn one after the other.
QImage naiveGraph(const QRegister& reg, int w, int h) {
    QImage img = image(w, h);
    PixelCanvas canvas(img);
    canvas.clear();
    const std::int64_t count = std::int64_t{1} << reg.qubitCount;
    const int a = h / 2;
    const std::int64_t x0 = w / (2 * count) + a;
    for (std::int64_t k = 0; k < count; ++k) {
        const auto x = static_cast<int>(x0 + (k * (w - h)) / count);
        const Complex& c = reg.amplitudes[k];
        canvas.line(x, a, PixelCanvas::truncate(x - h * c.imag / 2, x),
                    PixelCanvas::truncate(a - h * c.real / 2, a));
        canvas.plot(x, a, PixelCanvas::Red);
    }
    return img;
}

QImage chart(const QRegister* reg, int segment, int w, int h) {
    QImage img = image(w, h);
    ProbabilityChart().render(reg, segment, img);
    return img;
}

QImage graph(const QRegister* reg, int w, int h) {
    QImage img = image(w, h);
    RegisterGraph().render(reg, img);
    return img;
}

void randomState(QRegister& reg, std::mt19937& rng, double scale) {
    std::normal_distribution<double> normal;
    double sum = 0.0;
    for (std::uint64_t i = 0; i < reg.amplitudeCount(); ++i) {
        reg.amplitudes[i].set(normal(rng), normal(rng));
        sum += reg.amplitudes[i].norm();
    }
    // A few large amplitudes make far pointers and tall bars.
    for (std::uint64_t i = 0; i < reg.amplitudeCount(); ++i) {
        reg.amplitudes[i] = reg.amplitudes[i] * (scale / std::sqrt(sum));
    }
    if (reg.amplitudeCount() > 2) {
        reg.amplitudes[rng() % reg.amplitudeCount()].set(0.1, -0.95);
    }
}

class Charts : public testing::Test {
protected:
    void setUp(int qubits) {
        reg.setQubitCount(qubits);
        reg.segmentation = &seg;
        reg.amplitudes[0] = 1.0;
    }
    QRegister reg;
    Segmentation seg;
};

} // namespace

TEST_F(Charts, WithoutRegisterTheAreaIsOnlyCleared) {
    const QImage cleared = chart(nullptr, -1, 30, 20);
    for (const QPoint edge : {QPoint(0, 0), QPoint(29, 5), QPoint(7, 19), QPoint(0, 19)}) {
        EXPECT_EQ(cleared.pixel(edge), PixelCanvas::Black);
    }
    EXPECT_EQ(cleared.pixel(1, 1), PixelCanvas::White);
    EXPECT_EQ(cleared.pixel(28, 18), PixelCanvas::White);
    EXPECT_EQ(graph(nullptr, 30, 20), cleared);
}

TEST_F(Charts, BasisStateZeroIsOneFullBarAndGreyFeet) {
    setUp(2);
    const QImage img = chart(&reg, -1, 40, 20);
    // W = 36: bars at 6, 15, 24, 33.
    QImage expected = image(40, 20);
    PixelCanvas canvas(expected);
    canvas.clear();
    for (int y = 0; y < 19; ++y) {
        canvas.plot(6, y, PixelCanvas::Black); // probability 1 reaches the top edge
    }
    for (int x : {6, 15, 24, 33}) {
        canvas.plot(x, 19, PixelCanvas::Grey); // probability 0 leaves the grey foot only
    }
    EXPECT_EQ(img, expected);
}

TEST_F(Charts, SegmentBarsHoldTheTotalOfTheirValue) {
    setUp(4);
    seg.segmentCount = 2;
    seg.segmentEnd[0] = 1; // segment 1: bits 2..3
    reg.amplitudes[0] = 0.0;
    reg.amplitudes[0b0100] = std::sqrt(0.25);
    reg.amplitudes[0b0111] = std::sqrt(0.25);
    reg.amplitudes[0b1110] = std::sqrt(0.5);
    const QImage img = chart(&reg, 1, 44, 21);
    // W = 40, D = 4: bars at 7, 17, 27, 37 of heights 0, 0.5, 0, 0.5 of 21.
    EXPECT_EQ(img.pixel(17, 10), PixelCanvas::Black);
    EXPECT_EQ(img.pixel(17, 9), PixelCanvas::White);
    EXPECT_EQ(img.pixel(7, 20), PixelCanvas::Grey);
    EXPECT_EQ(img, naiveChart(reg, 2, 3, 44, 21));
}

TEST_F(Charts, EmptyAndReversedSegmentsShowOneBarOfTheTotal) {
    setUp(4);
    seg.segmentCount = 3;
    seg.segmentEnd[0] = 3; // segment 1 starts at 4 and ends at 3: empty
    seg.segmentEnd[1] = 3;
    const QImage oneBar = naiveChart(reg, 4, 3, 50, 20);
    EXPECT_EQ(chart(&reg, 1, 50, 20), oneBar);
    seg.segmentEnd[1] = 0; // last bit four below the first
    EXPECT_EQ(chart(&reg, 1, 50, 20), oneBar);
}

TEST_F(Charts, RemovedSegmentIsChartedAsTheLastAndNoSegmentAsShowAll) {
    setUp(3);
    std::mt19937 rng(3);
    randomState(reg, rng, 1.0);
    seg.segmentCount = 2;
    seg.segmentEnd[0] = 0;
    seg.segmentEnd[1] = -100; // beyond the used part: must not be read
    EXPECT_EQ(chart(&reg, 5, 60, 25), chart(&reg, 1, 60, 25));
    EXPECT_EQ(chart(&reg, 1, 60, 25), naiveChart(reg, 1, 2, 60, 25));
    seg.segmentCount = 0;
    EXPECT_EQ(chart(&reg, 0, 60, 25), chart(&reg, -1, 60, 25));
}

TEST_F(Charts, ChartColumnsEqualEveryBarDrawnInOrder) {
    std::mt19937 rng(11);
    const QSize sizes[] = {{200, 40}, {37, 19}, {6, 5}, {3, 8}, {1, 1}};
    for (int n = 1; n <= 11; ++n) {
        setUp(n);
        randomState(reg, rng, n % 3 == 0 ? 3.0 : 1.0);
        for (const QSize& size : sizes) {
            const int w = size.width();
            const int h = size.height();
            ASSERT_EQ(chart(&reg, -1, w, h), naiveChart(reg, 0, n - 1, w, h)) << n << " " << w;
            // A cut at n - 1 makes segment 0 the whole register, which must chart as above.
            const int cut = static_cast<int>(rng() % n);
            seg.segmentCount = 2;
            seg.segmentEnd[0] = cut;
            ASSERT_EQ(chart(&reg, 0, w, h), naiveChart(reg, 0, cut, w, h)) << n;
            if (cut + 1 <= n - 1) {
                ASSERT_EQ(chart(&reg, 1, w, h), naiveChart(reg, cut + 1, n - 1, w, h)) << n;
            }
        }
    }
}

TEST_F(Charts, FreshRegisterPointsStraightUpToTheTopEdge) {
    setUp(2);
    const QImage img = graph(&reg, 60, 20);
    // a = 10; bases at 17, 27, 37, 47.
    QImage expected = image(60, 20);
    PixelCanvas canvas(expected);
    canvas.clear();
    for (int y = 1; y <= 10; ++y) {
        canvas.plot(17, y, PixelCanvas::Black);
    }
    for (int x : {17, 27, 37, 47}) {
        canvas.plot(x, 10, PixelCanvas::Red);
    }
    EXPECT_EQ(img, expected);
}

TEST_F(Charts, PointerDirectionsFollowThePhase) {
    setUp(1);
    // w = 60, h = 20: a = 10, bases at 25 and 45; index 1 holds 0 and is only a red dot.
    struct Case {
        double re, im;
        int dx, dy;
    } cases[] = {{1, 0, 0, -1}, {-1, 0, 0, 1}, {0, 1, -1, 0}, {0, -1, 1, 0}};
    for (const Case& c : cases) {
        reg.amplitudes[0].set(c.re, c.im);
        const QImage img = graph(&reg, 60, 20);
        EXPECT_EQ(img.pixel(25, 10), PixelCanvas::Red);
        for (int step = 1; step < 10; ++step) {
            EXPECT_EQ(img.pixel(25 + step * c.dx, 10 + step * c.dy), PixelCanvas::Black);
        }
        if (c.dx != 0) { // the end point h/2 away is not drawn
            EXPECT_EQ(img.pixel(25 + 10 * c.dx, 10), PixelCanvas::White);
        }
    }
}

TEST_F(Charts, EqualSuperpositionGivesFourPointersOfAQuarterHeight) {
    setUp(2);
    for (int k = 0; k < 4; ++k) {
        reg.amplitudes[k] = 0.5;
    }
    const QImage img = graph(&reg, 100, 40);
    // a = 20, bases at 32 + 15k; each pointer ends at 20 - 10 = 10, excluded.
    for (int k = 0; k < 4; ++k) {
        const int x = 32 + 15 * k;
        EXPECT_EQ(img.pixel(x, 20), PixelCanvas::Red);
        for (int y = 11; y < 20; ++y) {
            EXPECT_EQ(img.pixel(x, y), PixelCanvas::Black);
        }
        EXPECT_EQ(img.pixel(x, 10), PixelCanvas::White);
    }
}

TEST_F(Charts, GraphColumnsEqualEveryPointerDrawnInOrder) {
    std::mt19937 rng(5);
    const QSize sizes[] = {{300, 60}, {64, 31}, {20, 40}, {9, 9}, {2, 3}};
    for (int n = 1; n <= 11; ++n) {
        setUp(n);
        randomState(reg, rng, n % 4 == 0 ? 4.0 : 1.0);
        for (const QSize& size : sizes) {
            ASSERT_EQ(graph(&reg, size.width(), size.height()),
                      naiveGraph(reg, size.width(), size.height()))
                << n << " " << size.width() << "x" << size.height();
        }
    }
}
