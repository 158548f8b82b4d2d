// Where tests find data: third-party files beside the repository and the generated show data.
#pragma once

#include <string>

// ../shared/testdata beside the repository, or ORANGEFUNK_TESTDATA when set. Tests that
// need it skip with a message when the folder is absent: the only input allowed to be missing.
std::string TestDataDir();
// The build's generated data folder (textures, objects, "funk.it").
std::string ShowDataDir();
// Empty when every generated file the show reads is in ShowDataDir(); else a message naming
// the first one missing, for a test to fail with.
std::string MissingShowData();
// True when the folder exists.
bool DirExists(const std::string& path);
