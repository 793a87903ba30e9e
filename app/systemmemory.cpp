#include "app/systemmemory.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

std::string_view trimmed(std::string_view s) {
    const auto begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) {
        return {};
    }
    return s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
}

std::optional<std::uint64_t> number(std::string_view s) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || s.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Room left under the limits of the cgroup at `dir` and of every cgroup up to `root`.
std::optional<std::uint64_t> cgroupRoom(const std::string& root, std::string dir,
                                        const char* limitFile, const char* usageFile) {
    std::optional<std::uint64_t> room;
    while (true) {
        const auto limit = readFile(dir + "/" + limitFile);
        const auto usage = readFile(dir + "/" + usageFile);
        const auto limitBytes = limit ? SystemMemory::byteCount(*limit) : std::nullopt;
        if (limitBytes) {
            const std::uint64_t used = usage ? SystemMemory::byteCount(*usage).value_or(0) : 0;
            const std::uint64_t left = *limitBytes > used ? *limitBytes - used : 0;
            room = std::min(room.value_or(left), left);
        }
        if (dir.size() <= root.size()) {
            return room;
        }
        dir.erase(std::max(dir.rfind('/'), root.size()));
    }
}

} // namespace

std::optional<std::uint64_t> SystemMemory::memAvailable(std::string_view meminfo) {
    constexpr std::string_view Key = "MemAvailable:";
    for (std::size_t at = 0; at < meminfo.size();) {
        const std::size_t end = std::min(meminfo.find('\n', at), meminfo.size());
        const std::string_view line = meminfo.substr(at, end - at);
        at = end + 1;
        if (line.substr(0, Key.size()) != Key) {
            continue;
        }
        std::string_view value = trimmed(line.substr(Key.size()));
        std::uint64_t unit = 1;
        if (value.size() > 2 && value.substr(value.size() - 2) == "kB") {
            unit = 1024;
            value = trimmed(value.substr(0, value.size() - 2));
        }
        const auto count = number(value);
        if (!count || *count > std::numeric_limits<std::uint64_t>::max() / unit) {
            return std::nullopt;
        }
        return *count * unit;
    }
    return std::nullopt;
}

std::optional<SystemMemory::Cgroup> SystemMemory::memoryCgroup(std::string_view procSelfCgroup) {
    std::optional<Cgroup> unified;
    for (std::size_t at = 0; at < procSelfCgroup.size();) {
        const std::size_t end = std::min(procSelfCgroup.find('\n', at), procSelfCgroup.size());
        const std::string_view line = procSelfCgroup.substr(at, end - at);
        at = end + 1;
        const std::size_t first = line.find(':');
        const std::size_t second =
            first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) {
            continue;
        }
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        const std::string path(trimmed(line.substr(second + 1)));
        if (controllers.empty() && line.substr(0, first) == "0") {
            unified = Cgroup{path, true};
            continue;
        }
        std::string_view rest = controllers;
        while (!rest.empty()) {
            const std::size_t comma = std::min(rest.find(','), rest.size());
            if (rest.substr(0, comma) == "memory") {
                return Cgroup{path, false};
            }
            rest.remove_prefix(std::min(comma + 1, rest.size()));
        }
    }
    return unified;
}

std::optional<std::uint64_t> SystemMemory::byteCount(std::string_view contents) {
    const auto value = number(trimmed(contents));
    // v1 writes "no limit" as the largest page-aligned 63-bit number.
    if (!value || *value >= std::uint64_t{1} << 62) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> SystemMemory::megabytes(const char* text) {
    if (!text) {
        return std::nullopt;
    }
    const auto value = number(trimmed(text));
    if (!value || *value == 0 || *value > std::uint64_t{1} << 24) {
        return std::nullopt;
    }
    return *value << 20;
}

std::uint64_t SystemMemory::available() {
    constexpr std::uint64_t Unknown = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t room = Unknown;
    if (const auto meminfo = readFile("/proc/meminfo")) {
        room = memAvailable(*meminfo).value_or(Unknown);
    }
    const auto own = readFile("/proc/self/cgroup");
    if (const auto cgroup = own ? memoryCgroup(*own) : std::nullopt) {
        const std::string root = cgroup->unified ? "/sys/fs/cgroup" : "/sys/fs/cgroup/memory";
        const std::string dir = root + (cgroup->path == "/" ? "" : cgroup->path);
        const auto left = cgroup->unified ? cgroupRoom(root, dir, "memory.max", "memory.current")
                                          : cgroupRoom(root, dir, "memory.limit_in_bytes",
                                                       "memory.usage_in_bytes");
        room = std::min(room, left.value_or(Unknown));
    }
    return room == Unknown ? 0 : room;
}
