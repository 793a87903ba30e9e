#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The program's command line for a run without a window:
//
//   amplex --run FILE [--print probabilities|state|history|qasm|qasm2] [--seed S]
//   amplex --help
//
// The run reads the OpenQASM program whole, resets a register to its size and runs every
// operation through the gate host and the same plug-ins as the windows, then prints the result.
// It needs no display and no Qt application object.
class CommandLine {
public:
    // qasm and qasm2: the recorded steps exported as the File menu exports the history.
    enum class Print { Probabilities, State, History, Qasm3, Qasm2 };

    // Exit statuses of run().
    static constexpr int Done = 0;
    static constexpr int RunFailed = 1;
    static constexpr int BadInput = 2;

    // Whether the arguments (without the program name) are for the command line rather than
    // the windows: any of --run, --print, --seed, --help, -h.
    static bool wanted(const std::vector<std::string>& args);
    // Reads --run FILE (or --run=FILE), --print WHAT, --seed S and --help; anything else, a
    // missing value, or no --run without --help is a usage error.
    static CommandLine parse(const std::vector<std::string>& args);
    static const char* helpText();

    // Prints the help, or runs the file and prints the result to out; errors go to err: a
    // program's error as "line:column: message". Returns Done, RunFailed when a gate could not
    // run, or BadInput for a usage error, a file that cannot be read or an error in it.
    int run(std::FILE* out, std::FILE* err) const;

    bool help = false;
    std::string file; // "-" is standard input
    Print print = Print::Probabilities;
    std::optional<unsigned> seed; // the clock's when not given
    std::string usageError;       // why the arguments are refused, or empty
};
