// Choice of the data folder: the working directory when it holds the show, else the
// installed data folder, else the build tree's, both relative to the executable so an
// installed tree can be moved.
#include "player/options/data_folder.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/interface/utf8_paths.h"
#include "player/show_files.h"

namespace fs = std::filesystem;

namespace {

const char* const kShowFiles[] = {ORANGEFUNK_SHOW_FILES};

struct Candidate {
    fs::path folder;
    const char* role;  // how the message names it
};

// The first show file that is not a readable regular file in folder; null when all are.
const char* MissingFile(const fs::path& folder) {
    for (const char* name : kShowFiles) {
        const fs::path file = folder / name;
        std::error_code error;
        if (!fs::is_regular_file(file, error) || utf8::Access(utf8::Text(file), R_OK) != 0) return name;
    }
    return nullptr;
}

// Makes a relative *path absolute against the working directory: *path then points into
// kept, which holds the text.
void MakeAbsolute(const char** path, std::string* kept) {
    if (*path == nullptr || **path == '/') return;
    std::error_code error;
    const fs::path absolute = fs::absolute(utf8::Path(*path), error);
    if (error) return;  // no working directory: left relative
    *kept = utf8::Text(absolute);
    *path = kept->c_str();
}

}  // namespace

bool EnterDataFolder(PlayOptions* options, OutputPaths* paths, std::string* error) {
    fs::path chosen;
    std::error_code status;
    if (options->dataDir != nullptr) {
        chosen = fs::absolute(utf8::Path(options->dataDir), status);
        if (!fs::is_directory(chosen, status)) {
            *error = std::string("--data: there is no folder ") + options->dataDir;
            return false;
        }
        if (const char* missing = MissingFile(chosen)) {
            *error = std::string("--data: ") + options->dataDir + " does not hold the show's data files (" +
                     missing + " is missing)";
            return false;
        }
    } else {
        Candidate candidates[3];
        int count = 0;
        candidates[count++] = {fs::current_path(status), "working directory"};
        const fs::path program = utf8::ProgramFile(&status);
        if (!status) {
            candidates[count++] = {(program.parent_path() / ORANGEFUNK_INSTALLED_DATA).lexically_normal(),
                                   "installed data"};
            // Where both are the same folder (data\ beside the Windows program), it is looked in once.
            const fs::path buildData = (program.parent_path() / ORANGEFUNK_BUILD_DATA).lexically_normal();
            if (buildData != candidates[count - 1].folder) candidates[count++] = {buildData, "build tree's data"};
        }
        std::string looked;
        for (int i = 0; i < count && chosen.empty(); ++i) {
            if (MissingFile(candidates[i].folder) == nullptr) chosen = candidates[i].folder;
            looked += std::string(i ? ", " : "") + utf8::Text(candidates[i].folder) + " (" + candidates[i].role + ")";
        }
        if (chosen.empty()) {
            *error = std::string("cannot find the show's data files (") + kShowFiles[0] + " and the rest); looked in " +
                     looked + ". --data DIR names the folder that holds them.";
            return false;
        }
    }
    MakeAbsolute(&options->capturePath, &paths->capture);
    MakeAbsolute(&options->framesDir, &paths->frames);
    fs::current_path(chosen, status);
    if (status) {
        *error = "cannot enter the data folder " + utf8::Text(chosen) + ": " + status.message();
        return false;
    }
    return true;
}
