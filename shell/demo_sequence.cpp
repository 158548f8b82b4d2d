// The demo sequence, first version: opens the display and idles until the user quits.
#include <chrono>
#include <thread>

#include "shell/shell.h"

void RunDemo(int width, int height, int bitsPerPixel) {
    GraphicsSystem* system = CreateGraphicsSystem();
    Display* screen = system->CreateDisplay(width, height, bitsPerPixel);
    screen->Open();
    while (PumpMessages() != 1) std::this_thread::sleep_for(std::chrono::milliseconds(16));
    system->Shutdown();
}
