// The one place where the program's paths, held as UTF-8 text, meet the system: POSIX takes
// the bytes as they are (utf8_paths.cpp); Windows takes them through its wide-character calls
// (windows/utf8_paths_windows.cpp), so folders named in any script work there too.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace utf8 {

// The program's arguments after its name (argv[1] on); on Windows read from the wide
// command line, whatever the ANSI code page.
std::vector<std::string> Arguments(int argc, char** argv);
// The value of the environment variable name; empty when it is not set.
std::string Environment(const char* name);
// The running program's file; *status set when it cannot be told.
std::filesystem::path ProgramFile(std::error_code* status);
// The path the text names, and a path's text.
std::filesystem::path Path(const std::string& text);
std::string Text(const std::filesystem::path& path);

// fopen(3) of path.
FILE* OpenFile(const std::string& path, const char* mode);
// access(2): 0, or -1 with errno set. Windows folders have no execute permission to ask for.
int Access(const std::string& path, int mode);
// True when path names a folder; when it names anything.
bool IsFolder(const std::string& path);
bool Exists(const std::string& path);
// mkdir(2) with the usual permissions: 0, or -1 with errno set.
int MakeFolder(const std::string& path);
// mkstemps(3): the template's XXXXXX (before suffixLength bytes) made unique, the file
// created and opened for reading and writing; its descriptor, or -1 with errno set.
int CreateUniqueFile(char* pathTemplate, int suffixLength);
// unlink(2): 0, or -1 with errno set.
int RemoveFile(const std::string& path);

// The user's Pictures folder as the system keeps it (on Windows its known folder, moved or
// not); empty where the system keeps none (POSIX: the desktop's own settings say).
std::string KnownPicturesFolder();

}  // namespace utf8
