#pragma once

#include <filesystem>

// Where the program finds the files it reads at run time: the gate folder "gates" and the user
// guide "doc/index.html". Beside the executable (the build tree), else in the installed
// share/amplex beside its bin/. Never the working directory: a folder the user happens to be
// in must not decide which libraries are loaded.
class ProgramFiles {
public:
    // programDir/relative if it exists, else programDir/../share/amplex/relative if that
    // exists, else programDir/relative (which then does not exist).
    static std::filesystem::path locate(const std::filesystem::path& relative,
                                        const std::filesystem::path& programDir);
    // The same beside the running executable.
    static std::filesystem::path locate(const std::filesystem::path& relative);
    // The directory of the running executable; empty when it cannot be read.
    static std::filesystem::path programDir();
};
