// The demo sequence and the program's entry point: the main window, the whole show, then
// the closing message.
#pragma once

#include "platform/win32/win32.h"

// The entry point: creates the main window (returning at once when it cannot), plays
// RunDemo(640, 480, 16), then says "Done!". Returns 0.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, char* commandLine, int showCommand);

// The whole show: set-up, the seven parts, the final loop, tear-down.
void RunDemo(int width, int height, int bitsPerPixel);

// The steps of RunDemo once the renderer exists; they draw through `renderer`.
// RunShow = LoadSharedAssets, StartMusic, RunParts, RunFinalLoop.
void RunShow();
// The shared textures and meshes of the asset table, read from the working directory,
// with the final scene built (Init, SetDisplayMode(800, 600, 32)) after the second row.
void LoadSharedAssets();
// BASS version, init on mainWindow, "funk.it" loaded, output started, row sync, play.
void StartMusic();
// The seven parts, one after another.
void RunParts();
// The final scene, one frame per iteration until order 33, fading out during order 32.
void RunFinalLoop();
// Shutdown of the graphics system (when there is one), then BASS stopped and freed.
void TearDownShow();
// Puts back what a run of the show changes (the parts' clocks, the fade, the running part,
// the quit seen) as the process started, with the song position at (order, 0): the next
// WinMain plays as a process started at that order does.
void ResetSequence(int order);
