#include "host/gatefolders.h"

#include "host/programfiles.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

void add(std::vector<fs::path>& folders, const fs::path& folder) {
    const fs::path normal = folder.lexically_normal();
    if (folder.is_absolute() &&
        std::find(folders.begin(), folders.end(), normal) == folders.end()) {
        folders.push_back(normal);
    }
}

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::vector<fs::path> GateFolders::compose(const fs::path& programGates,
                                           const std::string& xdgDataHome, const std::string& home,
                                           const std::string& gatePathVariable) {
    std::vector<fs::path> folders;
    add(folders, programGates);
    // A relative XDG_DATA_HOME is invalid and ignored, as for every XDG variable.
    const fs::path dataHome = fs::path(xdgDataHome).is_absolute()
                                  ? fs::path(xdgDataHome)
                                  : (home.empty() ? fs::path() : fs::path(home) / ".local/share");
    if (!dataHome.empty()) {
        add(folders, dataHome / "amplex/gates");
    }
    std::size_t start = 0;
    while (start <= gatePathVariable.size()) {
        const std::size_t end =
            std::min(gatePathVariable.find(':', start), gatePathVariable.size());
        add(folders, gatePathVariable.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

std::vector<fs::path> GateFolders::fromEnvironment() {
    return compose(ProgramFiles::gates(), variable("XDG_DATA_HOME"), variable("HOME"),
                   variable("AMPLEX_GATE_PATH"));
}

fs::path GateFolders::realPathInside(const fs::path& folder, const fs::path& path) {
    std::error_code error;
    const fs::path realFolder = fs::canonical(folder, error);
    if (error) {
        return {};
    }
    fs::path realPath = fs::canonical(path, error);
    if (error) {
        return {};
    }
    const auto [inFolder, inPath] =
        std::mismatch(realFolder.begin(), realFolder.end(), realPath.begin(), realPath.end());
    return inFolder == realFolder.end() ? realPath : fs::path();
}
