// How long the main window takes to bring every view up to date after a step, as a whole and
// view by view, at 15, 20 and 24 qubits, with the State window unsorted (mode 0) and sorted
// descending (mode 2), and the History window listing five steps.
//
// The charts render when painted; each chart figure is its draw plus that rendering. The
// counter "passes" gives each figure in in-place passes over the register (every amplitude
// read and written back, as the lightest gate does), timed in the same run; a full refresh is
// meant to cost at most six. Run from the build directory: ./bench/refreshviews_bench

#include "app/historywindow.h"
#include "app/mainwindow.h"
#include "views/probabilitieswindow.h"
#include "views/registergraphwindow.h"
#include "views/statewindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QtCore/qtestsupport_core.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>

namespace {

using amplex::ui::MainWindow;

using Clock = std::chrono::steady_clock;

MainWindow* window = nullptr;
int preparedQubits = 0;
int preparedMode = -1;

// One in-place pass over the live register, multiplying by one.
void inPlacePass() {
    QRegister& live = window->liveRegister();
    // Read through a volatile: benchmark::DoNotOptimize on a double hands back garbage with
    // GCC at -O3, which turned the register into denormals and zeros.
    static volatile double unit = 1.0;
    const double one = unit;
    const std::uint64_t total = live.amplitudeCount();
    for (std::uint64_t i = 0; i < total; ++i) {
        live.amplitudes[i] = live.amplitudes[i] * one;
    }
    benchmark::ClobberMemory();
}

// The live register at n qubits in a random normalised state, five steps recorded, and the
// State window in the given sort mode.
void prepare(int qubits, int mode) {
    if (qubits != preparedQubits) {
        window->resetRegister(qubits);
        QRegister& live = window->liveRegister();
        std::mt19937_64 gen(static_cast<unsigned>(qubits));
        std::normal_distribution<double> normal;
        double sum = 0;
        const std::uint64_t total = live.amplitudeCount();
        for (std::uint64_t i = 0; i < total; ++i) {
            live.amplitudes[i].set(normal(gen), normal(gen));
            sum += live.amplitudes[i].norm();
        }
        const double scale = 1 / std::sqrt(sum);
        for (std::uint64_t i = 0; i < total; ++i) {
            live.amplitudes[i] = live.amplitudes[i] * scale;
        }
        for (int k = 0; k < 5; ++k) {
            window->gateHost().recordStep("random state");
        }
        // Five snapshots at 24 qubits take long enough to count as a long run, which disables
        // the windows until it is over.
        static_cast<void>(QTest::qWaitFor([] { return window->stateWindow()->isEnabled(); }));
        preparedQubits = qubits;
        preparedMode = -1;
    }
    if (mode != preparedMode) {
        const char* radio = mode == 0 ? "1046" : mode == 1 ? "1047" : "1048";
        window->stateWindow()->findChild<QAbstractButton*>(radio)->click();
        preparedMode = mode;
    }
    QTest::qWait(5); // the refresh that the recorded steps asked for
}

double secondsOf(void (*work)()) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs the benchmark loop over `work` and reports its time in in-place passes as well, each
// iteration timing one pass beside the work, so that both see the same load on the machine.
void measure(benchmark::State& state, void (*work)()) {
    prepare(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    double seconds = 0.0;
    double passSeconds = 0.0;
    for (auto _ : state) {
        seconds += secondsOf(work);
        state.PauseTiming();
        passSeconds += secondsOf(inPlacePass);
        state.ResumeTiming();
    }
    state.counters["passes"] = seconds / passSeconds;
}

void BM_InPlacePass(benchmark::State& state) {
    measure(state, inPlacePass);
}

void BM_RefreshViews(benchmark::State& state) {
    measure(state, [] {
        window->refreshViews();
        benchmark::DoNotOptimize(window->registerGraphWindow()->picture().constBits());
        benchmark::DoNotOptimize(window->probabilitiesWindow()->picture().constBits());
    });
}

void BM_StateListing(benchmark::State& state) {
    measure(state, [] { window->stateWindow()->showListing(&window->liveRegister()); });
}

void BM_RegisterGraph(benchmark::State& state) {
    measure(state, [] {
        window->registerGraphWindow()->draw(&window->liveRegister());
        benchmark::DoNotOptimize(window->registerGraphWindow()->picture().constBits());
    });
}

// The chart's pass, which also gives the probability sum and the measurement.
void BM_Probabilities(benchmark::State& state) {
    measure(state, [] {
        window->probabilitiesWindow()->draw(&window->liveRegister());
        benchmark::DoNotOptimize(window->probabilitiesWindow()->picture().constBits());
    });
}

void BM_HistoryText(benchmark::State& state) {
    measure(state, [] {
        const auto* view = window->stateWindow();
        window->historyWindow()->showHistory(window->history(), view->firstIndex(),
                                             view->shownCount(), view->sortMode());
    });
}

// The probability sum and a new measurement on their own, as when the chart is hidden.
void BM_BarFields(benchmark::State& state) {
    measure(state, [] {
        benchmark::DoNotOptimize(window->liveRegister().probabilitySum());
        window->showMeasurement();
    });
}

void sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"qubits", "sort"})->Unit(benchmark::kMillisecond);
    for (int qubits : {15, 20, 24}) {
        for (int mode : {0, 2}) {
            b->Args({qubits, mode});
        }
    }
}

BENCHMARK(BM_InPlacePass)->Apply(sizes);
BENCHMARK(BM_RefreshViews)->Apply(sizes);
BENCHMARK(BM_StateListing)->Apply(sizes);
BENCHMARK(BM_RegisterGraph)->Apply(sizes);
BENCHMARK(BM_Probabilities)->Apply(sizes);
BENCHMARK(BM_HistoryText)->Apply(sizes);
BENCHMARK(BM_BarFields)->Apply(sizes);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    auto mainWindow = std::make_unique<MainWindow>();
    mainWindow->show();
    if (!QTest::qWaitFor([&] { return mainWindow->isStarted(); }, 10000)) {
        return 1;
    }
    window = mainWindow.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
