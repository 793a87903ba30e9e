// The whole amplitude-amplification search as the program runs it from the Seeker dialog: every
// gate loaded by path through the real host, every step recorded in a real history with a
// snapshot of the register (steps up to depth 4 are kept). Compared with the same search
// without the history, and with the bare cost of one run by path, to tell what dominates.

#include "app/stephistory.h"
#include "core/qregister.h"
#include "core/segmentation.h"
#include "host/gatehost.h"
#include "host/gatelibrary.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// The program links Qt itself, so the Qt libraries that every plug-in needs stay loaded
// between gate runs. This program does not: one plug-in held open does the same here.
GateLibrary keepQtLoaded() {
    return GateLibrary::open("basic\\cnotgate", {AMPLEX_BUILD_DIR "/gates"});
}

void searchWhole(benchmark::State& state, bool withHistory) {
    const int m = static_cast<int>(state.range(0));
    const GateLibrary resident = keepQtLoaded();
    Segmentation segmentation;
    QRegister live;
    live.segmentation = &segmentation;
    StepHistory history(live);
    GateHost host(live, {AMPLEX_BUILD_DIR "/gates"});
    std::int64_t steps = 0;
    host.setStepSink([&](const char* text, int depth) {
        ++steps;
        // The dialog runs the search at depth 0; a run by path is one level deeper.
        if (withHistory) {
            history.recordStep(text, depth - 1);
        }
    });
    const std::int32_t block[] = {0, m - 1, 6, 0, -1, -1, -1, -1, -1};
    for (auto _ : state) {
        state.PauseTiming();
        history.clearHistory();
        live.setQubitCount(m);
        live.amplitudes[0] = 1.0;
        steps = 0;
        state.ResumeTiming();
        host.runGate("seeker\\seeker", amplex::argumentWord(block));
    }
    state.counters["steps"] = static_cast<double>(steps);
    state.counters["recorded"] = history.historySize();
    history.clearHistory();
}

void searchWithHistory(benchmark::State& state) {
    searchWhole(state, true);
}
void searchWithoutHistory(benchmark::State& state) {
    searchWhole(state, false);
}

// One run by path of the Hadamard gate on a one-qubit register: loading, wiring and unloading
// a plug-in, with next to no work in it.
void runByPathOnly(benchmark::State& state) {
    const GateLibrary resident = keepQtLoaded();
    QRegister live;
    live.setQubitCount(1);
    live.amplitudes[0] = 1.0;
    GateHost host(live, {AMPLEX_BUILD_DIR "/gates"});
    for (auto _ : state) {
        host.runGate("basic\\hadamard", 0);
    }
}

} // namespace

BENCHMARK(searchWithHistory)->Arg(10)->Arg(12)->Arg(14)->Unit(benchmark::kMillisecond);
BENCHMARK(searchWithoutHistory)->Arg(10)->Arg(12)->Arg(14)->Unit(benchmark::kMillisecond);
BENCHMARK(runByPathOnly)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
