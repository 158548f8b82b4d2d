// The list of an off-screen run's temporary files, folders and child processes, emptied
// by whoever ends the run: its own clean-up, exit(), or a second interrupt.
#include "player/leftovers.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

struct List {
    std::mutex lock;
    std::vector<std::string> files, folders;
    std::vector<pid_t> processes;
    bool atExit = false;  // Abandon is registered with atexit
};

List& TheList() {
    static List* list = new List;  // never destroyed: exit handlers may still use it
    return *list;
}

void AbandonAtExit() { Leftovers::Abandon(); }

template <typename T>
void Add(std::vector<T>& entries, const T& entry) {
    List& list = TheList();
    if (!list.atExit) {
        list.atExit = true;
        std::atexit(AbandonAtExit);
    }
    entries.push_back(entry);
}

template <typename T>
void Erase(std::vector<T>& entries, const T& entry) {
    entries.erase(std::remove(entries.begin(), entries.end(), entry), entries.end());
}

}  // namespace

std::unique_lock<std::mutex> Leftovers::Hold() { return std::unique_lock<std::mutex>(TheList().lock); }

void Leftovers::AddFile(const std::string& path) { Add(TheList().files, path); }
void Leftovers::AddFolder(const std::string& path) { Add(TheList().folders, path); }
void Leftovers::AddProcess(pid_t child) { Add(TheList().processes, child); }
void Leftovers::Forget(const std::string& path) {
    Erase(TheList().files, path);
    Erase(TheList().folders, path);
}
void Leftovers::Forget(pid_t child) { Erase(TheList().processes, child); }

void Leftovers::Abandon() {
    List& list = TheList();
    list.lock.lock();  // kept: the process is ending
    for (pid_t child : list.processes) {
        kill(child, SIGKILL);
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    for (const std::string& file : list.files) unlink(file.c_str());
    for (auto folder = list.folders.rbegin(); folder != list.folders.rend(); ++folder) rmdir(folder->c_str());
    list.processes.clear();
    list.files.clear();
    list.folders.clear();
}
