// The main window's procedure and the message pump: how Escape and closing become a quit,
// and how the pump drains, never waits and keeps a quit once seen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/interface/host.h"
#include "platform/sdl/win32_test.h"
#include "app/app.h"

namespace {

class PumpWindow : public ::testing::Test {
protected:
    void SetUp() override {
        win32test::Reset();
        win32test::RecordMessageBoxes(true);
        host::Setup({.hidden = true});
        quitSeen = 0;
        mainWindow = nullptr;
        ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW), 1);
        ASSERT_NE(mainWindow, nullptr);
    }
    void TearDown() override {
        win32test::Reset();
        quitSeen = 0;
        mainWindow = nullptr;
    }

    static int Queued() {
        std::vector<MSG> held;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) held.push_back(message);
        for (const MSG& m : held) PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
        return static_cast<int>(held.size());
    }
};

TEST_F(PumpWindow, WindowIsCreatedShownAndPaintedInOrder) {
    const std::vector<std::string>& log = win32test::CallLog();
    std::vector<std::string> expected = {"RegisterClassA", "CreateWindowExA", "ShowWindow", "UpdateWindow"};
    EXPECT_EQ(log, expected);
    // A second window of the same class: registration fails quietly, creation still works.
    EXPECT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW), 1);
}

TEST_F(PumpWindow, FailedWindowCreationReportsZero) {
    win32test::ForceFailure(win32test::FailPoint::CreateWindowExA);
    EXPECT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW), 0);
    EXPECT_EQ(mainWindow, nullptr);
}

TEST_F(PumpWindow, ProcedureHidesTheCursorAndTurnsOnlyEscapeIntoClose) {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(MainWindowProc(mainWindow, WM_SETCURSOR, 0, 0), 1);
    EXPECT_EQ(SetCursor(nullptr), nullptr);  // the procedure had already hidden it

    for (WPARAM key : {VK_RETURN, VK_SPACE, VK_LEFT, static_cast<WPARAM>('Q')})
        MainWindowProc(mainWindow, WM_KEYDOWN, key, 0);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));

    MainWindowProc(mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_CLOSE);
    EXPECT_EQ(message.hwnd, mainWindow);
}

TEST_F(PumpWindow, EmptyQueueReturnsZeroAndPendingMessagesAreAllDrained) {
    EXPECT_EQ(PumpMessages(), 0);
    for (int i = 0; i < 20; ++i) PostMessageA(mainWindow, WM_KEYDOWN, 'A' + i, 0);
    win32test::InjectKeyDown(VK_SPACE);
    EXPECT_EQ(PumpMessages(), 0);
    EXPECT_EQ(Queued(), 0);
    EXPECT_EQ(quitSeen, 0);
    EXPECT_TRUE(PostMessageA(mainWindow, WM_PAINT, 0, 0));  // the window is still alive
}

TEST_F(PumpWindow, EscapeQuitsWithinOneCall) {
    win32test::InjectKeyDown(VK_ESCAPE);
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_EQ(quitSeen, 1);
    EXPECT_EQ(GetDC(mainWindow), nullptr);  // destroyed on the way
}

TEST_F(PumpWindow, AnyCloseQuits) {
    win32test::InjectClose();
    EXPECT_EQ(PumpMessages(), 1);
    quitSeen = 0;
    win32test::Reset();
    win32test::RecordMessageBoxes(true);
    ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW), 1);
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(PumpMessages(), 1);
}

TEST_F(PumpWindow, QuitSticksAndLeavesLaterMessagesQueued) {
    PostMessageA(mainWindow, WM_PAINT, 0, 0);
    PostQuitMessage(0);
    PostMessageA(mainWindow, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_EQ(Queued(), 2);
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_EQ(Queued(), 2);  // never looked at again
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, VK_SPACE);
}

}  // namespace
