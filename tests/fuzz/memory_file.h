// A fuzz input as a file: written to an in-memory file (memfd) and named by its /proc
// path, so readers that take a file name open, size and read it as a file on disk.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

class MemoryFile {
public:
    // Makes the in-memory file; aborts (a broken fuzz run, not a finding) when it cannot.
    explicit MemoryFile(const char* name) : descriptor(memfd_create(name, 0)) {
        if (descriptor < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", descriptor);
    }
    // Replaces the file's bytes with size bytes at data; returns the path to read it by.
    const char* Write(const uint8_t* data, size_t size) {
        if (ftruncate(descriptor, 0) != 0 || pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size)) {
            std::perror("writing the memory file");
            std::abort();
        }
        return path;
    }

private:
    int descriptor;
    char path[64];
};
