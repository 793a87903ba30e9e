// Every gate of the built tree run through the real host with a GateArgs block (or, for the
// single-qubit gates, an argument word) from the input, on a small register in a random state.
// A gate must refuse what it cannot run, keep inside the register and the block, and keep the
// norm of the state. Message boxes are answered at once; a run that goes on past a few hundred
// gates is stopped through the host, as the Stop button does. The gates stay mapped after the
// host unloads them (see LLVMFuzzerInitialize), so unloading itself is not exercised here.

#include "core/qregister.h"
#include "core/segmentation.h"
#include "fuzz/fuzzinput.h"
#include "host/gatehost.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Longest block a gate reads: an oracle's four ints and its values.
constexpr int BlockInts = 40;
constexpr int MaxRuns = 300;

std::vector<std::string>* gatePaths = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    new QApplication(*argc, *argv);
    // A modal box of a gate (the Shor results) is answered inside its own event loop.
    auto* answer = new QTimer;
    QObject::connect(answer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    answer->start(0);
    gatePaths = new std::vector<std::string>;
    const std::filesystem::path root = AMPLEX_FUZZ_GATES;
    for (const auto& file : std::filesystem::recursive_directory_iterator(root)) {
        if (file.path().extension() == ".so") {
            std::string path = file.path().lexically_relative(root).replace_extension().string();
            for (char& c : path) {
                c = c == '/' ? '\\' : c;
            }
            gatePaths->push_back(path);
            // libFuzzer keeps the coverage counters of every library it has seen and clears
            // them before each input: the host's dlclose must not unmap them.
            dlopen(file.path().c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        }
    }
    std::sort(gatePaths->begin(), gatePaths->end());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string& gate = (*gatePaths)[in.below(static_cast<std::uint32_t>(gatePaths->size()))];
    Segmentation segmentation;
    QRegister live;
    live.segmentation = &segmentation;
    if (!live.setQubitCount(1 + static_cast<int>(in.below(8)))) {
        return 0;
    }
    // A normalised state from the input, or the basis state 0.
    double norm = 0;
    for (std::uint64_t i = 0; i < live.amplitudeCount(); ++i) {
        live.amplitudes[i] = Complex(in.take<std::int8_t>(), in.take<std::int8_t>());
        norm += live.amplitudes[i].real * live.amplitudes[i].real +
                live.amplitudes[i].imag * live.amplitudes[i].imag;
    }
    if (norm == 0) {
        live.amplitudes[0] = 1.0;
        norm = 1;
    }
    for (std::uint64_t i = 0; i < live.amplitudeCount(); ++i) {
        live.amplitudes[i] = live.amplitudes[i] * (1 / std::sqrt(norm));
    }

    // Small numbers mostly, so that the checks pass and the gates do their work.
    std::int32_t block[BlockInts] = {};
    for (std::int32_t& value : block) {
        const auto byte = in.take<std::int8_t>();
        value = byte == -128 ? in.take<std::int32_t>() : byte;
    }
    // An oracle's count says how many values follow in the caller's block; a caller that
    // gives more than it holds is outside the contract.
    if (gate.starts_with("oracle") || gate.starts_with("seeker")) {
        block[2] = std::min(block[2], BlockInts - 4);
    }
    const bool wordIsQubit = gate == "basic\\hadamard" || gate == "basic\\pieighth";

    GateHost host(live, {AMPLEX_FUZZ_GATES});
    int runs = 0;
    host.setProgressSink([&] {
        if (++runs > MaxRuns) {
            host.requestStop();
        }
    });
    host.runGate(gate.c_str(), wordIsQubit ? block[0] : amplex::argumentWord(block));
    host.endRun();
    require(host.runFailure().empty());
    // The norm is kept, but for two blocks that say otherwise: an angle that is no number
    // (ctrlrotate's double) makes NaNs, and a flag oracle whose target lies among its own
    // input qubits merges the amplitudes that land on one index, as it always has.
    const bool nanAngle =
        gate == "shor\\modules\\ctrlrotate" && !std::isfinite(amplex::getDouble(block + 2));
    const bool flagOracle = gate == "oracle\\flagoracle";
    const int target = flagOracle ? block[3 + std::max(block[2], 0)] : -1;
    const bool merging = flagOracle && target >= block[0] && target <= block[1];
    if (!host.stopRequested() && !nanAngle && !merging &&
        std::fabs(live.probabilitySum() - 1) >= 1e-9) {
        std::fprintf(stderr, "%s lost the norm\n", gate.c_str());
        std::abort();
    }
    return 0;
}
