#include "host/programfiles.h"

#include <system_error>

namespace fs = std::filesystem;

fs::path ProgramFiles::locate(const fs::path& relative, const fs::path& programDir) {
    std::error_code error;
    const fs::path besideProgram = programDir / relative;
    if (fs::exists(besideProgram, error)) {
        return besideProgram;
    }
    const fs::path installed = programDir.parent_path() / "share/amplex" / relative;
    if (!programDir.empty() && fs::exists(installed, error)) {
        return installed;
    }
    return besideProgram;
}

fs::path ProgramFiles::locate(const fs::path& relative) {
    return locate(relative, programDir());
}

fs::path ProgramFiles::programDir() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : exe.parent_path();
}
