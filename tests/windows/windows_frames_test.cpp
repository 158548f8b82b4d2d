// The Windows program under Wine: it imports the real Win32, GDI and OpenGL and the precise
// timers its pacing waits on, carries its icon, version and manifest as resources, and at a
// song position in every part and the final scene its --frames frame (MinGW's C library,
// Wine's opengl32 on Mesa) matches the native program's from the same start, as thumbnails
// within the reference frames' tolerance; and it plays from, reads from and writes into
// folders named in any script.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "tests/support/frame_match.h"
#include "tests/support/picture.h"
#include "tests/support/show_program.h"

namespace {

constexpr const char* kWine = "/usr/lib/wine/wine64";
constexpr const char* kWineServer = "/usr/lib/wine/wineserver";
constexpr const char* kObjdump = "x86_64-w64-mingw32-objdump";

// The title, the morphing ball, the tube, the spiral, the toy scene, the zoom, the
// greetings (from the order before theirs, as their set-up needs) and the final scene.
struct Position {
    int from, order, row;
};
constexpr Position kPositions[] = {
    {1, 1, 21},   {4, 4, 32},   {9, 9, 16},   {15, 15, 32},
    {18, 18, 32}, {23, 23, 16}, {25, 26, 4},  {28, 28, 16},
};

std::string Name(const char* prefix, const Position& p) {
    char name[32];
    std::snprintf(name, sizeof name, "%s-%02d-%03d.png", prefix, p.order, p.row);
    return name;
}

// The shell's words that run a program under Wine with a prefix of its own in dir (made
// afresh and thrown away with it), in a UTF-8 locale: Wine gives Unix names to the program
// in the locale's encoding.
std::string Wine(const std::string& dir) {
    return "LC_ALL=C.UTF-8 WINEPREFIX=" + Quote(dir + "/wine") + " WINEDEBUG=-all " + kWine + " ";
}

// Runs the Windows program under Wine in folder with the arguments, its output going to log;
// its exit status.
int RunUnderWine(const std::string& dir, const std::string& folder, const std::string& program,
                 const std::string& arguments, const std::string& log) {
    const int status = std::system(
        ("cd " + Quote(folder) + " && " + Wine(dir) + Quote(program) + " " + arguments + " >" + Quote(log) + " 2>&1")
            .c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Ends the Wine server of dir's prefix, waits for it, then removes dir (until the server
// has ended it may still write there).
void RemoveWithPrefix(const std::string& dir) {
    const std::string server = "WINEPREFIX=" + Quote(dir + "/wine") + " " + kWineServer;
    std::system((server + " -k; " + server + " -w; rm -rf " + Quote(dir)).c_str());
}

// Fails the test unless the Windows build is there.
void RequireBuild() {
    ASSERT_EQ(access(ORANGEFUNK_WINDOWS_PROGRAM, R_OK), 0)
        << "no Windows build at " ORANGEFUNK_WINDOWS_PROGRAM ": scripts/windows.sh builds it (scripts/test.sh runs it first)";
}

// Fails the test unless the build, Wine and a display are there; *dir a new folder for a run
// whose name starts orangefunk-windows-what.
void StartWineRun(const std::string& what, std::string* dir) {
    ASSERT_NO_FATAL_FAILURE(RequireBuild());
    ASSERT_EQ(access(kWine, X_OK), 0) << kWine << " is missing (scripts/windows.sh installs wine64)";
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no DISPLAY for Wine (scripts/helpers/with-display.sh gives one)";
    std::string pattern = "/tmp/orangefunk-windows-" + what + "-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    *dir = pattern;
    // One Wine server for the whole run: a server left to end by itself between two runs can
    // drop the next run's connection as it goes ("recvmsg: Connection reset by peer").
    ASSERT_EQ(mkdir((*dir + "/wine").c_str(), 0700), 0);
    ASSERT_EQ(std::system(("WINEPREFIX=" + Quote(*dir + "/wine") + " " + kWineServer + " -p").c_str()), 0);
}

TEST(WindowsProgram, ImportsTheRealWin32GdiAndOpenGl) {
    RequireBuild();
    ASSERT_TRUE(CommandExists(kObjdump)) << kObjdump << " is missing (scripts/windows.sh installs MinGW-w64)";
    const std::string imports = Output(std::string(kObjdump) + " -p " ORANGEFUNK_WINDOWS_PROGRAM " | grep 'DLL Name'");
    for (const char* dll : {"USER32.dll", "GDI32.dll", "OPENGL32.dll", "WINMM.dll"})
        EXPECT_NE(imports.find(dll), std::string::npos) << dll << " is not imported:\n" << imports;
    // Linked statically: nothing of MinGW's runtime needs shipping beside it.
    for (const char* dll : {"libstdc++", "libgcc", "libwinpthread", "SDL2"})
        EXPECT_EQ(imports.find(dll), std::string::npos) << dll << " is imported:\n" << imports;
    // Paths meet the system through its wide calls (the narrow ones read the ANSI code page),
    // the Pictures folder is asked of the shell, and the pacing wait sleeps on the
    // high-resolution waitable timer, or at the 1 ms timer resolution asked for where there is none.
    const std::string calls = Output(std::string(kObjdump) + " -p " ORANGEFUNK_WINDOWS_PROGRAM);
    for (const char* call : {"CommandLineToArgvW", "GetModuleFileNameW", "_wfopen", "_wmkdir", "_waccess",
                             "SHGetKnownFolderPath", "CreateWaitableTimerExW", "SetWaitableTimer", "timeBeginPeriod",
                             "timeEndPeriod"})
        EXPECT_NE(calls.find(std::string(" ") + call + "\n"), std::string::npos) << call << " is not imported";
    for (const char* call : {"GetModuleFileNameA", "_mkdir", "_access"})
        EXPECT_EQ(calls.find(std::string(" ") + call + "\n"), std::string::npos) << call << " is imported";
}

// text as the UTF-16LE a version resource holds its strings in.
std::string Utf16(const std::string& text) {
    std::string wide;
    for (char c : text) wide += std::string{c, '\0'};
    return wide;
}

uint32_t LittleEndian32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + i]);
    return value;
}

// What Explorer shows, read back by icoutils: the icon group at the four sizes, the project's
// version in the version resource (its numbers and its text), and a manifest declaring
// per-monitor DPI awareness with the system-wide fallback.
TEST(WindowsProgram, ResourcesHoldTheIconTheVersionAndTheManifest) {
    RequireBuild();
    ASSERT_TRUE(CommandExists("wrestool") && CommandExists("icotool"))
        << "icoutils is missing (scripts/helpers/windows-deps.sh installs it)";
    const std::string exe = Quote(ORANGEFUNK_WINDOWS_PROGRAM);
    // icotool reads an icon file it can seek in, not a pipe.
    const std::string icons = Output("ico=$(mktemp) && wrestool -x --type=group_icon -o \"$ico\" " + exe +
                                     " && icotool -l \"$ico\"; rm -f \"$ico\"");
    int images = 0;
    for (size_t at = icons.find("--icon"); at != std::string::npos; at = icons.find("--icon", at + 1)) ++images;
    EXPECT_EQ(images, 4) << icons;
    for (const char* size : {"16", "32", "48", "256"})
        EXPECT_NE(icons.find(std::string("--width=") + size + " --height=" + size + " --bit-depth=32"), std::string::npos)
            << "no " << size << " pixel image in the icon group:\n" << icons;

    const std::string version = Output("wrestool -x --raw --type=version " + exe);
    int major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::sscanf(ORANGEFUNK_PROJECT_VERSION, "%d.%d.%d", &major, &minor, &patch), 3);
    // VS_FIXEDFILEINFO: its signature, the structure's version, then the file's version and
    // the product's, each as major << 16 | minor and patch << 16 | build.
    const size_t fixed = version.find("\xbd\x04\xef\xfe");
    ASSERT_NE(fixed, std::string::npos) << "no fixed file information in the version resource";
    ASSERT_GE(version.size(), fixed + 24);
    for (size_t at : {fixed + 8, fixed + 16}) {
        EXPECT_EQ(LittleEndian32(version, at), uint32_t(major << 16 | minor));
        EXPECT_EQ(LittleEndian32(version, at + 4), uint32_t(patch << 16));
    }
    for (const char* key : {"FileVersion", "ProductVersion"}) {
        const size_t at = version.find(Utf16(key));
        ASSERT_NE(at, std::string::npos) << key << " is missing from the version resource";
        EXPECT_NE(version.find(Utf16(ORANGEFUNK_PROJECT_VERSION), at), std::string::npos) << key;
    }
    for (const char* key : {"ProductName", "FileDescription", "LegalCopyright"})
        EXPECT_NE(version.find(Utf16(key)), std::string::npos) << key << " is missing from the version resource";

    const std::string manifest = Output("wrestool -x --raw --type=24 " + exe);
    for (const char* setting : {">true</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>",
                                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                                "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""})
        EXPECT_NE(manifest.find(setting), std::string::npos) << setting << " is not in the manifest:\n" << manifest;
}

TEST(WindowsProgram, FramesUnderWineMatchTheNativeFramesInEveryPart) {
    std::string dir;
    ASSERT_NO_FATAL_FAILURE(StartWineRun("frames", &dir));

    bool matched = true;
    for (const Position& p : kPositions) {
        SCOPED_TRACE(Name("frame", p) + " from order " + std::to_string(p.from));
        const std::string at = std::to_string(p.order) + ":" + std::to_string(p.row);
        const std::string options = "--from " + std::to_string(p.from) + " --at " + at + " --frames ";
        const std::string windowsLog = dir + "/windows.log";
        ASSERT_EQ(RunUnderWine(dir, dir, ORANGEFUNK_WINDOWS_PROGRAM, options + "windows", windowsLog), 0)
            << Output("cat " + Quote(windowsLog));
        ASSERT_EQ(RunShowProgram(ORANGEFUNK_PROGRAM, options + Quote(dir + "/native"), dir + "/native.log"), 0)
            << Output("cat " + Quote(dir + "/native.log"));
        Picture windows, native;
        ASSERT_TRUE(ReadPicture(dir + "/windows/" + Name("frame", p), &windows));
        ASSERT_TRUE(ReadPicture(dir + "/native/" + Name("frame", p), &native));
        std::string figures;
        const bool match = ThumbnailsMatch(Thumbnail(windows), Thumbnail(native), &figures);
        std::printf("%s from order %d: %s\n", Name("frame", p).c_str(), p.from, figures.c_str());
        if (match) continue;
        matched = false;
        ADD_FAILURE() << figures << "; the two frames are in " << dir;
    }
    if (matched && std::getenv("ORANGEFUNK_KEEP_WINDOWS_FRAMES") == nullptr)
        RemoveWithPrefix(dir);
}

// The zip's folder copied under a name in three scripts (accented Latin, Cyrillic, CJK, and
// an apostrophe) and played there: the data beside the program, --data and --frames in
// such folders, absolute (Windows names) and relative; the frames land in folders of
// exactly those names and equal the frame played in a plain ASCII folder.
TEST(WindowsProgram, PlaysFromAndIntoFoldersNamedInAnyScript) {
    std::string dir;
    ASSERT_NO_FATAL_FAILURE(StartWineRun("names", &dir));
    namespace fs = std::filesystem;
    const std::string parent = "Zoë's Downloads/Андрей 陈";
    const std::string unicode = dir + "/" + parent + "/orange funk";
    const fs::path zip = fs::path(ORANGEFUNK_WINDOWS_PROGRAM).parent_path();
    fs::create_directories(unicode);
    fs::copy(zip, unicode, fs::copy_options::recursive);
    fs::copy(zip, dir + "/ascii", fs::copy_options::recursive);
    const std::string options = "--from 1 --at 1:21 --frames ";
    const std::string frame = "/frame-01-021.png";

    struct Run {
        const char* what;
        std::string folder, program, arguments, frames;  // frames: where the frame lands
    };
    const std::string shots = "Zoë Андрей 陈 shots";
    const std::string lukasz = "Łukasz 陈";
    const Run runs[] = {
        {"the ASCII folder", dir + "/ascii", dir + "/ascii/orangefunk.exe", options + "ascii", dir + "/ascii/ascii"},
        {"the data beside the program", dir, unicode + "/orangefunk.exe", options + Quote("Z:" + dir + "/" + shots),
         dir + "/" + shots},
        {"--data and --frames relative", dir + "/" + parent, dir + "/ascii/orangefunk.exe",
         "--data " + Quote("orange funk/data") + " " + options + Quote(lukasz), dir + "/" + parent + "/" + lukasz},
    };
    Picture ascii;
    for (const Run& run : runs) {
        SCOPED_TRACE(run.what);
        const std::string log = dir + "/wine.log";
        ASSERT_EQ(RunUnderWine(dir, run.folder, run.program, run.arguments, log), 0) << Output("cat " + Quote(log));
        // The program says where it wrote, in the folder's own name.
        EXPECT_NE(Output("cat " + Quote(log)).find(run.frames.substr(run.frames.rfind('/') + 1)), std::string::npos)
            << Output("cat " + Quote(log));
        Picture written;
        ASSERT_TRUE(ReadPicture(run.frames + frame, &written)) << "no " << run.frames + frame;
        if (ascii.rgb.empty()) ascii = written;
        EXPECT_TRUE(written.width == ascii.width && written.height == ascii.height && written.rgb == ascii.rgb)
            << run.frames + frame << " differs from the ASCII folder's frame";
    }
    // No folder under another name (read in the ANSI code page, say) was made.
    const auto names = [](const std::string& folder) {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    };
    EXPECT_EQ(names(dir), (std::set<std::string>{"ascii", "wine", "wine.log", "Zoë's Downloads", shots}));
    EXPECT_EQ(names(dir + "/" + parent), (std::set<std::string>{"orange funk", lukasz}));
    if (!HasFailure()) RemoveWithPrefix(dir);
}

}  // namespace
