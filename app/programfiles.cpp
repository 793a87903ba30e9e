#include "app/programfiles.h"

#include <system_error>

namespace fs = std::filesystem;

fs::path ProgramFiles::locate(const fs::path& relative, const fs::path& workingDir,
                              const fs::path& programDir) {
    std::error_code error;
    const fs::path inWorkingDir = workingDir / relative;
    if (fs::exists(inWorkingDir, error)) {
        return inWorkingDir;
    }
    const fs::path besideProgram = programDir / relative;
    if (!programDir.empty() && fs::exists(besideProgram, error)) {
        return besideProgram;
    }
    return inWorkingDir;
}

fs::path ProgramFiles::locate(const fs::path& relative) {
    std::error_code error;
    fs::path workingDir = fs::current_path(error);
    if (error) {
        workingDir.clear();
    }
    fs::path programDir = fs::read_symlink("/proc/self/exe", error).parent_path();
    if (error) {
        programDir.clear();
    }
    return locate(relative, workingDir, programDir);
}
