// The state views' redraw costs on large registers: the charts' one pass over the amplitudes
// and the State window's listing, unsorted and sorted.
#include "views/probabilitychart.h"
#include "views/registergraph.h"
#include "views/stateview.h"

#include "core/qregister.h"
#include "core/segmentation.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <cmath>
#include <memory>
#include <random>

namespace {

// The view areas of a 1024 x 768 desktop.
constexpr int AreaWidth = 844;
constexpr int ChartHeight = 129;
constexpr int GraphHeight = 151;

struct State {
    QRegister reg;
    Segmentation seg;
};

// One random normalised state per size, kept for the whole run (24 qubits take 400 MB).
State& randomState(int n) {
    static std::unique_ptr<State> states[32];
    if (!states[n]) {
        states[n] = std::make_unique<State>();
        State& s = *states[n];
        s.reg.setQubitCount(n);
        s.reg.segmentation = &s.seg;
        std::mt19937 rng(42);
        std::normal_distribution<double> normal;
        double sum = 0.0;
        for (std::uint64_t i = 0; i < s.reg.amplitudeCount(); ++i) {
            s.reg.amplitudes[i].set(normal(rng), normal(rng));
            sum += s.reg.amplitudes[i].norm();
        }
        const double scale = 1.0 / std::sqrt(sum);
        for (std::uint64_t i = 0; i < s.reg.amplitudeCount(); ++i) {
            s.reg.amplitudes[i] = s.reg.amplitudes[i] * scale;
        }
        // Three segments: bits 0..3, 4..n-5, n-4..n-1.
        s.seg.segmentCount = 3;
        s.seg.segmentEnd[0] = 3;
        s.seg.segmentEnd[1] = n - 5;
    }
    return *states[n];
}

void chartShowAll(benchmark::State& state) {
    State& s = randomState(static_cast<int>(state.range(0)));
    QImage image(AreaWidth, ChartHeight, QImage::Format_RGB32);
    amplex::ui::ProbabilityChart chart;
    for (auto _ : state) {
        chart.render(&s.reg, -1, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void chartSegment(benchmark::State& state) {
    State& s = randomState(static_cast<int>(state.range(0)));
    const int segment = static_cast<int>(state.range(1));
    QImage image(AreaWidth, ChartHeight, QImage::Format_RGB32);
    amplex::ui::ProbabilityChart chart;
    for (auto _ : state) {
        chart.render(&s.reg, segment, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void registerGraph(benchmark::State& state) {
    State& s = randomState(static_cast<int>(state.range(0)));
    QImage image(AreaWidth, GraphHeight, QImage::Format_RGB32);
    amplex::ui::RegisterGraph graph;
    for (auto _ : state) {
        graph.render(&s.reg, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void stateListing(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    State& s = randomState(n);
    amplex::ui::StateView view;
    view.newRegister(n);
    view.setSortMode(static_cast<int>(state.range(1)));
    view.setSliderPosition(static_cast<int>(state.range(2)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(view.listing(s.reg));
    }
}

} // namespace

BENCHMARK(chartShowAll)->Arg(20)->Arg(24)->Unit(benchmark::kMillisecond);
// Segment 1 is the wide middle segment, segment 2 the top four bits.
BENCHMARK(chartSegment)
    ->Args({20, 1})
    ->Args({24, 1})
    ->Args({20, 2})
    ->Args({24, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(registerGraph)->Arg(20)->Arg(24)->Unit(benchmark::kMillisecond);
// Sort mode 0, 1, 2 at the start; sorted at the middle of the order (slider 16384).
BENCHMARK(stateListing)
    ->Args({20, 0, 0})
    ->Args({24, 0, 0})
    ->Args({20, 1, 0})
    ->Args({24, 1, 0})
    ->Args({20, 2, 0})
    ->Args({24, 2, 0})
    ->Args({20, 2, 16384})
    ->Args({24, 2, 16384})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
