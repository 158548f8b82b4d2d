// glibc's assertion report, which the 3DS reader calls in every build type, in the Windows
// build: the same words on standard error, then the process aborts.
#include <cstdio>
#include <cstdlib>

extern "C" [[noreturn]] void __assert_fail(const char* assertion, const char* file, unsigned int line,
                                           const char* function) noexcept {
    std::fprintf(stderr, "%s:%u: %s: Assertion `%s' failed.\n", file, line, function, assertion);
    std::abort();
}
