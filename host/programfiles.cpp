#include "host/programfiles.h"

#include <system_error>

namespace fs = std::filesystem;

fs::path ProgramFiles::locate(const fs::path& besideProgram, const fs::path& underPrefix,
                              const fs::path& programDir) {
    std::error_code error;
    const fs::path built = programDir / besideProgram;
    if (fs::exists(built, error)) {
        return built;
    }
    const fs::path installed = programDir.parent_path() / underPrefix;
    if (!programDir.empty() && fs::exists(installed, error)) {
        return installed;
    }
    return built;
}

fs::path ProgramFiles::gates(const fs::path& programDir) {
    return locate("gates", "lib/amplex/gates", programDir);
}

fs::path ProgramFiles::guide(const fs::path& programDir) {
    return locate("doc/index.html", "share/doc/amplex/index.html", programDir);
}

fs::path ProgramFiles::programDir() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : exe.parent_path();
}
