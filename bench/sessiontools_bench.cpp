// The History window's comparison of two steps and saved sessions, against one plain decoding
// pass over a snapshot (what going back a step costs) in the same run.
#include "app/sessionfile.h"
#include "app/snapshot.h"
#include "app/stepcomparison.h"
#include "app/stephistory.h"
#include "core/qregister.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

namespace {

// A history of two random steps of n qubits (the packing's worst case), kept for the run.
struct Rig {
    explicit Rig(int n) : history(live, HistoryBudget(0, std::uint64_t{16} << 30)) {
        live.segmentation = &segmentation;
        live.setQubitCount(n);
        std::mt19937 rng(7);
        std::normal_distribution<double> normal;
        for (int step = 0; step < 2; ++step) {
            for (std::uint64_t i = 0; i < live.amplitudeCount(); ++i) {
                live.amplitudes[i].set(normal(rng), normal(rng));
            }
            history.recordStep("random", 0);
        }
    }
    QRegister live;
    Segmentation segmentation;
    StepHistory history;
};

Rig& rig(int n) {
    static std::unique_ptr<Rig> rigs[32];
    if (!rigs[n]) {
        rigs[n] = std::make_unique<Rig>(n);
    }
    return *rigs[n];
}

void BM_RestoreOneSnapshot(benchmark::State& state) {
    Rig& r = rig(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        r.history.entry(0).restoreInto(r.live);
        benchmark::ClobberMemory();
    }
}

void BM_CompareTwoSteps(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Rig& r = rig(n);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            StepComparison::compare(&r.history.entry(0).snapshot, &r.history.entry(1).snapshot, n));
    }
}

const std::string& sessionPath() {
    static const std::string path = "/tmp/amplex_bench_" + std::to_string(::getpid()) + ".amplex";
    return path;
}

void BM_SaveSession(benchmark::State& state) {
    Rig& r = rig(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SessionFile::save(sessionPath(), r.live, r.segmentation, r.history));
    }
}

void BM_OpenSession(benchmark::State& state) {
    Rig& r = rig(static_cast<int>(state.range(0)));
    SessionFile::save(sessionPath(), r.live, r.segmentation, r.history);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SessionFile::load(sessionPath(), r.history, ~std::uint64_t{0}));
    }
    std::remove(sessionPath().c_str());
}

BENCHMARK(BM_RestoreOneSnapshot)->Arg(16)->Arg(20)->Arg(22)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareTwoSteps)->Arg(16)->Arg(20)->Arg(22)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSession)->Arg(16)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSession)->Arg(16)->Arg(20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
