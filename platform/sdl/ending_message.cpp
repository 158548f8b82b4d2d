// Why the program ends, on Linux and in the page: on standard error, where a terminal or
// the browser's console shows it.
#include <cstdarg>
#include <cstdio>

#include "platform/interface/host.h"

namespace host {

void SayEnding(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
}

}  // namespace host
