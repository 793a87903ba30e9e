#pragma once

#include <filesystem>

// Where the program finds the files it reads at run time: the gate tree "gates" and the user
// guide "doc/index.html". The working directory comes first, as the gate paths are documented
// relative to it; when it has no such file or directory, the one beside the executable is taken,
// so the program works from any working directory.
class ProgramFiles {
public:
    // workingDir/relative if it exists, else programDir/relative if that exists, else
    // workingDir/relative (which then does not exist).
    static std::filesystem::path locate(const std::filesystem::path& relative,
                                        const std::filesystem::path& workingDir,
                                        const std::filesystem::path& programDir);
    // The same with the process's working directory and the executable's directory.
    static std::filesystem::path locate(const std::filesystem::path& relative);
};
