#include "host/gatelibrary.h"

#include "host/gatefolders.h"

#include <dlfcn.h>
#include <system_error>
#include <unistd.h>
#include <utility>

GateLibrary::GateLibrary(GateLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

GateLibrary& GateLibrary::operator=(GateLibrary&& other) noexcept {
    if (this != &other) {
        unload();
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

GateLibrary::~GateLibrary() {
    unload();
}

void GateLibrary::unload() {
    if (handle_) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

void* GateLibrary::symbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

std::filesystem::path GateLibrary::relativeFile(const std::string& gatePath) {
    std::filesystem::path file;
    std::string level;
    auto addLevel = [&](bool last) {
        if (level.empty() || level == "." || level == ".." ||
            level.find('/') != std::string::npos || level.find('\0') != std::string::npos) {
            return false;
        }
        file /= last ? level + ".so" : level;
        level.clear();
        return true;
    };
    for (char c : gatePath) {
        if (c == '\\') {
            if (!addLevel(false)) {
                return {};
            }
        } else {
            level += c;
        }
    }
    return addLevel(true) ? file : std::filesystem::path{};
}

GateLibrary GateLibrary::open(const std::string& gatePath,
                              const std::vector<std::filesystem::path>& gateFolders) {
    GateLibrary library;
    const std::filesystem::path relative = relativeFile(gatePath);
    if (relative.empty()) {
        library.error_ = "not a gate path: " + gatePath;
        return library;
    }
    for (const auto& folder : gateFolders) {
        const std::filesystem::path file = folder / relative;
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error)) {
            continue;
        }
        // The resolved path is what is loaded, so a link swapped after the check changes nothing.
        const std::filesystem::path real = GateFolders::realPathInside(folder, file);
        if (real.empty()) {
            library.error_ = file.string() + " leads outside " + folder.string();
            continue;
        }
        library.handle_ = dlopen(real.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library.handle_) {
            library.error_.clear();
            return library;
        }
        const char* reason = dlerror();
        library.error_ = reason ? reason : "cannot load " + file.string();
    }
    if (library.error_.empty()) {
        library.error_ = "no library for gate path " + gatePath;
    }
    return library;
}
