// Speed of a single-qubit gate pass over the whole register, beside a plain memcpy of the same
// array as the memory bandwidth it can hope for, and the fixed cost of running a gate by path.
//
// Run from the build directory: ./bench/gates_bench

#include "core/kernels.h"
#include "core/qregister.h"
#include "host/gatehost.h"
#include "host/gatelibrary.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// In the program Qt is loaded for good, and with it the libraries a plug-in needs. Holding one
// plug-in open keeps them mapped here too, so a run by path costs what it costs in the program
// and not a fresh load of Qt each time.
GateLibrary residentGate() {
    return GateLibrary::open("basic\\cnotgate", {AMPLEX_BUILD_DIR "/gates"});
}

// Each amplitude is read once and written once, 24 bytes each way.
void countBytes(benchmark::State& state, std::uint64_t amplitudes) {
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * 2 * amplitudes * sizeof(Complex)));
}

// Arguments: qubit count, qubit.
void hadamardKernel(benchmark::State& state) {
    QRegister reg;
    reg.setQubitCount(static_cast<int>(state.range(0)));
    reg.amplitudes[0] = 1.0;
    const int k = static_cast<int>(state.range(1));
    for (auto _ : state) {
        amplex::kernels::hadamard(reg.amplitudes, reg.amplitudeCount(), k);
        benchmark::ClobberMemory();
    }
    countBytes(state, reg.amplitudeCount());
}

// The same pass as the program runs it: load basic\hadamard, wire, run, unload.
void hadamardThroughHost(benchmark::State& state) {
    QRegister reg;
    reg.setQubitCount(static_cast<int>(state.range(0)));
    reg.amplitudes[0] = 1.0;
    const GateLibrary resident = residentGate();
    GateHost host(reg, {AMPLEX_BUILD_DIR "/gates"});
    const auto k = static_cast<std::intptr_t>(state.range(1));
    for (auto _ : state) {
        host.runGate("basic\\hadamard", k);
    }
    countBytes(state, reg.amplitudeCount());
}

// Argument: qubit count; copies an array of that many amplitudes.
void plainMemcpy(benchmark::State& state) {
    const std::uint64_t count = std::uint64_t{1} << state.range(0);
    const std::size_t bytes = count * sizeof(Complex);
    const auto from = std::make_unique<char[]>(bytes);
    const auto to = std::make_unique<char[]>(bytes);
    std::memset(from.get(), 1, bytes);
    std::memset(to.get(), 0, bytes);
    for (auto _ : state) {
        std::memcpy(to.get(), from.get(), bytes);
        benchmark::DoNotOptimize(to.get());
        benchmark::ClobberMemory();
    }
    countBytes(state, count);
}

// The fixed cost of a sub-gate call: a one-qubit register, so the pass itself is nothing.
void runGateByPath(benchmark::State& state) {
    QRegister reg;
    reg.setQubitCount(1);
    reg.amplitudes[0] = 1.0;
    const GateLibrary resident = residentGate();
    GateHost host(reg, {AMPLEX_BUILD_DIR "/gates"});
    for (auto _ : state) {
        host.runGate("basic\\hadamard", 0);
    }
}

} // namespace

BENCHMARK(hadamardKernel)
    ->Args({20, 0})
    ->Args({20, 10})
    ->Args({24, 0})
    ->Args({24, 12})
    ->Args({24, 23})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(hadamardThroughHost)
    ->Args({20, 10})
    ->Args({24, 12})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(plainMemcpy)->Arg(20)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(runGateByPath)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
