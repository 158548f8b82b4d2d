// The built program run as CI runs it: in the show's data folder, with no display (it
// starts its own Xvfb) and no sound card.
#pragma once

#include <string>

// Single-quoted for the shell, its own single quotes kept.
std::string Quote(const std::string& text);
// Runs program with the arguments (shell syntax), its standard output and error going to
// log. Returns its exit status, -1 when it did not exit normally.
int RunShowProgram(const std::string& program, const std::string& arguments, const std::string& log);
// Standard output of a shell command.
std::string Output(const std::string& command);
// True when the command is on PATH.
bool CommandExists(const char* name);
