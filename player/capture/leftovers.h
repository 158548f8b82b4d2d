// What an unfinished off-screen run would leave behind (its temporary files), listed so
// that every way out removes them; and files finished safely:
// written under a temporary name beside their own and renamed into place when complete.
#pragma once

#include <mutex>
#include <string>

class Leftovers {
public:
    // Hold while making or removing a listed file and (un)listing it, so that an abandon
    // on another thread sees the file and its entry together or neither.
    static std::unique_lock<std::mutex> Hold();
    // Lists a file to remove.
    static void AddFile(const std::string& path);
    // Takes a file off the list (removed or finished).
    static void Forget(const std::string& path);
    // Removes the listed files. The list stays held afterwards, so no thread makes anything
    // more. Runs at exit and on a second interrupt.
    static void Abandon();
};

// Creates an empty file beside finalPath, ".NAME.partial-XXXXXX.EXT" (hidden, same
// extension, so tools still know the format), listed as a leftover. Returns its path, or
// "" with the reason in error when the folder cannot be written.
std::string CreateTemporaryBeside(const std::string& finalPath, std::string* error);
// Renames a complete temporary file over finalPath and takes it off the list; false with
// the reason in error (the temporary file is then removed).
bool FinishFile(const std::string& temporary, const std::string& finalPath, std::string* error);
// Removes a temporary file and takes it off the list.
void DropFile(const std::string& temporary);
