#pragma once

#include <filesystem>

// Where the program finds the files it reads at run time: its gate folder and the user guide.
// In the build tree they lie beside the executable (gates/, doc/index.html); an installed
// program (prefix/bin/amplex) finds them under its own prefix, prefix/lib/amplex/gates and
// prefix/share/doc/amplex/index.html, so that a copy installed anywhere finds its own files.
// Never the working directory: a folder the user happens to be in must not decide which
// libraries are loaded.
class ProgramFiles {
public:
    // programDir/besideProgram if it exists, else programDir/../underPrefix if that exists,
    // else programDir/besideProgram (which then does not exist).
    static std::filesystem::path locate(const std::filesystem::path& besideProgram,
                                        const std::filesystem::path& underPrefix,
                                        const std::filesystem::path& programDir);
    // The gate folder and the guide of the program in programDir, and of the running one.
    static std::filesystem::path gates(const std::filesystem::path& programDir);
    static std::filesystem::path guide(const std::filesystem::path& programDir);
    static std::filesystem::path gates() { return gates(programDir()); }
    static std::filesystem::path guide() { return guide(programDir()); }
    // The directory of the running executable; empty when it cannot be read.
    static std::filesystem::path programDir();
};
