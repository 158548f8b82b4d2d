// The program where its X display cannot be opened, or none is named: it is refused in one
// line before anything opens, instead of playing the whole show on a driver that shows it nowhere.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/support/show_program.h"
#include "tests/support/test_paths.h"

namespace {

TEST(NoScreen, AnUnreachableXDisplayIsRefusedInOneLineBeforeAnythingOpens) {
    // A display number nobody serves here.
    int number = 90;
    auto served = [](int n) {
        return std::system(("xdpyinfo -display :" + std::to_string(n) + " >/dev/null 2>&1").c_str()) == 0;
    };
    while (number < 200 && served(number)) ++number;
    const std::string display = ":" + std::to_string(number);
    char pattern[] = "/tmp/orangefunk-no-screen-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string log = std::string(pattern) + "/log";
    const std::string command = "cd " + Quote(ShowDataDir()) +
                                " && timeout 60 env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=" + display +
                                " SDL_AUDIODRIVER=dummy " + Quote(ORANGEFUNK_PROGRAM) + " >" + Quote(log) + " 2>&1";
    const int status = std::system(command.c_str());
    const std::string text = Output("cat " + Quote(log));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << "status " << status << "\n" << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    for (const std::string& said : {"cannot open X display " + display, std::string("--capture")})
        EXPECT_NE(text.find(said), std::string::npos) << text;
    std::system(("rm -rf " + Quote(pattern)).c_str());
}

TEST(NoScreen, PlayOnAScreenWithNoDisplayNamedIsRefusedInOneLineBeforeAnythingOpens) {
    char pattern[] = "/tmp/orangefunk-no-display-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string log = std::string(pattern) + "/log";
    for (const std::string arguments : {"", "--window"}) {
        const std::string command = "cd " + Quote(ShowDataDir()) +
                                    " && timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                                    "SDL_AUDIODRIVER=dummy " +
                                    Quote(ORANGEFUNK_PROGRAM) + " " + arguments + " >" + Quote(log) + " 2>&1";
        const int status = std::system(command.c_str());
        const std::string text = Output("cat " + Quote(log));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << arguments << ": status " << status << "\n" << text;
        // Nothing else: no library's set-up, no show started and ended.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << arguments << ": " << text;
        for (const char* said : {"no display", "--capture", "--frames"})
            EXPECT_NE(text.find(said), std::string::npos) << arguments << ": " << text;
    }
    std::system(("rm -rf " + Quote(pattern)).c_str());
}

}  // namespace
