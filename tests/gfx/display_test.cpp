// The OpenGL graphics system and display: mode change, the initial GL state, every
// start-up failure with its message, clean-up and the state it leaves, and shutdown.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gfx/gl_display.h"
#include "gfx/gl_window_state.h"
#include "platform/sdl/win32_test.h"
#include "app/app.h"

namespace {

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        win32test::Reset();
        win32test::RecordMessageBoxes(true);
        glWindowState = GlWindowState{};
        mainWindow = nullptr;
        quitSeen = 0;
        showCommand = SW_SHOW;
        ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW), 1);
        system.reset(CreateGraphicsSystem(DisplayTarget{mainWindow, showCommand, ShowErrorBox}));
        ASSERT_NE(system, nullptr);
    }
    void TearDown() override {
        win32test::Reset();
        glWindowState = GlWindowState{};
        mainWindow = nullptr;
        quitSeen = 0;
    }

    // Opens a 640x480x16 display from a clean call log.
    int OpenDisplay() {
        display.reset(system->CreateDisplay(640, 480, 16));
        win32test::ClearCallLog();
        return display->Open();
    }

    static int IndexOf(const std::string& call) {
        const std::vector<std::string>& log = win32test::CallLog();
        auto found = std::find(log.begin(), log.end(), call);
        return found == log.end() ? -1 : static_cast<int>(found - log.begin());
    }
    static int CountOf(const std::string& call) {
        const std::vector<std::string>& log = win32test::CallLog();
        return static_cast<int>(std::count(log.begin(), log.end(), call));
    }

    std::unique_ptr<GraphicsSystem> system;
    std::unique_ptr<Display> display;
};

TEST_F(DisplayTest, DisplayHoldsItsModeAndHasNoSoftwareSurfaces) {
    win32test::ClearCallLog();
    display.reset(system->CreateDisplay(800, 600, 32));
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->width, 800);
    EXPECT_EQ(display->height, 600);
    EXPECT_EQ(display->bitsPerPixel, 32);
    EXPECT_EQ(display->CreateSurface(kPixelFormat32), nullptr);
    Image image(4, 4, kPixelFormat32, 16);
    EXPECT_EQ(display->LockSurface(&image), 0);
    display->UnlockSurface();
    EXPECT_TRUE(win32test::CallLog().empty()) << "a display does nothing until Open";
}

TEST_F(DisplayTest, OpenSwitchesToTheRequestedModeAndSetsTheDepthConvention) {
    if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
    display.reset(system->CreateDisplay(800, 600, 32));
    ASSERT_EQ(display->Open(), 1);
    win32test::DisplayModeState mode = win32test::CurrentDisplayMode();
    EXPECT_TRUE(mode.fullscreen);
    EXPECT_EQ(mode.width, 800);
    EXPECT_EQ(mode.height, 600);
    EXPECT_EQ(mode.bitsPerPixel, 32);
    EXPECT_EQ(glWindowState.window, mainWindow);
    EXPECT_NE(glWindowState.deviceContext, nullptr);
    EXPECT_NE(glWindowState.renderContext, nullptr);
    EXPECT_EQ(glWindowState.showCommand, SW_SHOW);
    EXPECT_TRUE(win32test::RecordedMessageBoxes().empty());

    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_GEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_SMOOTH));
    GLfloat clearColour[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    for (GLfloat channel : clearColour) EXPECT_EQ(channel, 0.0f);
    GLfloat clearDepth = 1;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth);
    EXPECT_EQ(clearDepth, 0.0f);

    // Nearer (larger 1/z) wins over a farther fragment drawn later.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_POLYGON_SMOOTH);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    auto fill = [](float r, float g, float depth) {
        glColor3f(r, g, 0);
        glBegin(GL_QUADS);
        glVertex3f(-1, -1, depth);
        glVertex3f(1, -1, depth);
        glVertex3f(1, 1, depth);
        glVertex3f(-1, 1, depth);
        glEnd();
    };
    fill(1, 0, 0.5f);   // near
    fill(0, 1, -0.5f);  // far, drawn after
    unsigned char pixel[4] = {};
    glReadPixels(100, 100, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
}

TEST_F(DisplayTest, OpenPassesTheShowCommandAndBringsTheWindowForward) {
    if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
    ASSERT_EQ(OpenDisplay(), 1);
    std::vector<std::string> expected = {"ChangeDisplaySettingsA", "GetDC", "ChoosePixelFormat",
                                         "SetPixelFormat", "wglCreateContext", "wglMakeCurrent",
                                         "ShowWindow", "UpdateWindow", "SetForegroundWindow", "SetFocus"};
    EXPECT_EQ(win32test::CallLog(), expected);
}

struct FailureRow {
    const char* name;
    win32test::FailPoint point;
    const char* text;
    bool needsScreen;          // the steps before it need a real OpenGL window
    bool deviceContextHeld;    // afterwards
    bool contextDeleted;       // wglDeleteContext called in the clean-up
};

// Test output names the step made to fail, not the row's bytes.
void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name << " fails"; }

class DisplayFailure : public DisplayTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(DisplayFailure, IsReportedAfterRestoringTheDesktopAndCleansUpAsListed) {
    const FailureRow& row = GetParam();
    if (row.needsScreen && !win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
    win32test::ForceFailure(row.point);
    EXPECT_EQ(OpenDisplay(), 0);

    ASSERT_EQ(win32test::RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(win32test::RecordedMessageBoxes()[0].text, row.text);
    EXPECT_EQ(win32test::RecordedMessageBoxes()[0].caption, "FATAL ERROR");
    win32test::DisplayModeState mode = win32test::CurrentDisplayMode();
    EXPECT_FALSE(mode.fullscreen);
    EXPECT_EQ(mode.desktopRestores, 1);

    // The desktop comes back before the box; the clean-up follows the box.
    const std::vector<std::string>& log = win32test::CallLog();
    int box = IndexOf("MessageBoxA");
    ASSERT_GE(box, 1);
    EXPECT_EQ(log[box - 1], "ChangeDisplaySettingsA");
    EXPECT_EQ(CountOf("ShowWindow"), 0) << "window brought forward after a failure";

    EXPECT_EQ(glWindowState.renderContext, nullptr);
    EXPECT_EQ(glWindowState.deviceContext != nullptr, row.deviceContextHeld);
    bool released = IndexOf("ReleaseDC") > box;
    EXPECT_EQ(released, !row.deviceContextHeld && row.point != win32test::FailPoint::GetDC);
    EXPECT_EQ(CountOf("ReleaseDC"), released ? 1 : 0);
    if (row.contextDeleted) {
        EXPECT_LT(IndexOf("wglDeleteContext"), IndexOf("ReleaseDC"));
    }
    EXPECT_EQ(CountOf("wglDeleteContext"), row.contextDeleted ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, DisplayFailure,
    ::testing::Values(
        FailureRow{"GetDC", win32test::FailPoint::GetDC, "GetDC on main window failed", false, false, false},
        FailureRow{"ChoosePixelFormat", win32test::FailPoint::ChoosePixelFormat, "ChoosePixelFormat failed\n", false, true, false},
        FailureRow{"SetPixelFormat", win32test::FailPoint::SetPixelFormat, "SetPixelFormat failed\n", false, true, false},
        FailureRow{"wglCreateContext", win32test::FailPoint::wglCreateContext, "wglCreateContext failed\n", false, false, false},
        FailureRow{"wglMakeCurrent", win32test::FailPoint::wglMakeCurrent, "wglMakeCurrent failed\n", true, false, true}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

TEST_F(DisplayTest, ShutdownReleasesEverythingAndIsSafeTwice) {
    if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
    ASSERT_EQ(OpenDisplay(), 1);
    win32test::ClearCallLog();
    system->Shutdown();
    std::vector<std::string> expected = {"wglMakeCurrent", "wglDeleteContext", "ReleaseDC",
                                         "ChangeDisplaySettingsA"};
    EXPECT_EQ(win32test::CallLog(), expected);
    EXPECT_EQ(glWindowState.renderContext, nullptr);
    EXPECT_EQ(glWindowState.deviceContext, nullptr);
    EXPECT_FALSE(win32test::CurrentDisplayMode().fullscreen);

    win32test::ClearCallLog();
    system->Shutdown();
    EXPECT_EQ(win32test::CallLog(), std::vector<std::string>{"ChangeDisplaySettingsA"});
    EXPECT_EQ(win32test::CurrentDisplayMode().desktopRestores, 2);
    EXPECT_TRUE(win32test::RecordedMessageBoxes().empty());
}

TEST_F(DisplayTest, FailedContextDeletionIsReportedAndShutdownGoesOn) {
    if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
    ASSERT_EQ(OpenDisplay(), 1);
    win32test::ForceFailure(win32test::FailPoint::wglDeleteContext);
    system->Shutdown();
    ASSERT_EQ(win32test::RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(win32test::RecordedMessageBoxes()[0].text, "ShutdownOpenGL - wglDeleteContext failed\n");
    EXPECT_EQ(win32test::RecordedMessageBoxes()[0].caption, "ERROR");
    EXPECT_EQ(glWindowState.renderContext, nullptr);
    EXPECT_EQ(glWindowState.deviceContext, nullptr);
    EXPECT_EQ(CountOf("ReleaseDC"), 1);
    EXPECT_FALSE(win32test::CurrentDisplayMode().fullscreen);
}

TEST_F(DisplayTest, ShutdownAfterTheWindowWasClosedStillRestoresTheDesktop) {
    if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
    ASSERT_EQ(OpenDisplay(), 1);
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    ASSERT_EQ(PumpMessages(), 1);
    system->Shutdown();
    EXPECT_EQ(glWindowState.renderContext, nullptr);
    EXPECT_EQ(glWindowState.deviceContext, nullptr);
    EXPECT_FALSE(win32test::CurrentDisplayMode().fullscreen);
    EXPECT_TRUE(win32test::RecordedMessageBoxes().empty());
}

}  // namespace
