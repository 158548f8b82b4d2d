// The whole program in-process: WinMain with the show's data, quit by Escape or by closing
// the window, must restore the desktop, say "Done!" and return 0.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/interface/host.h"
#include "platform/sdl/win32_test.h"
#include "app/app.h"
#include "shell/sequence.h"
#include "tests/support/test_paths.h"

namespace {

class Entry : public ::testing::Test {
protected:
    void SetUp() override {
        win32test::Reset();
        if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
        if (const std::string missing = MissingShowData(); !missing.empty()) GTEST_FAIL() << missing;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previousDir = cwd;
        ASSERT_EQ(chdir(ShowDataDir().c_str()), 0);  // the show reads its files from here
        win32test::RecordMessageBoxes(true);
        host::Setup({.framePacing = false});
        quitSeen = 0;
        mainWindow = nullptr;
    }
    void TearDown() override {
        win32test::Reset();
        quitSeen = 0;
        mainWindow = nullptr;
        if (!previousDir.empty()) {
            EXPECT_EQ(chdir(previousDir.c_str()), 0);
        }
    }

    void ExpectCleanEnd(int result) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(quitSeen, 1);
        ASSERT_FALSE(win32test::RecordedMessageBoxes().empty());
        const win32test::RecordedMessageBox& last = win32test::RecordedMessageBoxes().back();
        EXPECT_EQ(last.text, "Done!");
        EXPECT_EQ(last.caption, "System message:");
        EXPECT_EQ(win32test::RecordedMessageBoxes().size(), 1u) << "an error box was shown before Done!";
        win32test::DisplayModeState mode = win32test::CurrentDisplayMode();
        EXPECT_FALSE(mode.fullscreen);
        EXPECT_GE(mode.desktopRestores, 1);
        EXPECT_EQ(mode.width, 640);
        EXPECT_EQ(mode.height, 480);
        EXPECT_EQ(mode.bitsPerPixel, 16);
    }

    std::string previousDir;
};

TEST_F(Entry, EscapeWhileRunningEndsTheShow) {
    // The key comes from another thread once the show is under way.
    std::thread user([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        win32test::InjectKeyDown(VK_ESCAPE);
    });
    char commandLine[] = "";
    int result = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    user.join();
    ExpectCleanEnd(result);
}

TEST_F(Entry, ClosingTheWindowBeforeTheFirstFrameEndsTheShow) {
    win32test::InjectClose();  // waits in the input queue until the window exists
    char commandLine[] = "";
    int result = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    ExpectCleanEnd(result);
}

TEST_F(Entry, NoWindowMeansNoShowAndNoMessage) {
    win32test::ForceFailure(win32test::FailPoint::CreateWindowExA);
    char commandLine[] = "";
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT), 0);
    EXPECT_TRUE(win32test::RecordedMessageBoxes().empty());
    EXPECT_EQ(win32test::CurrentDisplayMode().desktopRestores, 0);
    EXPECT_EQ(quitSeen, 0);
}

}  // namespace
