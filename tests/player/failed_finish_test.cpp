// A capture whose last step fails keeps what it can and says what: the picture alone when
// only putting the sound in failed, else nothing, with the reason. The failure is made by
// an ffmpeg stand-in on PATH that fails the runs naming a given argument.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#include "tests/support/show_program.h"

namespace {

struct FailedStep {
    const char* failingArgument;  // the ffmpeg runs whose arguments hold it fail
    const char* said;
    const char* streamsKept;  // ffprobe's codec types of the file left, "" for no file
};

void PrintTo(const FailedStep& step, std::ostream* out) { *out << step.failingArgument; }

class FailedFinish : public ::testing::TestWithParam<FailedStep> {};

TEST_P(FailedFinish, KeepsWhatItCanAndSaysWhat) {
    const std::string ffmpeg = Output("command -v ffmpeg | tr -d '\\n'");
    ASSERT_FALSE(ffmpeg.empty()) << "ffmpeg is not installed (scripts/setup.sh installs it)";
    char pattern[] = "/tmp/orangefunk-finish-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const std::string standIn = folder + "/bin/ffmpeg";
    ASSERT_EQ(std::system(("mkdir " + Quote(folder + "/bin") + " && printf '#!/bin/sh\\ncase \"$*\" in *\"%s\"*) exit 1;; esac\\nexec %s \"$@\"\\n' " +
                           Quote(GetParam().failingArgument) + " " + Quote(ffmpeg) + " >" + Quote(standIn) +
                           " && chmod +x " + Quote(standIn))
                              .c_str()),
              0);
    const std::string video = folder + "/show.mp4";
    const int status = RunShowProgram("env", "PATH=" + Quote(folder + "/bin") + ":\"$PATH\" " + Quote(ORANGEFUNK_PROGRAM) +
                                                 " --from 32 --size 64x48 --capture " + Quote(video),
                                      folder + "/log");
    const std::string text = Output("cat " + Quote(folder + "/log"));
    EXPECT_EQ(status, 1) << text;
    EXPECT_NE(text.find(GetParam().said), std::string::npos) << text;
    const std::string streams =
        Output("ffprobe -v error -show_entries stream=codec_type -of csv=p=0 " + Quote(video) + " 2>/dev/null");
    EXPECT_EQ(streams, GetParam().streamsKept) << text;
    // Nothing half-made is left beside it.
    EXPECT_EQ(Output("ls -A " + Quote(folder) + " | grep -c partial"), "0\n");
    std::system(("rm -rf " + Quote(folder)).c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Capture, FailedFinish,
    ::testing::Values(FailedStep{"-map 1:a", "the sound is lost; the picture alone is in", "video\n"},
                      FailedStep{".partial-", "nothing written to", ""}));

}  // namespace
