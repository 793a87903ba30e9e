// Every gate kernel against one in-place pass over the same register (read and write every
// amplitude), timed turn about in the same run, on one thread and on all threads. The counter
// "ratio" is kernel time / pass time; the goal is at most 1.15.
//
// Run from the build directory: ./bench/kernels_bench (26 qubits need 1.6 GB; only one
// register exists at a time). Arguments: qubit count, threads (0: all).

#include "core/kernels.h"
#include "core/parallelfor.h"
#include "core/qregister.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

namespace {

namespace k = amplex::kernels;
using Clock = std::chrono::steady_clock;

// The one register of the benchmarks, resized only when the qubit count changes.
QRegister& benchRegister(int n) {
    static QRegister reg;
    if (reg.qubitCount != n || !reg.amplitudes) {
        reg.setQubitCount(0); // the old array goes before the new one comes
        reg.setQubitCount(n);
        const double v = 1.0 / std::sqrt(static_cast<double>(reg.amplitudeCount()));
        for (std::uint64_t i = 0; i < reg.amplitudeCount(); ++i) {
            reg.amplitudes[i].set(v, -v);
        }
    }
    return reg;
}

// The floor: every amplitude read and written once, split as the kernels split.
void inPlacePass(Complex* a, std::uint64_t count) {
    k::parallelFor(count, count, [a](std::uint64_t begin, std::uint64_t end) {
        for (std::uint64_t i = begin; i < end; ++i) {
            a[i].real = 0.0 + a[i].real;
            a[i].imag = 0.0 + a[i].imag;
        }
    });
}

double seconds(const std::function<void()>& pass) {
    const auto start = Clock::now();
    pass();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

using Kernel = std::function<void(Complex*, std::uint64_t, int n)>;

void runKernel(benchmark::State& state, const Kernel& kernel) {
    const int n = static_cast<int>(state.range(0));
    const auto threads = state.range(1);
    if (threads > 0) {
        setenv("AMPLEX_THREADS", std::to_string(threads).c_str(), 1);
    } else {
        unsetenv("AMPLEX_THREADS");
    }
    QRegister& reg = benchRegister(n);
    Complex* a = reg.amplitudes;
    const std::uint64_t count = reg.amplitudeCount();
    double kernelTime = 0.0;
    double passTime = 0.0;
    for (auto _ : state) {
        passTime += seconds([&] { inPlacePass(a, count); });
        const double t = seconds([&] { kernel(a, count, n); });
        kernelTime += t;
        state.SetIterationTime(t);
        benchmark::ClobberMemory();
    }
    state.counters["ratio"] = kernelTime / passTime;
    state.counters["threads"] = static_cast<double>(k::threadCount());
    unsetenv("AMPLEX_THREADS");
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * 2 * count * sizeof(Complex)));
}

void hadamardQ0(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int) { k::hadamard(a, c, 0); });
}
// Partners 2 to 256 amplitudes apart lie in blocks that are read in one stream.
void hadamardQ3(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int) { k::hadamard(a, c, 3); });
}
void hadamardQ6(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int) { k::hadamard(a, c, 6); });
}
void hadamardTop(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int n) { k::hadamard(a, c, n - 1); });
}
void piEighth(benchmark::State& s) {
    const double r = std::sqrt(0.5);
    runKernel(s, [r](Complex* a, std::uint64_t c, int) { k::phase(a, c, 1u << 3, r, r); });
}
void cnot(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int n) { k::cnot(a, c, 0, n - 1); });
}
void ctrlHadamard(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int n) { k::controlledHadamard(a, c, n - 1, 0); });
}
void ctrlRotate(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int) {
        k::phase(a, c, (1u << 2) | (1u << 9), std::cos(0.3), std::sin(0.3));
    });
}
void bitMirror(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int n) { k::bitMirror(a, c, 0, n - 1); });
}
void power(benchmark::State& s) {
    // Shor's layout: exponent in qubits 0 .. 11, x^a mod 15 XORed into 12 .. 15.
    runKernel(
        s, [](Complex* a, std::uint64_t c, int) { k::modularPowerXor(a, c, 0, 11, 12, 13, 15); });
}
void flagOracle(benchmark::State& s) {
    const std::int32_t values[] = {3, 17, 250, 1000, 4095, 7};
    runKernel(
        s, [&](Complex* a, std::uint64_t c, int n) { k::flagOracle(a, c, 0, 11, n - 1, values); });
}
void signOracle(benchmark::State& s) {
    // Six of sixteen values marked: six sixteenths of the register visited.
    const std::int32_t values[] = {1, 3, 5, 7, 11, 13};
    runKernel(s, [&](Complex* a, std::uint64_t c, int) { k::signOracle(a, c, 0, 3, values); });
}

void rxTop(benchmark::State& s) {
    const Complex c(std::cos(0.3)), is(0.0, -std::sin(0.3));
    runKernel(s, [&](Complex* a, std::uint64_t n, int q) {
        k::singleQubit(a, n, 0, q - 1, {c, is, is, c});
    });
}
void ryQ0(benchmark::State& s) {
    const double c = std::cos(0.3), sn = std::sin(0.3);
    runKernel(s, [=](Complex* a, std::uint64_t n, int) {
        k::singleQubit(a, n, 0, 0, {c, -sn, sn, c});
    });
}
void notQ0(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int) { k::flip(a, c, 0, 0); });
}
void toffoli(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int n) { k::flip(a, c, 3, n - 1); });
}
void swapFar(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int n) { k::swapQubits(a, c, 0, n - 1); });
}
// The two passes of a measurement of qubit 3: the outcome's probability, then the collapse.
// Outcome 0 keeps half the register, at its norm from the second run on; listed last, since it
// leaves the other half zero for the kernels after it.
void probOnly(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int) {
        benchmark::DoNotOptimize(k::probabilityOf(a, c, 8, 0));
    });
}
void collapseOnly(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int) { k::collapse(a, c, 8, 0, 1.0); });
}
void measure(benchmark::State& s) {
    runKernel(s, [](Complex* a, std::uint64_t c, int) {
        k::collapse(a, c, 8, 0, 1.0 / std::sqrt(k::probabilityOf(a, c, 8, 0)));
    });
}

} // namespace

// All 24-qubit cases first, then all 26-qubit ones, so the register is allocated twice only.
int main(int argc, char** argv) {
    const std::pair<const char*, void (*)(benchmark::State&)> kernels[] = {
        {"hadamardQ0", hadamardQ0},
        {"hadamardQ3", hadamardQ3},
        {"hadamardQ6", hadamardQ6},
        {"hadamardTop", hadamardTop},
        {"piEighth", piEighth},
        {"cnot", cnot},
        {"ctrlHadamard", ctrlHadamard},
        {"ctrlRotate", ctrlRotate},
        {"bitMirror", bitMirror},
        {"power", power},
        {"flagOracle", flagOracle},
        {"signOracle", signOracle},
        {"rxTop", rxTop},
        {"ryQ0", ryQ0},
        {"notQ0", notQ0},
        {"toffoli", toffoli},
        {"swapFar", swapFar},
        {"probOnly", probOnly},
        {"collapseOnly", collapseOnly},
        {"measure", measure}};
    for (const auto& [qubits, iterations] : {std::pair{24, 10}, std::pair{26, 3}}) {
        for (const auto& [name, function] : kernels) {
            for (const int threads : {1, 0}) {
                benchmark::RegisterBenchmark(name, function)
                    ->Args({qubits, threads})
                    ->Iterations(iterations)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
