#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What the system lets this process have, read from /proc and the memory cgroup. The parsers
// take the files' contents, so that they can be tried on any text.
class SystemMemory {
public:
    // The process's memory cgroup: its path below the hierarchy's mount and whether it is the
    // unified (v2) hierarchy.
    struct Cgroup {
        std::string path;
        bool unified = false;
    };

    // "MemAvailable:" of /proc/meminfo, in bytes.
    static std::optional<std::uint64_t> memAvailable(std::string_view meminfo);
    // From /proc/self/cgroup: the v1 line naming the memory controller ("4:memory:/a/b",
    // also in a list "4:cpu,memory:/a/b") if there is one, else the v2 line ("0::/a/b").
    static std::optional<Cgroup> memoryCgroup(std::string_view procSelfCgroup);
    // A limit or usage file (memory.max, memory.current, memory.limit_in_bytes, ...): a byte
    // count, or nothing for "max" and for v1's "no limit" (2^62 or more).
    static std::optional<std::uint64_t> byteCount(std::string_view contents);
    // A whole number of megabytes (2^20 bytes), 1 .. 2^24, as bytes; nothing for anything else.
    static std::optional<std::uint64_t> megabytes(const char* text);

    // The smaller of MemAvailable and the room left under the limit of the process's memory
    // cgroup and each cgroup above it; 0 when nothing can be read.
    static std::uint64_t available();
};
