// Window classes, windows and the message queue of the Win32 stand-in. These run with or
// without a screen (the stand-in falls back to SDL's dummy video driver).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/interface/host.h"
#include "platform/interface/win32.h"
#include "platform/sdl/win32_test.h"

namespace {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
};
std::vector<Seen> seen;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back({window, message, wParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

class Win32Queue : public ::testing::Test {
protected:
    void SetUp() override {
        win32test::Reset();
        win32test::RecordMessageBoxes(true);
        host::Setup({.hidden = true});
        seen.clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "queue test";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        window = CreateWindowExA(0, "queue test", "queue test", WS_POPUP | WS_VISIBLE, 0, 0, 64, 48, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { win32test::Reset(); }

    // Removes every queued message, in order.
    std::vector<MSG> Drain() {
        std::vector<MSG> messages;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) messages.push_back(message);
        return messages;
    }

    HWND window = nullptr;
};

TEST_F(Win32Queue, ClassesAreLookedUpByNameAndRegisteredOnce) {
    WNDCLASSA again{};
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = "queue test";
    EXPECT_EQ(RegisterClassA(&again), 0);
    EXPECT_EQ(CreateWindowExA(0, "no such class", "x", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    win32test::ForceFailure(win32test::FailPoint::CreateWindowExA);
    EXPECT_EQ(CreateWindowExA(0, "queue test", "x", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(Win32Queue, PostedMessagesComeBackInOrderAndFiltersApply) {
    ASSERT_TRUE(PostMessageA(window, WM_KEYDOWN, 'A', 0));
    ASSERT_TRUE(PostMessageA(window, WM_PAINT, 0, 0));
    PostQuitMessage(7);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);  // PM_NOREMOVE left it at the front

    std::vector<MSG> messages = Drain();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[0].hwnd, window);
    EXPECT_EQ(messages[1].message, WM_PAINT);
    EXPECT_EQ(messages[2].message, WM_QUIT);
    EXPECT_EQ(messages[2].hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Win32Queue, DispatchCallsTheProcedureAndDefaultCloseDestroysSynchronously) {
    UpdateWindow(window);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, WM_PAINT);

    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&message);
    // WM_CLOSE reached the procedure, whose default processing sent WM_DESTROY at once.
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].message, WM_CLOSE);
    EXPECT_EQ(seen[2].message, WM_DESTROY);
    EXPECT_EQ(seen[2].window, window);

    // The window is gone: nothing reaches it any more.
    EXPECT_FALSE(PostMessageA(window, WM_PAINT, 0, 0));
    EXPECT_FALSE(DestroyWindow(window));
    message.message = WM_PAINT;
    DispatchMessageA(&message);
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(GetDC(window), nullptr);
}

TEST_F(Win32Queue, RepeatedPaintAndCursorMessagesCannotCrowdOutKeys) {
    for (int i = 0; i < 2000; ++i) {
        PostMessageA(window, WM_SETCURSOR, 0, 0);
        PostMessageA(window, WM_PAINT, 0, 0);
    }
    win32test::InjectKeyDown(VK_ESCAPE);
    std::vector<MSG> messages = Drain();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].message, WM_KEYDOWN);
}

TEST_F(Win32Queue, InputFromAnotherThreadIsPickedUpWithoutBlocking) {
    MSG message;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));  // empty queue: returns at once
    std::thread injector([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        win32test::InjectKeyDown(VK_SPACE);
    });
    bool arrived = false;
    while (!arrived && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        arrived = PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
        if (!arrived) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    injector.join();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(message.wParam, VK_SPACE);
}

TEST_F(Win32Queue, MessageBoxesAreRecordedResetClearsEverythingAndAHostCanTakeThem) {
    EXPECT_EQ(MessageBoxA(nullptr, "text\n", "caption", MB_OK), IDOK);
    ASSERT_EQ(win32test::RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(win32test::RecordedMessageBoxes()[0].text, "text\n");
    EXPECT_EQ(win32test::RecordedMessageBoxes()[0].caption, "caption");
    const std::vector<std::string>& log = win32test::CallLog();
    EXPECT_EQ(log.front(), "RegisterClassA");
    EXPECT_EQ(log.back(), "MessageBoxA");

    PostMessageA(window, WM_PAINT, 0, 0);
    win32test::Reset();
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(win32test::RecordedMessageBoxes().empty());
    EXPECT_TRUE(win32test::CallLog().empty());
    EXPECT_EQ(GetDC(window), nullptr);
    // The class went too: the name is free again.
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = "queue test";
    EXPECT_NE(RegisterClassA(&windowClass), 0);

    // A host that takes the boxes gets each one in place of the screen.
    std::string taken;
    host::Setup({.messageBox = [&](const char* caption, const char* text) { taken += std::string(caption) + ":" + text; }});
    EXPECT_EQ(MessageBoxA(nullptr, "Done!", "System message", MB_OK), IDOK);
    EXPECT_EQ(taken, "System message:Done!");
}

}  // namespace
