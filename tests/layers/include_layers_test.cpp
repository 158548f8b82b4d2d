// The folders' stack, as docs/design.md draws it: every #include of the program's folders
// names its own folder or one drawn below it, and every source folder is in the drawing; the
// same inside platform/, room by room, which the rest of the program enters by interface/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The lines that open the drawings in docs/design.md (the folders; platform/'s rooms), the
// room of platform/ the other folders include, and the folders of tests and benchmarks,
// which may include anything and are never included.
constexpr const char* kStackOpening = "```text layers";
constexpr const char* kPlatformStackOpening = "```text layers platform/";
constexpr const char* kPlatformDoor = "interface";
const std::vector<std::string> kTestFolders = {"tests", "bench"};

std::string SourceDir() { return ORANGEFUNK_SOURCE_DIR; }

// Folder name -> level (0 at the bottom), read from the drawing in docs/design.md opened by
// `opening`: one level a line, top first, each naming its folders as "name/" (or "name/sub/")
// before the description.
std::map<std::string, int> ReadStack(const std::string& readme, const std::string& opening, std::string& error) {
    std::ifstream in(readme);
    if (!in) {
        error = "cannot read " + readme;
        return {};
    }
    std::vector<std::vector<std::string>> lines;
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside) {
            inside = line == opening;
            continue;
        }
        if (line.rfind("```", 0) == 0) break;
        std::istringstream words(line);
        std::vector<std::string> folders;
        for (std::string word; words >> word && word.size() > 1 && word.back() == '/';)
            folders.push_back(word.substr(0, word.size() - 1));
        if (!folders.empty()) lines.push_back(folders);
    }
    if (lines.empty()) error = readme + " has no drawing opened by " + opening;
    std::map<std::string, int> level;
    for (size_t i = 0; i < lines.size(); ++i)
        for (const std::string& folder : lines[i]) level[folder] = static_cast<int>(lines.size() - 1 - i);
    return level;
}

struct Include {
    std::string file;    // relative to the source folder
    int line;
    std::string target;  // as written between the quotes
};

// Every quoted #include of the source files below `folder`.
std::vector<Include> IncludesBelow(const std::string& folder) {
    std::vector<Include> found;
    for (const auto& entry : fs::recursive_directory_iterator(SourceDir() + "/" + folder)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h" && extension != ".inc")) continue;
        std::ifstream in(entry.path());
        std::string text;
        for (int number = 1; std::getline(in, text); ++number) {
            const size_t hash = text.find_first_not_of(" \t");
            if (hash == std::string::npos || text.compare(hash, 1, "#") != 0) continue;
            const size_t word = text.find_first_not_of(" \t", hash + 1);
            if (word == std::string::npos || text.compare(word, 7, "include") != 0) continue;
            const size_t open = text.find('"', word);
            const size_t close = open == std::string::npos ? open : text.find('"', open + 1);
            if (close == std::string::npos) continue;
            found.push_back({fs::relative(entry.path(), SourceDir()).string(), number,
                             text.substr(open + 1, close - open - 1)});
        }
    }
    return found;
}

// Folders at the top of the source tree that hold C++ sources.
std::vector<std::string> SourceFolders() {
    std::vector<std::string> folders;
    for (const auto& entry : fs::directory_iterator(SourceDir())) {
        if (!entry.is_directory() || entry.path().filename().string().front() == '.') continue;
        // A build folder: CMakeFiles/ is there from the first moment of its configuring (a build
        // configured beside this test has compiler-probe sources before its CMakeCache.txt).
        if (fs::exists(entry.path() / "CMakeCache.txt") || fs::exists(entry.path() / "CMakeFiles")) continue;
        for (const auto& file : fs::recursive_directory_iterator(entry.path()))
            if (file.path().extension() == ".cpp") {
                folders.push_back(entry.path().filename().string());
                break;
            }
    }
    return folders;
}

bool IsTestFolder(const std::string& folder) {
    for (const std::string& test : kTestFolders)
        if (folder == test) return true;
    return false;
}

TEST(Layers, EveryIncludeNamesItsOwnFolderOrOneBelow) {
    std::string error;
    const std::map<std::string, int> level = ReadStack(SourceDir() + "/docs/design.md", kStackOpening, error);
    ASSERT_TRUE(error.empty()) << error;

    for (const std::string& folder : SourceFolders()) {
        if (!IsTestFolder(folder)) {
            EXPECT_TRUE(level.count(folder)) << folder << "/ is missing from the stack in docs/design.md";
        }
    }

    for (const auto& [folder, folderLevel] : level) {
        ASSERT_TRUE(fs::is_directory(SourceDir() + "/" + folder)) << "the stack in docs/design.md names " << folder << "/";
        for (const Include& include : IncludesBelow(folder)) {
            const size_t slash = include.target.find('/');
            if (slash == std::string::npos) continue;  // beside the including file
            const std::string target = include.target.substr(0, slash);
            const std::string where = include.file + ":" + std::to_string(include.line) + ": \"" + include.target + "\"";
            if (IsTestFolder(target)) {
                ADD_FAILURE() << where << ": the program includes " << target << "/";
                continue;
            }
            const auto found = level.find(target);
            if (found == level.end() || target == folder) continue;  // a system or generated header
            if (target == "platform" && include.target.rfind("platform/" + std::string(kPlatformDoor) + "/", 0) != 0)
                ADD_FAILURE() << where << ": " << folder << "/ reaches into platform/ past its " << kPlatformDoor << "/";
            EXPECT_LT(found->second, folderLevel) << where << ": " << folder << "/ includes " << target
                                                  << "/, which is not below it in the stack of docs/design.md";
        }
    }
}

// The room of a path below platform/: its folder there ("sdl/linux" for platform/sdl/linux/x.h).
std::string PlatformRoom(const std::string& path) {
    const std::string prefix = "platform/";
    const size_t slash = path.rfind('/');
    if (path.rfind(prefix, 0) != 0 || slash < prefix.size()) return "";
    return path.substr(prefix.size(), slash - prefix.size());
}

TEST(Layers, EveryIncludeInsidePlatformNamesItsOwnRoomOrOneBelow) {
    std::string error;
    const std::map<std::string, int> level = ReadStack(SourceDir() + "/docs/design.md", kPlatformStackOpening, error);
    ASSERT_TRUE(error.empty()) << error;

    for (const auto& entry : fs::recursive_directory_iterator(SourceDir() + "/platform")) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
        const std::string room = PlatformRoom(fs::relative(entry.path(), SourceDir()).string());
        EXPECT_TRUE(level.count(room)) << "platform/" << room << "/ holds " << entry.path().filename().string()
                                           << " and is missing from the rooms in docs/design.md";
    }

    for (const Include& include : IncludesBelow("platform")) {
        if (include.target.rfind("platform/", 0) != 0) continue;  // system headers
        const std::string from = PlatformRoom(include.file);
        const std::string to = PlatformRoom(include.target);
        if (from == to) continue;
        const std::string where = include.file + ":" + std::to_string(include.line) + ": \"" + include.target + "\"";
        const auto fromLevel = level.find(from);
        const auto toLevel = level.find(to);
        if (fromLevel == level.end() || toLevel == level.end()) {
            ADD_FAILURE() << where << ": a room missing from the rooms in docs/design.md";
            continue;
        }
        EXPECT_LT(toLevel->second, fromLevel->second) << where << ": platform/" << from << "/ includes platform/" << to
                                                      << "/, which is not below it in the rooms of docs/design.md";
    }
}

}  // namespace
