// Runs the built program and other commands for the tests of its output.
#include "tests/support/show_program.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/test_paths.h"

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int RunShowProgram(const std::string& program, const std::string& arguments, const std::string& log) {
    const std::string command = "cd " + Quote(ShowDataDir()) +
                                " && env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy " + Quote(program) +
                                " " + arguments + " >" + Quote(log) + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
    return text;
}

bool CommandExists(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0;
}
