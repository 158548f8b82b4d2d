// The Windows program under Wine: it imports the real Win32, GDI and OpenGL, and at a song
// position in every part and the final scene its --frames frame (MinGW's C library, Wine's
// opengl32 on Mesa) matches the native program's from the same start, as thumbnails within
// the reference frames' tolerance.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/frame_match.h"
#include "tests/support/picture.h"
#include "tests/support/show_program.h"

namespace {

constexpr const char* kWine = "/usr/lib/wine/wine64";
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

// Fails the test unless the Windows build is there.
void RequireBuild() {
    ASSERT_EQ(access(ORANGEFUNK_WINDOWS_PROGRAM, R_OK), 0)
        << "no Windows build at " ORANGEFUNK_WINDOWS_PROGRAM ": scripts/windows.sh builds it (scripts/test.sh runs it first)";
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
}

TEST(WindowsProgram, FramesUnderWineMatchTheNativeFramesInEveryPart) {
    RequireBuild();
    ASSERT_EQ(access(kWine, X_OK), 0) << kWine << " is missing (scripts/windows.sh installs wine64)";
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no DISPLAY for Wine (scripts/with-display.sh gives one)";
    char pattern[] = "/tmp/orangefunk-windows-frames-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    // A Wine prefix of its own, made afresh and thrown away with the folder.
    const std::string wine = "WINEPREFIX=" + Quote(dir + "/wine") + " WINEDEBUG=-all " + kWine + " ";

    bool matched = true;
    for (const Position& p : kPositions) {
        SCOPED_TRACE(Name("frame", p) + " from order " + std::to_string(p.from));
        const std::string at = std::to_string(p.order) + ":" + std::to_string(p.row);
        const std::string options = "--from " + std::to_string(p.from) + " --at " + at + " --frames ";
        const std::string windowsLog = dir + "/windows.log";
        ASSERT_EQ(std::system(("cd " + Quote(dir) + " && " + wine + Quote(ORANGEFUNK_WINDOWS_PROGRAM) + " " +
                               options + "windows >" + Quote(windowsLog) + " 2>&1")
                                  .c_str()),
                  0)
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
        std::system(("rm -rf " + Quote(dir)).c_str());
}

}  // namespace
