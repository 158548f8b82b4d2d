// The process's resident memory, read by the benchmarks that watch it.
#pragma once

#include <unistd.h>

#include <cstdio>

// Resident set size of this process in MiB, from /proc/self/statm; 0 when unreadable.
inline double ResidentMebibytes() {
    long pages = 0, resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}
