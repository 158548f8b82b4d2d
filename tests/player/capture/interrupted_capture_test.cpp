// Captures that do not run to the end: interrupted from the terminal (the whole process
// group, as Ctrl-C does) they keep a playable file of what was rendered; failed ones leave
// no partial file, never replace an existing file and say that nothing was written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/test_paths.h"

namespace {

std::string Quote(const std::string& text) { return "'" + text + "'"; }

std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    if (pipe != nullptr) pclose(pipe);
    return text;
}
std::string FileText(const std::string& path) { return Output("cat " + Quote(path) + " 2>/dev/null"); }

class CaptureEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = MissingShowData(); !missing.empty()) GTEST_FAIL() << missing;
        if (Output("command -v ffprobe").empty())
            GTEST_FAIL() << "ffprobe is not installed (scripts/setup.sh installs it)";
        char pattern[] = "/tmp/orangefunk-end-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(std::system(("mkdir " + Quote(dir + "/tmp")).c_str()), 0);
    }
    void TearDown() override {
        if (!dir.empty()) std::system(("rm -rf " + Quote(dir)).c_str());
    }

    // Starts the program in the data folder, in a process group of its own, with a private
    // temporary folder, no display and no sound device; limit goes before it (a ulimit).
    pid_t Start(const std::string& arguments, const std::string& limit = "") {
        const std::string command = "cd " + Quote(ShowDataDir()) + " && " + limit + " exec env -u DISPLAY TMPDIR=" +
                                    Quote(dir + "/tmp") + " SDL_AUDIODRIVER=dummy " + Quote(ORANGEFUNK_PROGRAM) +
                                    " " + arguments + " >/dev/null 2>" + Quote(dir + "/log");
        const pid_t pid = fork();
        if (pid == 0) {
            setpgid(0, 0);
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }
    static int ExitStatus(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    // Files left in the folder: temporary capture folders, partial files.
    std::string Leftovers() const {
        return Output("ls -A " + Quote(dir + "/tmp") + "; ls -A " + Quote(dir) + " | grep partial");
    }

    std::string dir;
};

class InterruptedCapture : public CaptureEnd, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptedCapture, KeepsAPlayableFileOfWhatWasRenderedAndTheFramesWritten) {
    const int signal = GetParam();
    const pid_t pid = Start("--from 28 --size 160x120 --capture " + Quote(dir + "/show.mp4") + " --frames " +
                            Quote(dir + "/frames") + " --at 28:2,32:0");
    ASSERT_GT(pid, 0);
    // Once the frame at 28:2 is written, a second or so of song in.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (access((dir + "/frames/frame-28-002.png").c_str(), F_OK) != 0) {
        ASSERT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "ended before 28:2:\n" << FileText(dir + "/log");
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << FileText(dir + "/log");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(-pid, signal);
    EXPECT_EQ(ExitStatus(pid), 128 + signal);
    const std::string log = FileText(dir + "/log");

    // It says where it stopped; the file is as long as that, with sound.
    int order = 0;
    double seconds = 0;
    const size_t at = log.find("stopped at order");
    ASSERT_EQ(std::sscanf(log.c_str() + std::min(at, log.size()), "stopped at order %d row %*d, after %*d "
                          "frames (%lf s", &order, &seconds), 2) << log;
    EXPECT_TRUE(order >= 28 && order < 32) << order;
    const std::string probe = Output("ffprobe -v error -show_entries stream=codec_type:format=duration -of "
                                     "default=nw=1 " + Quote(dir + "/show.mp4"));
    EXPECT_NE(probe.find("codec_type=audio"), std::string::npos) << probe;
    const std::string duration = probe.substr(std::min(probe.find("duration="), probe.size()));
    EXPECT_NEAR(std::atof(duration.c_str() + std::min<size_t>(9, duration.size())), seconds, 0.1) << probe << log;

    // The frame shown before the interrupt is kept whole; the later one was never made.
    EXPECT_NE(Output("file " + Quote(dir + "/frames/frame-28-002.png")).find("PNG image data, 160 x 120"),
              std::string::npos);
    EXPECT_EQ(Output("ls -A " + Quote(dir + "/frames")), "frame-28-002.png\n");
    EXPECT_EQ(Leftovers(), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptedCapture, ::testing::Values(SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGINT ? "Sigint" : "Sigterm");
                         });

TEST_F(CaptureEnd, FailedCapturesLeaveNothingAndKeepTheFileThatWasThere) {
    // A folder that does not exist fails before anything is made.
    const pid_t nowhere = Start("--from 32 --size 160x120 --capture " + Quote(dir + "/missing/show.mp4"));
    EXPECT_EQ(ExitStatus(nowhere), 2);
    EXPECT_NE(FileText(dir + "/log").find("there is no folder"), std::string::npos) << FileText(dir + "/log");
    EXPECT_EQ(Leftovers(), "");

    // A file-size limit the capture outgrows: the file already there stays as it was.
    ASSERT_EQ(std::system(("printf 'earlier capture' >" + Quote(dir + "/show.mp4")).c_str()), 0);
    const pid_t limited = Start("--from 32 --size 160x120 --capture " + Quote(dir + "/show.mp4"), "ulimit -f 64 &&");
    EXPECT_EQ(ExitStatus(limited), 1);
    EXPECT_NE(FileText(dir + "/log").find("nothing written to"), std::string::npos) << FileText(dir + "/log");
    EXPECT_EQ(FileText(dir + "/show.mp4"), "earlier capture");
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(CaptureEnd, AFailedLastStepSaysNothingWasWrittenAndLeavesNothing) {
    // The name is taken by a folder while the show renders: the finished file cannot be
    // renamed to it.
    const std::string video = dir + "/show.mp4";
    const pid_t pid = Start("--from 32 --size 160x120 --capture " + Quote(video));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (Output("ls -A " + Quote(dir) + " | grep partial").empty()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << FileText(dir + "/log");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(std::system(("mkdir " + Quote(video) + " && touch " + Quote(video + "/kept")).c_str()), 0);
    EXPECT_EQ(ExitStatus(pid), 1);
    const std::string log = FileText(dir + "/log");
    EXPECT_NE(log.find("cannot rename"), std::string::npos) << log;
    EXPECT_NE(log.find("nothing written to " + video), std::string::npos) << log;
    EXPECT_EQ(Output("ls -A " + Quote(video)), "kept\n");
    EXPECT_EQ(Leftovers(), "");
}

}  // namespace
