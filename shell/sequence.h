// The demo sequence and the program's entry point: the main window, the whole show, then
// the closing message.
#pragma once

#include <functional>

#include "platform/interface/win32.h"

// The entry point: creates the main window (returning at once when it cannot), plays
// RunDemo(640, 480, 16), then says "Done!". Returns 0.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, char* commandLine, int showCommand);
// The entry point of a player that runs the show more than once: as WinMain, but after
// each run nextRun gives the song order of another run (-1 for none), which then plays in
// the same window, context, loaded data and sound device, its song position and the
// host's start order already set there by nextRun. "Done!" comes once, after the last.
int WinMainRuns(HINSTANCE instance, int showCommand, const std::function<int()>& nextRun);

// The whole show: StartShow, one run (PlayShow), TearDownShow.
void RunDemo(int width, int height, int bitsPerPixel);

// The show's start-up: the graphics system, the display opened, its renderer, the shared
// assets and the music loaded with its row sync. False, with nothing loaded, when there
// is no renderer (the display said why): nothing can be drawn.
bool StartShow(int width, int height, int bitsPerPixel);
// One run: the music played from the host's start order, the seven parts, the final loop.
void PlayShow();
// Readies a run after one ended: the music stopped, the show's state back to start-up's at
// order (ResetSequence, the final scene built again, the renderer's drawing state), the
// music's output started again.
void RestartShow(int order);
// The shared textures and meshes of the asset table, read from the working directory,
// with the final scene built (Init, SetDisplayMode(800, 600, 32)) after the second row.
void LoadSharedAssets();
// BASS version, init on mainWindow, "funk.it" loaded, output started, row sync.
void StartMusic();
// The loaded module played from the host's start order.
void PlayMusic();
// The seven parts, one after another.
void RunParts();
// The final scene, one frame per iteration until order 33, fading out during order 32.
void RunFinalLoop();
// Shutdown of the graphics system (when there is one), then BASS stopped and freed.
void TearDownShow();
// Puts back what a run of the show changes (the parts' clocks, the fade, the running part,
// the quit seen, the C library's random numbers) as the process started, with the song
// position at (order, 0): the next run plays as a process started at that order does.
void ResetSequence(int order);
