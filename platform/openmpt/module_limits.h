// Limits on what a module file may declare, checked before the module is decoded: the file
// is read whole into memory and the decoder sizes its tables from the counts it declares.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Largest module file read, in bytes: the show's song is about 1.1 MB.
constexpr size_t kMaxModuleBytes = size_t(64) << 20;

// Checks the counts and sizes an Impulse Tracker module ("IMPM") declares: its order,
// instrument, sample and pattern tables, each sample's data and each pattern, must lie
// inside the file and within the budget below. Files of other formats pass (the decoder's
// own checks hold for them). False with the reason when a declared size is refused.
bool CheckModuleSizes(const std::vector<char>& bytes, std::string* error);
