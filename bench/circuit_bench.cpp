// The Circuit window's costs on long histories: laying out every step (once per refresh) and
// painting the view, which draws only the columns in view, so a search's 1,402 steps paint as
// fast as a dozen; back and forward only move the position in the layout made before. Each case
// is timed at a short and a long history in the same run.
#include "app/circuitlayout.h"
#include "app/circuitview.h"
#include "app/stephistory.h"
#include "core/qregister.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <map>
#include <memory>

namespace {

// A search's step texts repeated: ranges, oracles, single gates.
const char* const Texts[] = {
    "Hadamard ( 3 )", "Hadamardrange ( 0 - 13 )",
    "Signoracle",     "Seekerstep ( 0 - 13 )",
    "cnot ( 2, 9 )",  "Rotate 2 bits controlled ( bits: 5, 1, angle: -0.19635)"};

// A two-qubit history: the snapshots stay small, the texts are what the layout reads.
struct Recorded {
    QRegister live;
    std::unique_ptr<StepHistory> history;
    explicit Recorded(int steps) {
        live.setQubitCount(2);
        history = std::make_unique<StepHistory>(live);
        for (int k = 0; k < steps; ++k) {
            history->recordStep(Texts[k % std::size(Texts)], 0);
        }
    }
};

Recorded& recorded(int steps) {
    static std::map<int, std::unique_ptr<Recorded>> made;
    auto& r = made[steps];
    if (!r) {
        r = std::make_unique<Recorded>(steps);
    }
    return *r;
}

const CircuitLayout::Metrics Metrics{60, 42, 14, 20};

void BM_Layout(benchmark::State& state) {
    const StepHistory& history = *recorded(static_cast<int>(state.range(0))).history;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CircuitLayout::build(history, 14, nullptr, Metrics));
    }
}

// A History-window-sized view scrolled to the middle, rendered into an image.
void BM_Paint(benchmark::State& state) {
    const StepHistory& history = *recorded(static_cast<int>(state.range(0))).history;
    amplex::ui::CircuitView view;
    view.resize(844, 261);
    view.setLayout(CircuitLayout::build(history, 14, nullptr, Metrics));
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Walk(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    CircuitLayout layout = CircuitLayout::build(*recorded(steps).history, 14, nullptr, Metrics);
    int position = 0;
    for (auto _ : state) {
        layout.setPosition(position = (position + 1) % steps);
        benchmark::DoNotOptimize(layout.currentColumn());
    }
}

BENCHMARK(BM_Layout)->Arg(14)->Arg(1402)->Arg(65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Paint)->Arg(14)->Arg(1402)->Arg(65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Walk)->Arg(14)->Arg(1402)->Arg(65536)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
