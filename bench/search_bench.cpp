// The whole amplitude-amplification search as the program runs it from the Seeker dialog: every
// gate loaded by path through the real host, every step recorded in a real history (steps up to
// depth 4 are kept). Compared with the same search without the history, and with the bare cost
// of one run by path, to tell what dominates. Beside it the Hadamard range over a 24-qubit
// register with the history, and the snapshot encoding against plain LZ4 and zstd on the
// states such a search goes through.
//
// Peak resident memory (peakRssMB) is the process's, so each memory figure is read from a run
// of that one benchmark: ./bench/search_bench --benchmark_filter=searchWithHistory/16

#include "app/historybudget.h"
#include "app/historytext.h"
#include "app/snapshot.h"
#include "app/stephistory.h"
#include "core/qregister.h"
#include "core/segmentation.h"
#include "host/gatehost.h"
#include "host/gatelibrary.h"

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <sys/resource.h>
#include <zstd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <memory>
#include <random>
#include <vector>

namespace {

// The program links Qt itself, so the Qt libraries that every plug-in needs stay loaded
// between gate runs. This program does not: one plug-in held open does the same here.
GateLibrary keepQtLoaded() {
    return GateLibrary::open("basic\\cnotgate", {AMPLEX_BUILD_DIR "/gates"});
}

double peakRssMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double currentRssMB() {
    long pages[2] = {};
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages[0], &pages[1]) != 2) {
            pages[1] = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(pages[1]) * 4096.0 / (1 << 20);
}

// Seconds of this thread's processor time: the machine is shared, wall time says little.
double cpuNow() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The bits of every amplitude, folded into one number.
std::uint64_t fingerprint(const QRegister& reg) {
    std::uint64_t h = 0;
    for (std::uint64_t i = 0; i < reg.amplitudeCount(); ++i) {
        std::uint64_t re = 0;
        std::uint64_t im = 0;
        std::memcpy(&re, &reg.amplitudes[i].real, 8);
        std::memcpy(&im, &reg.amplitudes[i].imag, 8);
        h = (h ^ re ^ (im * 0x9E3779B97F4A7C15ull) ^ i) * 0xC2B2AE3D27D4EB4Full;
    }
    return h;
}

// The live register of m qubits in the basis state 0, with a history and a host whose steps,
// reported one level deeper than from the dialog, go into it.
struct SearchRig {
    SearchRig(int m, bool withHistory, HistoryBudget budget, bool inBackground = true)
        : history(live, budget), host(live, {AMPLEX_BUILD_DIR "/gates"}) {
        live.segmentation = &segmentation;
        history.setRecordInBackground(inBackground); // as the program records
        host.setStepSink([this, withHistory](const char* text, int depth) {
            ++steps;
            if (withHistory) {
                history.recordStep(text, depth - 1);
            }
            if (onStep) {
                onStep();
            }
        });
        reset(m);
    }
    void reset(int m) {
        history.clearHistory();
        live.setQubitCount(m);
        live.amplitudes[0] = 1.0;
        steps = 0;
    }
    void search() {
        const int m = live.qubitCount;
        const std::int32_t block[] = {0, m - 1, 6, 5, -1, -1, -1, -1, -1};
        host.runGate("seeker\\seeker", amplex::argumentWord(block));
        history.settle();
    }
    void report(benchmark::State& state) const {
        state.counters["steps"] = static_cast<double>(steps);
        state.counters["recorded"] = history.historySize();
        state.counters["historyMB"] = static_cast<double>(history.budget().used()) / (1 << 20);
        state.counters["budgetMB"] = static_cast<double>(history.budget().limit()) / (1 << 20);
        int kept = 0;
        for (int k = 0; k < history.historySize(); ++k) {
            kept += history.entry(k).hasSnapshot() ? 1 : 0;
        }
        state.counters["kept"] = kept;
        state.counters["peakRssMB"] = peakRssMB();
    }

    const GateLibrary resident = keepQtLoaded();
    Segmentation segmentation;
    QRegister live;
    StepHistory history;
    GateHost host;
    std::int64_t steps = 0;
    std::function<void()> onStep;
};

void searchWhole(benchmark::State& state, bool withHistory, bool inBackground = true) {
    const int m = static_cast<int>(state.range(0));
    SearchRig rig(m, withHistory, HistoryBudget::atStartup(), inBackground);
    for (auto _ : state) {
        state.PauseTiming();
        rig.reset(m);
        state.ResumeTiming();
        rig.search();
    }
    rig.report(state);
    // What the process keeps once the history is cleared and the register is small again.
    rig.reset(4);
    state.counters["rssAfterResetMB"] = currentRssMB();
}

void searchWithHistory(benchmark::State& state) {
    searchWhole(state, true);
}
void searchWithoutHistory(benchmark::State& state) {
    searchWhole(state, false);
}
// Every snapshot packed by the thread that runs the gates.
void searchWithHistoryOneCore(benchmark::State& state) {
    searchWhole(state, true, false);
}

// The search over m qubits within a budget of the given megabytes (0: the default one, which
// follows a memory cgroup's limit); afterwards the last steps are walked back and each restored
// state is compared with a fingerprint taken when the step was recorded.
void searchWithinBudget(benchmark::State& state) {
    const int m = static_cast<int>(state.range(0));
    constexpr std::size_t Checked = 12;
    const auto megabytes = static_cast<std::uint64_t>(state.range(1));
    SearchRig rig(m, true,
                  megabytes ? HistoryBudget(0, megabytes << 20) : HistoryBudget::atStartup());
    std::deque<std::uint64_t> recent;
    rig.onStep = [&] {
        recent.push_back(fingerprint(rig.live));
        if (recent.size() > Checked) {
            recent.pop_front();
        }
    };
    for (auto _ : state) {
        state.PauseTiming();
        rig.reset(m);
        recent.clear();
        state.ResumeTiming();
        rig.search();
    }
    rig.report(state);
    // Every step was recorded at depth 0 .. 4: with the filter at 4 each back is one step.
    for (int k = 0; k < 4; ++k) {
        rig.history.depthUp();
    }
    int same = 0;
    for (std::size_t k = recent.size(); k-- > 1;) {
        rig.history.stepBack();
        same += fingerprint(rig.live) == recent[k - 1] ? 1 : 0;
    }
    state.counters["walkedBack"] = static_cast<double>(recent.size() - 1);
    state.counters["walkedBackSame"] = same;
}

// A Hadamard range over all qubits of a 24-qubit register, through the host with the history,
// and the History text made at the end. "passes" gives its time in in-place passes over the
// register on one thread (every amplitude read and written), one timed beside each run so that
// both see the same load on the machine.
void hadamardRangeWithHistory(benchmark::State& state) {
    const int m = static_cast<int>(state.range(0));
    SearchRig rig(m, true, HistoryBudget::atStartup());
    std::size_t textSize = 0;
    double runSeconds = 0.0;
    double passSeconds = 0.0;
    const auto wallNow = [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    for (auto _ : state) {
        state.PauseTiming();
        rig.reset(m);
        // Read through a volatile: benchmark::DoNotOptimize on a double hands back garbage here.
        static volatile double unit = 1.0;
        const double one = unit;
        const double passStart = wallNow();
        for (std::uint64_t i = 0; i < rig.live.amplitudeCount(); ++i) {
            rig.live.amplitudes[i] = rig.live.amplitudes[i] * one;
        }
        benchmark::ClobberMemory();
        passSeconds += wallNow() - passStart;
        state.ResumeTiming();
        const double runStart = wallNow();
        const std::int32_t block[] = {0, m - 1};
        rig.host.runGate("basic\\hadamardrange", amplex::argumentWord(block));
        textSize = HistoryText::build(rig.history, 0, 30, 0).size();
        runSeconds += wallNow() - runStart;
    }
    rig.report(state);
    state.counters["textChars"] = static_cast<double>(textSize);
    state.counters["passes"] = runSeconds / passSeconds;
}

// Encodings of the 16 bytes of values per amplitude, each over chunks of
// Snapshot::ChunkAmplitudes as the history stores them.
enum Codec { SnapshotCodec, Lz4Codec, Zstd1Codec, ZstdFastCodec };
enum States { BasisStates, UniformStates, SearchStates, RandomStates };

// The states a search over 16 qubits records (every 16th step), or a few 20-qubit states of
// the other kinds.
const std::vector<std::unique_ptr<QRegister>>& corpus(States kind) {
    static std::vector<std::unique_ptr<QRegister>> sets[4];
    auto& set = sets[kind];
    if (!set.empty()) {
        return set;
    }
    auto keep = [&set](const QRegister& reg) {
        set.push_back(std::make_unique<QRegister>());
        set.back()->cloneFrom(reg);
    };
    if (kind == SearchStates) {
        SearchRig rig(16, false, HistoryBudget(0, 1));
        rig.onStep = [&] {
            if (rig.steps % 16 == 0) {
                keep(rig.live);
            }
        };
        rig.search();
        return set;
    }
    QRegister reg;
    reg.setQubitCount(20);
    std::mt19937_64 gen(7);
    std::normal_distribution<double> normal;
    for (int s = 0; s < 4; ++s) {
        for (std::uint64_t i = 0; i < reg.amplitudeCount(); ++i) {
            if (kind == BasisStates) {
                reg.amplitudes[i] = i == 5u * s ? 1.0 : 0.0;
            } else if (kind == UniformStates) {
                reg.amplitudes[i] = (i >> (4 * s)) % 2 ? -1.0 / 1024 : 1.0 / 1024;
            } else {
                reg.amplitudes[i].set(normal(gen) / 1024, normal(gen) / 1024);
            }
        }
        keep(reg);
    }
    return set;
}

// One register through a general-purpose compressor, chunk by chunk: values gathered, packed,
// unpacked and scattered back. Returns the packed bytes.
std::uint64_t roundTrip(Codec codec, const QRegister& source, QRegister& target, double& encodeS,
                        double& decodeS) {
    constexpr std::uint64_t Chunk = Snapshot::ChunkAmplitudes;
    static std::vector<double> values(2 * Chunk);
    static std::vector<char> packed(ZSTD_compressBound(Chunk * 16) + LZ4_COMPRESSBOUND(Chunk * 16));
    const bool lz4 = codec == Lz4Codec;
    const int level = codec == ZstdFastCodec ? -3 : 1;
    std::vector<std::vector<char>> stored;
    const std::uint64_t total = source.amplitudeCount();
    std::uint64_t bytes = 0;
    auto t0 = cpuNow();
    for (std::uint64_t first = 0; first < total; first += Chunk) {
        const std::uint64_t n = std::min(Chunk, total - first);
        for (std::uint64_t i = 0; i < n; ++i) {
            values[2 * i] = source.amplitudes[first + i].imag;
            values[2 * i + 1] = source.amplitudes[first + i].real;
        }
        const void* input = values.data();
        const std::size_t size =
            lz4 ? static_cast<std::size_t>(LZ4_compress_default(
                      static_cast<const char*>(input), packed.data(), static_cast<int>(n * 16),
                      static_cast<int>(packed.size())))
                : ZSTD_compress(packed.data(), packed.size(), input, n * 16, level);
        stored.emplace_back(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(size));
        bytes += size;
    }
    auto t1 = cpuNow();
    for (std::uint64_t c = 0; c < stored.size(); ++c) {
        const std::uint64_t first = c * Chunk;
        const std::uint64_t n = std::min(Chunk, total - first);
        void* output = values.data();
        if (lz4) {
            LZ4_decompress_safe(stored[c].data(), static_cast<char*>(output),
                                static_cast<int>(stored[c].size()), static_cast<int>(n * 16));
        } else {
            ZSTD_decompress(output, n * 16, stored[c].data(), stored[c].size());
        }
        for (std::uint64_t i = 0; i < n; ++i) {
            target.amplitudes[first + i].set(values[2 * i + 1], values[2 * i]);
        }
    }
    auto t2 = cpuNow();
    encodeS += t1 - t0;
    decodeS += t2 - t1;
    return bytes;
}

// Arguments: codec, kind of states. Counters: ratio (16 bytes per amplitude over the bytes
// kept), encoding and decoding speed in MB of values per second, and whether every state came
// back bit for bit.
void snapshotCodecs(benchmark::State& state) {
    const auto codec = static_cast<Codec>(state.range(0));
    const auto& states = corpus(static_cast<States>(state.range(1)));
    double encodeS = 0;
    double decodeS = 0;
    double raw = 0;
    double kept = 0;
    bool exact = true;
    QRegister target;
    for (auto _ : state) {
        for (const auto& reg : states) {
            target.setQubitCount(reg->qubitCount);
            if (codec == SnapshotCodec) {
                Snapshot snapshot;
                std::uint64_t granted = 0;
                const double t0 = cpuNow();
                snapshot.capture(
                    *reg, [&](std::uint64_t b) { return (granted += b, true); },
                    [](std::uint64_t) {});
                const double t1 = cpuNow();
                snapshot.restoreInto(target);
                const double t2 = cpuNow();
                encodeS += t1 - t0;
                decodeS += t2 - t1;
                kept += static_cast<double>(granted);
            } else {
                kept += static_cast<double>(roundTrip(codec, *reg, target, encodeS, decodeS));
            }
            raw += static_cast<double>(reg->amplitudeCount() * 16);
            exact = exact && std::memcmp(static_cast<const void*>(target.amplitudes),
                                         static_cast<const void*>(reg->amplitudes),
                                         reg->amplitudeCount() * sizeof(Complex)) == 0;
        }
    }
    state.counters["ratio"] = raw / kept;
    state.counters["encodeMBps"] = raw / encodeS / (1 << 20);
    state.counters["decodeMBps"] = raw / decodeS / (1 << 20);
    state.counters["exact"] = exact ? 1 : 0;
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

BENCHMARK(searchWithHistory)->Arg(14)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(searchWithoutHistory)->Arg(14)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(searchWithHistoryOneCore)->Arg(16)->Unit(benchmark::kMillisecond);
// 20 qubits in 1 GiB; 18 qubits with the default budget (run it in a memory cgroup).
BENCHMARK(searchWithinBudget)
    ->Args({18, 0})
    ->Args({20, 1024})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(hadamardRangeWithHistory)->Arg(24)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(snapshotCodecs)
    ->ArgsProduct({{SnapshotCodec, Lz4Codec, Zstd1Codec, ZstdFastCodec},
                   {BasisStates, UniformStates, SearchStates, RandomStates}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(runByPathOnly)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
