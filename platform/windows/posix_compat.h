// The few POSIX calls the player makes, over MinGW-w64's C library: included before every
// source of the Windows build (windows/CMakeLists.txt). Paths meet the system through
// platform/interface/utf8_paths.h instead.
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
// Windows files have no POSIX modes: a new file is readable and writable already.
inline int fchmod(int, int) { return 0; }
#endif
