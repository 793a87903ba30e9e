#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

// Caps the address space at what the process uses now plus `headroom` bytes, so that larger
// allocations fail. Only for the child process of a death test.
inline void limitAddressSpace(rlim_t headroom) {
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        pages = std::fscanf(statm, "%ld", &pages) == 1 ? pages : 0;
        std::fclose(statm);
    }
    const rlimit limit{static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE)) + headroom,
                       RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
}
