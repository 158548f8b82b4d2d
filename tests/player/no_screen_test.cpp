// The program where its X display cannot be opened, or none is named: it is refused in one
// line before anything opens, instead of playing the whole show on a driver that shows it nowhere.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/show_program.h"
#include "tests/support/test_paths.h"

namespace {

// A display number nobody serves here.
std::string UnservedDisplay() {
    int number = 90;
    auto served = [](int n) {
        return std::system(("xdpyinfo -display :" + std::to_string(n) + " >/dev/null 2>&1").c_str()) == 0;
    };
    while (number < 200 && served(number)) ++number;
    return ":" + std::to_string(number);
}

TEST(NoScreen, PlayWithNoDisplayOrAnUnreachableOneIsRefusedInOneLineBeforeAnythingOpens) {
    const std::string unserved = UnservedDisplay();
    struct Case {
        std::string display;  // DISPLAY's value; empty: not set
        std::string arguments;
        std::vector<std::string> said;  // what the line names
    };
    const Case cases[] = {
        {"", "", {"no display", "--capture", "--frames"}},
        {"", "--window", {"no display", "--capture", "--frames"}},
        {unserved, "", {"cannot open X display " + unserved, "--capture"}},
    };
    char pattern[] = "/tmp/orangefunk-no-screen-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string log = std::string(pattern) + "/log";
    for (const Case& c : cases) {
        const std::string display = c.display.empty() ? "-u DISPLAY" : "DISPLAY=" + c.display;
        const std::string command = "cd " + Quote(ShowDataDir()) + " && timeout 60 env -u WAYLAND_DISPLAY " +
                                    "-u SDL_VIDEODRIVER " + display + " SDL_AUDIODRIVER=dummy " +
                                    Quote(ORANGEFUNK_PROGRAM) + " " + c.arguments + " >" + Quote(log) + " 2>&1";
        const int status = std::system(command.c_str());
        const std::string text = Output("cat " + Quote(log));
        const std::string name = display + " " + c.arguments + ": ";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << name << "status " << status << "\n" << text;
        // Nothing else: no library's set-up, no show started and ended.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << name << text;
        for (const std::string& said : c.said) EXPECT_NE(text.find(said), std::string::npos) << name << text;
    }
    std::system(("rm -rf " + Quote(pattern)).c_str());
}

}  // namespace
