// What an unfinished off-screen run would leave behind (temporary files and folders, child
// processes), listed so that every way out removes or ends it; and files finished safely:
// written under a temporary name beside their own and renamed into place when complete.
#pragma once

#include <sys/types.h>

#include <mutex>
#include <string>

class Leftovers {
public:
    // Hold while making or removing a listed thing and (un)listing it, so that an abandon
    // on another thread sees the thing and its entry together or neither.
    static std::unique_lock<std::mutex> Hold();
    // Lists a file or folder to remove, or a child process to kill and wait for. Folders
    // go after the files, so they are empty by then.
    static void AddFile(const std::string& path);
    static void AddFolder(const std::string& path);
    static void AddProcess(pid_t child);
    // Takes a path or process off the list (removed, waited for or finished).
    static void Forget(const std::string& path);
    static void Forget(pid_t child);
    // Kills and waits for the processes, then removes the files and folders. The list
    // stays held afterwards, so no thread makes anything more. Runs at exit and on a
    // second interrupt.
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
