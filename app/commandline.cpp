#include "app/commandline.h"

#include "app/qasmexport.h"
#include "core/qasmprogram.h"
#include "core/qregister.h"
#include "core/segmentation.h"
#include "host/circuitrunner.h"
#include "host/gatehost.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string_view>

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// "|0101>": qubit 0 rightmost, as OpenQASM tools write a basis state.
void writeKet(char* buffer, std::uint64_t index, int qubits) {
    buffer[0] = '|';
    for (int k = 0; k < qubits; ++k) {
        buffer[qubits - k] = (index >> k) & 1 ? '1' : '0';
    }
    buffer[qubits + 1] = '>';
    buffer[qubits + 2] = '\0';
}

void printRegister(const QRegister& live, CommandLine::Print print, std::FILE* out) {
    char ket[QRegister::MaxQubitCount + 3];
    for (std::uint64_t i = 0; i < live.amplitudeCount(); ++i) {
        const Complex& a = live.amplitudes[i];
        if (a.real == 0.0 && a.imag == 0.0) {
            continue;
        }
        writeKet(ket, i, live.qubitCount);
        if (print == CommandLine::Print::Probabilities) {
            std::fprintf(out, "%s %.15g\n", ket, a.norm());
        } else if (a.imag == 0.0) {
            std::fprintf(out, "%s %.15g\n", ket, a.real);
        } else {
            // The shape of the State window's amplitudes, with 15 digits.
            std::fprintf(out, "%s %.15g %c %.15gi\n", ket, a.real, a.imag < 0 ? '-' : '+',
                         std::fabs(a.imag));
        }
    }
}

} // namespace

bool CommandLine::wanted(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (startsWith(arg, "--run") || startsWith(arg, "--print") || startsWith(arg, "--seed") ||
            arg == "--help" || arg == "-h") {
            return true;
        }
    }
    return false;
}

CommandLine CommandLine::parse(const std::vector<std::string>& args) {
    CommandLine line;
    auto refuse = [&line](std::string why) {
        if (line.usageError.empty()) {
            line.usageError = std::move(why);
        }
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
            continue;
        }
        // --option value, or --option=value.
        std::string_view name = arg.substr(0, arg.find('='));
        std::string value;
        if (name != "--run" && name != "--print" && name != "--seed") {
            refuse("unknown option " + std::string(arg));
            continue;
        }
        if (name.size() < arg.size()) {
            value = arg.substr(name.size() + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            refuse(std::string(name) + " needs a value");
            continue;
        }
        if (name == "--run") {
            line.file = value;
        } else if (name == "--print") {
            if (value == "probabilities") {
                line.print = Print::Probabilities;
            } else if (value == "state") {
                line.print = Print::State;
            } else if (value == "history") {
                line.print = Print::History;
            } else if (value == "qasm" || value == "qasm2") {
                line.print = value == "qasm" ? Print::Qasm3 : Print::Qasm2;
            } else {
                refuse("--print takes probabilities, state, history, qasm or qasm2, not " + value);
            }
        } else {
            unsigned seed = 0;
            const char* end = value.data() + value.size();
            const auto result = std::from_chars(value.data(), end, seed);
            if (value.empty() || result.ptr != end || result.ec != std::errc()) {
                refuse("--seed takes a whole number from 0 to 4294967295, not " + value);
            }
            line.seed = seed;
        }
    }
    if (!line.help && line.file.empty()) {
        refuse("--run FILE is missing");
    }
    return line;
}

const char* CommandLine::helpText() {
    return "Usage: amplex                 opens the simulator's windows\n"
           "       amplex --run FILE [--print probabilities|state|history|qasm|qasm2] [--seed S]\n"
           "\n"
           "Runs the OpenQASM 2 or 3 program in FILE (\"-\" reads standard input) without a\n"
           "window, through the same gate plug-ins as the windows, and prints the result:\n"
           "  --print probabilities  each basis state with its probability (the default)\n"
           "  --print state          each basis state with its amplitude, re + imi\n"
           "  --print history        the step texts, as the History window shows them\n"
           "  --print qasm, qasm2    the steps exported as OpenQASM 3, or as OpenQASM 2 with\n"
           "                         qelib1.inc, as \"File\" > \"Export OpenQASM...\" writes them\n"
           "  --seed S               seeds the random draws of measurements (0 to 4294967295);\n"
           "                         without it, the clock does\n"
           "  -h, --help             shows this text\n"
           "Basis states are written |q[n-1]...q[0]>, qubit 0 rightmost; states whose amplitude\n"
           "is exactly 0 are left out. The program holds one register of 1 to 26 qubits and the\n"
           "gates h x y z s sdg t tdg p (u1) rx ry rz cx cz ch cp (cu1) swap ccx, barrier and\n"
           "measure. Exit status: 0 done; 1 a gate could not run; 2 a usage error, a file that\n"
           "cannot be read, or an error in the program, printed as line:column: message.\n";
}

int CommandLine::run(std::FILE* out, std::FILE* err) const {
    if (!usageError.empty()) {
        std::fprintf(err, "amplex: %s\nTry amplex --help.\n", usageError.c_str());
        return BadInput;
    }
    if (help) {
        std::fputs(helpText(), out);
        return Done;
    }
    const amplex::QasmProgram program =
        amplex::QasmProgram::load(file == "-" ? std::string("/dev/stdin") : file);
    if (!program.ok()) {
        std::fprintf(err, "%s\n", program.error->text().c_str());
        return BadInput;
    }
    // The windows seed the same C generator from the clock once per run.
    std::srand(seed ? *seed : static_cast<unsigned>(std::time(nullptr)));

    Segmentation segmentation;
    QRegister live;
    live.segmentation = &segmentation;
    if (!live.setQubitCount(program.qubitCount)) {
        std::fprintf(err, "amplex: out of memory for %i qubits\n", program.qubitCount);
        return RunFailed;
    }
    live.amplitudes[0] = 1.0;
    GateHost host(live);
    std::vector<QasmExport::Step> steps;
    host.setStepSink([&steps](const char* text, int depth) { steps.push_back({text, depth}); });
    std::string failure;
    CircuitRunner::run(host, program.operations, failure);
    host.endRun();
    if (!failure.empty()) {
        std::fprintf(err, "amplex: %s\n", failure.c_str());
        return RunFailed;
    }
    if (print == Print::History) {
        for (const QasmExport::Step& step : steps) {
            std::fprintf(out, "%*s%s\n", 2 * step.depth, "", step.text.c_str());
        }
    } else if (print == Print::Qasm3 || print == Print::Qasm2) {
        const QasmExport::Result exported = QasmExport::write(
            steps, live.qubitCount, 0,
            print == Print::Qasm3 ? QasmExport::Version::Qasm3 : QasmExport::Version::Qasm2);
        std::fputs(exported.program.c_str(), out);
        for (const std::string& warning : exported.warnings) {
            std::fprintf(err, "amplex: %s\n", warning.c_str());
        }
    } else {
        printRegister(live, print, out);
    }
    return Done;
}
