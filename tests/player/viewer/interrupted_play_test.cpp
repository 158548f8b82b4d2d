// Real-time play of the built program in a shown window, interrupted from its terminal:
// it exits as a capture does (128 + the signal) without waiting on a closing box, and says
// nothing of the libraries' own (ALSA's error lines where there is no sound card).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/show_program.h"
#include "tests/support/test_paths.h"

namespace {

TEST(InterruptedPlay, ExitsWith128PlusTheSignalAndNoLibraryChatter) {
    ASSERT_EQ(MissingShowData(), "") << "the generated data is needed";
    ASSERT_EQ(std::getenv("DISPLAY") != nullptr, true) << "no display: run under scripts/helpers/with-display.sh";
    const std::string log = Output("mktemp /tmp/orangefunk-interrupted.XXXXXX | tr -d '\\n'");
    ASSERT_FALSE(log.empty());
    for (const char* signal : {"INT", "TERM"}) {
        // Interrupted once its window is up and a second has been played. Job control on, so
        // the program is not started ignoring SIGINT, as a shell's background jobs are.
        const std::string script = "set -m; cd " + Quote(ShowDataDir()) + " && { " + Quote(ORANGEFUNK_PROGRAM) +
                                   " --window --size 160x120 --from 2 >/dev/null 2>" + Quote(log) +
                                   " & pid=$!; for i in $(seq 100); do xwininfo -root -tree | grep -q "
                                   "\"Windows example title\" && break; sleep 0.2; done; sleep 1; kill -" +
                                   signal + " $pid; timeout 30 tail --pid=$pid -f /dev/null || kill -KILL $pid; wait $pid; echo $?; }";
        std::ofstream(log + ".sh") << script;
        const std::string status = Output("bash " + Quote(log + ".sh"));
        const std::string said = Output("cat " + Quote(log));
        EXPECT_EQ(status, std::string(signal) == "INT" ? "130\n" : "143\n") << signal << ": " << said;
        EXPECT_EQ(said.find("ALSA lib"), std::string::npos) << said;
        EXPECT_EQ(said.find("BASS_"), std::string::npos) << said;
    }
    Output("rm -f " + Quote(log) + " " + Quote(log + ".sh"));
}

}  // namespace
