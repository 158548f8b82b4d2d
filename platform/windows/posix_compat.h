// The few POSIX calls the player makes, over MinGW-w64's C library: included before every
// source of the Windows build (windows/CMakeLists.txt).
#pragma once

#ifdef __cplusplus
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstring>
#include <thread>

// No file-size limit signal on Windows: ignoring it is ignoring nothing.
#ifndef SIGXFSZ
#define SIGXFSZ 25
#endif
#define _SC_NPROCESSORS_ONLN 84

inline long sysconf(int) { return long(std::thread::hardware_concurrency()); }
inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name)) return 0;
    return _putenv_s(name, value);
}
inline int mkdir(const char* path, int) { return _mkdir(path); }
// Windows files have no POSIX modes: a new file is readable and writable already.
inline int fchmod(int, int) { return 0; }
// The template's XXXXXX (before suffixLength bytes) made unique, the file created and opened.
inline int mkstemps(char* path, int suffixLength) {
    const size_t length = std::strlen(path);
    char* x = path + length - suffixLength - 6;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        unsigned value = unsigned(_getpid()) * 7919u + ++counter;
        for (int i = 0; i < 6; ++i, value /= 36) x[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[value % 36];
        const int fd = _open(path, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}
#endif
