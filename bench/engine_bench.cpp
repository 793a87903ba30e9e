// Speed of the engine's whole-register operations: the sorted listing against the plain listing
// and against a full sort of all 2^n indexes, and the copies behind copyFrom and a history
// snapshot beside a plain memcpy of the same array.
//
// Run from the build directory: ./bench/engine_bench

#include "app/historyentry.h"
#include "core/qregister.h"
#include "core/segmentation.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

namespace {

// One random, normalised state per qubit count, made once: filling 2^24 amplitudes takes
// longer than the operations measured on them.
QRegister& randomState(int qubits) {
    static std::map<int, std::unique_ptr<QRegister>> states;
    auto& reg = states[qubits];
    if (!reg) {
        static Segmentation segmentation;
        reg = std::make_unique<QRegister>();
        reg->segmentation = &segmentation;
        reg->setQubitCount(qubits);
        std::mt19937_64 gen(qubits);
        std::normal_distribution<double> normal;
        double sum = 0;
        for (std::uint64_t i = 0; i < reg->amplitudeCount(); ++i) {
            reg->amplitudes[i].set(normal(gen), normal(gen));
            sum += reg->amplitudes[i].norm();
        }
        const double scale = 1 / std::sqrt(sum);
        for (std::uint64_t i = 0; i < reg->amplitudeCount(); ++i) {
            reg->amplitudes[i] = reg->amplitudes[i] * scale;
        }
    }
    return *reg;
}

// Each amplitude is read once and written once, 24 bytes each way.
void countCopiedBytes(benchmark::State& state, std::uint64_t amplitudes) {
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * 2 * amplitudes * sizeof(Complex)));
}

enum Window { LargestFirst, SmallestFirst, Middle };

// Arguments: qubit count, window. The State window's 30 entries from the largest, from the
// smallest, and from the middle of the order.
void sortedListing(benchmark::State& state) {
    QRegister& reg = randomState(static_cast<int>(state.range(0)));
    const auto window = static_cast<Window>(state.range(1));
    const auto first = window == Middle ? static_cast<std::uint32_t>(reg.amplitudeCount() / 2) : 0;
    const int mode = window == SmallestFirst ? 1 : 2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(reg.sortedListing(first, 30, mode));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * reg.amplitudeCount()));
}

// The unsorted listing of the same 30 entries: the floor under any listing.
void listing(benchmark::State& state) {
    const QRegister& reg = randomState(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(reg.listing(0, 30));
    }
}

// A full sort of a permutation of all 2^n indexes by magnitude, as a listing made the
// straightforward way would pay on every redraw.
void fullSort(benchmark::State& state) {
    const QRegister& reg = randomState(static_cast<int>(state.range(0)));
    const Complex* a = reg.amplitudes;
    for (auto _ : state) {
        std::vector<std::uint32_t> order(reg.amplitudeCount());
        std::iota(order.begin(), order.end(), 0u);
        std::sort(order.begin(), order.end(),
                  [a](std::uint32_t x, std::uint32_t y) { return a[x].norm() < a[y].norm(); });
        benchmark::DoNotOptimize(order.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * reg.amplitudeCount()));
}

// copyFrom into a register of the same size, as a gate copies its scratch state back.
void copyFrom(benchmark::State& state) {
    const QRegister& source = randomState(static_cast<int>(state.range(0)));
    QRegister target;
    target.setQubitCount(source.qubitCount);
    for (auto _ : state) {
        target.copyFrom(source);
        benchmark::ClobberMemory();
    }
    countCopiedBytes(state, source.amplitudeCount());
}

// One history snapshot of a random state (the worst case: nothing repeats), made and released
// again, as each recorded step costs.
void historySnapshot(benchmark::State& state) {
    const QRegister& live = randomState(static_cast<int>(state.range(0)));
    HistoryEntry entry;
    for (auto _ : state) {
        entry.record(live, "step", 0);
        benchmark::DoNotOptimize(entry.snapshot.bytes());
        entry.release();
    }
    countCopiedBytes(state, live.amplitudeCount());
}

// cloneFrom into an empty register: the snapshot without the entry around it.
void cloneIntoFresh(benchmark::State& state) {
    const QRegister& live = randomState(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QRegister copy;
        copy.cloneFrom(live);
        benchmark::DoNotOptimize(copy.amplitudes);
    }
    countCopiedBytes(state, live.amplitudeCount());
}

// memcpy of the same number of bytes into a buffer that is already mapped: the bandwidth that
// copyFrom can hope for.
void plainMemcpy(benchmark::State& state) {
    const QRegister& source = randomState(static_cast<int>(state.range(0)));
    const std::size_t bytes = source.amplitudeCount() * sizeof(Complex);
    std::vector<char> target(bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), static_cast<const void*>(source.amplitudes), bytes);
        benchmark::ClobberMemory();
    }
    countCopiedBytes(state, source.amplitudeCount());
}

// memcpy into freshly allocated memory: the bandwidth a snapshot can hope for.
void freshMemcpy(benchmark::State& state) {
    const QRegister& source = randomState(static_cast<int>(state.range(0)));
    const std::size_t bytes = source.amplitudeCount() * sizeof(Complex);
    for (auto _ : state) {
        std::unique_ptr<char[]> target(new char[bytes]);
        std::memcpy(target.get(), static_cast<const void*>(source.amplitudes), bytes);
        benchmark::DoNotOptimize(target.get());
    }
    countCopiedBytes(state, source.amplitudeCount());
}

} // namespace

BENCHMARK(sortedListing)
    ->ArgsProduct({{20, 24}, {LargestFirst, SmallestFirst, Middle}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(listing)->Arg(20)->Arg(24)->Unit(benchmark::kMicrosecond);
BENCHMARK(fullSort)->Arg(20)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(copyFrom)->Arg(20)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(historySnapshot)->Arg(20)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(cloneIntoFresh)->Arg(20)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(plainMemcpy)->Arg(20)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(freshMemcpy)->Arg(20)->Arg(24)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
