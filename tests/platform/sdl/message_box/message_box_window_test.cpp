// The stand-in's own message box on a real screen: it stays up until a key answers it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/sdl/message_box/message_box_window.h"
#include "platform/sdl/win32_test.h"

namespace {

void PushKey(Uint32 type, SDL_Keycode key) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

TEST(MessageBoxWindow, StaysUpUntilAnAnswerKeyIsReleased) {
    win32test::Reset();
    if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
    std::atomic<bool> shown{true};
    std::atomic<int> releases{0};
    // Keys pressed and released while the box is up: first one that does not answer it,
    // then Return, again and again (the box drops input made before it appeared).
    std::thread user([&] {
        while (shown) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            PushKey(SDL_KEYDOWN, SDLK_a);
            PushKey(SDL_KEYUP, SDLK_a);
            PushKey(SDL_KEYDOWN, SDLK_RETURN);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            PushKey(SDL_KEYUP, SDLK_RETURN);
            ++releases;
        }
    });
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const bool answered = ShowMessageBoxWindow("box test", "first line\nsecond line", &error);
    shown = false;
    user.join();
    EXPECT_TRUE(answered) << error;
    EXPECT_GE(releases.load(), 1) << "the box went away before any key";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    win32test::Reset();
}

}  // namespace
