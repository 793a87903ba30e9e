#pragma once

#include <filesystem>
#include <string>
#include <vector>

// One loaded gate plug-in library, unloaded when the object goes.
//
// A gate path such as basic\hadamard names the file basic/hadamard.so, looked up in each gate
// folder in turn (GateFolders).
class GateLibrary {
public:
    GateLibrary() = default;
    GateLibrary(GateLibrary&& other) noexcept;
    GateLibrary& operator=(GateLibrary&& other) noexcept;
    GateLibrary(const GateLibrary&) = delete;
    GateLibrary& operator=(const GateLibrary&) = delete;
    ~GateLibrary();

    // Loads the library of a gate path with dlopen(RTLD_NOW | RTLD_LOCAL) from the first gate
    // folder that holds it. Paths with empty, "." or ".." levels or a "/" are refused, and so
    // is a file whose real path lies outside its folder (a symbolic link out of it), so a gate
    // can only name files inside the gate folders. On failure the result is not loaded() and
    // error() says why.
    static GateLibrary open(const std::string& gatePath,
                            const std::vector<std::filesystem::path>& gateFolders);

    // <levels>.so relative to a gate folder, or empty for a refused path.
    static std::filesystem::path relativeFile(const std::string& gatePath);

    bool loaded() const { return handle_ != nullptr; }
    void* handle() const { return handle_; }
    const std::string& error() const { return error_; }
    void* symbol(const char* name) const;
    template <typename T> T* variable(const char* name) const {
        return static_cast<T*>(symbol(name));
    }
    template <typename F> F function(const char* name) const {
        return reinterpret_cast<F>(symbol(name));
    }
    void unload();

private:
    void* handle_ = nullptr;
    std::string error_;
};
