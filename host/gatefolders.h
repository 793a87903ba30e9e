#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The gate path: the folders that the Gates tree lists and the loader loads from, in this
// order: the gates/ folder of the program (ProgramFiles), the user's own
// $XDG_DATA_HOME/amplex/gates (default ~/.local/share/amplex/gates), then the folders of
// AMPLEX_GATE_PATH (colon-separated). The working directory is never among them, and relative
// entries are left out, since they would name it.
class GateFolders {
public:
    // The order above from the given values; an empty value adds nothing. A folder named twice
    // is kept at its first place.
    static std::vector<std::filesystem::path> compose(const std::filesystem::path& programGates,
                                                      const std::string& xdgDataHome,
                                                      const std::string& home,
                                                      const std::string& gatePathVariable);
    // The same from this process's executable and environment.
    static std::vector<std::filesystem::path> fromEnvironment();
    // The real path of path (links, "." and ".." resolved) when it lies inside folder, resolved
    // alike; empty when it leads outside or either does not exist.
    static std::filesystem::path realPathInside(const std::filesystem::path& folder,
                                                const std::filesystem::path& path);
};
