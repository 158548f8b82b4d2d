// The list of an off-screen run's temporary files, emptied by whoever ends the run: its
// own clean-up, exit(), or a second interrupt.
#include "player/capture/leftovers.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/interface/utf8_paths.h"

namespace {

struct List {
    std::mutex lock;
    std::vector<std::string> files;
    bool atExit = false;  // Abandon is registered with atexit
};

List& TheList() {
    static List* list = new List;  // never destroyed: exit handlers may still use it
    return *list;
}

void AbandonAtExit() { Leftovers::Abandon(); }

}  // namespace

std::unique_lock<std::mutex> Leftovers::Hold() { return std::unique_lock<std::mutex>(TheList().lock); }

void Leftovers::AddFile(const std::string& path) {
    List& list = TheList();
    if (!list.atExit) {
        list.atExit = true;
        std::atexit(AbandonAtExit);
    }
    list.files.push_back(path);
}

void Leftovers::Forget(const std::string& path) {
    std::vector<std::string>& files = TheList().files;
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
}

void Leftovers::Abandon() {
    List& list = TheList();
    list.lock.lock();  // kept: the process is ending
    for (const std::string& file : list.files) utf8::RemoveFile(file);
    list.files.clear();
}
