// The platform's host interface: how the program that runs the show (the player) sets up
// the Win32 and BASS stand-ins before the show starts, and the lockstep music it drives
// while the show runs. Without Setup the defaults hold: full-screen play, windows shown,
// presentation paced to the display, music from the sound card in real time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct WglDrawing;  // platform/interface/wgl_drawing.h

namespace host {

// What a window offers the pause hook (Desc::hold) while it holds a frame: its input, its
// 1/60 s pacing, its swap, and copies of its picture through the drawing library.
struct Hold {
    // Takes the input waiting, through the key hook (which may resume); false, leaving it
    // queued for the show's own pump, when a request to end the show waits (a close, a
    // quit, Escape). Never waits.
    bool (*takeInput)();
    // Sleeps until the next 1/60 s presentation deadline (at once without framePacing);
    // returns the seconds slept, *late whether the frame came after its deadline.
    double (*pace)(bool* late);
    // Scales the picture to the window and swaps.
    const std::function<void()>& swap;
    // The OpenGL context current on this thread; null when none.
    const void* (*context)();
    // The framebuffer the picture is drawn into now (0 for the window's) and its size in
    // pixels.
    unsigned (*picture)(int* width, int* height);
    // The drawing library's framebuffer calls on the current context; null before it
    // handed them over.
    const WglDrawing* drawing;
};

struct Desc {
    // A resizable window of windowWidth x windowHeight pixels in place of every display-mode
    // change; the picture keeps 4:3 inside it.
    bool windowed = false;
    int windowWidth = 640, windowHeight = 480;
    // Full screen draws at the monitor's resolution; false draws at the mode the show asks
    // for (the show: 640x480) and scales the picture to the monitor.
    bool sharp = false;
    // Windows are never shown: OpenGL draws off screen (capture, frame dumps), and
    // SwapBuffers leaves the picture in the back buffer instead of swapping.
    bool hidden = false;
    // SwapBuffers waits for vertical sync, or for the next 1/60 s where that is not in
    // effect; false presents at once.
    bool framePacing = true;
    // No audio device: the music advances only by AdvanceMusic.
    bool lockstepMusic = false;
    // Song order the music starts at when played.
    int startOrder = 0;
    // Called inside SwapBuffers, the back buffer complete and its context current, before
    // the buffers are swapped. Empty: nothing is called.
    std::function<void()> present = nullptr;
    // Called inside SwapBuffers once the buffers are swapped, with the seconds frame pacing
    // waited for the frame's 1/60 s slot and whether the frame came after its slot began
    // (0 and false without framePacing); held: the frame presented again while the viewer's
    // pause holds it (its swap comes once the pause ends). Empty: nothing is called.
    std::function<void(double waitedSeconds, bool late, bool held)> presented = nullptr;
    // Called inside SwapBuffers of a shown window after the present hook and any pause,
    // just before the picture goes on screen, its context current: what it draws is seen
    // but never read back by the present hook (captures, screenshots); true when it drew
    // anything. Empty: nothing.
    std::function<bool()> overlay = nullptr;
    // Called inside SwapBuffers while the viewer's pause lasts (Paused()), after the present
    // hook and before the frame's own swap: holds the frame on screen, presenting it through
    // the window's offer until the pause ends or the show is asked to end. Empty: the frame
    // is swapped at once.
    std::function<void(const Hold& window)> hold = nullptr;
    // Takes every message box (caption, text) in place of the screen, for runs with nobody
    // to close one; MessageBoxA then returns IDOK at once. Empty: boxes are shown.
    std::function<void(const char* caption, const char* text)> messageBox = nullptr;
    // Called on the main thread for every key pressed (Windows virtual-key code, Shift and
    // Alt held), before the show sees it; true takes the key from the show. Empty: the
    // show sees every key.
    std::function<bool(unsigned virtualKey, bool shift, bool alt)> key = nullptr;
};

// Hands the description to the platform. The program calls it once, before WinMain; it
// replaces any description given before.
void Setup(const Desc& desc);

// With lockstepMusic: renders the next `frames` frames of music (interleaved 16-bit
// stereo) into out (may be null) and fires, on this thread, the syncs of the rows that
// start within them. Returns the frames of music rendered: fewer at the end of the song,
// 0 before BASS_Start, after BASS_Stop or with nothing playing; out gets silence past them.
int AdvanceMusic(int frames, int16_t* out);
// True while a module is playing (started, not stopped, not at its end).
bool MusicPlaying();

// Music played in real time: the last row whose start has been mixed (order, row) and
// when it starts to be heard, in steady-clock nanoseconds, reckoned as one output buffer
// after the buffer it was mixed into. False before the first row and in lockstep.
bool LastRowHeard(int* order, int* row, int64_t* heardNanos);

// Reads the module fileName as the music stand-in would load it and gives the rows of each
// order's pattern in its order list (0 where an order names no pattern), so the program
// can check song positions before the show starts. False with the reason when the file
// cannot be read, is refused by the module limits or is not a module libopenmpt plays.
// orderSeconds, when given, gets the seconds at which each order starts, then the length.
bool ReadSong(const char* fileName, std::vector<int>* rowsPerOrder, std::string* error,
              std::vector<double>* orderSeconds = nullptr);

// Viewer controls (pause_volume.cpp; the window's in each build's room), called on the
// main thread while the show plays. Paused: the music stands still (lockstep music renders
// nothing, fires no sync) and SwapBuffers calls the hold hook before the frame's swap.
void SetPaused(bool paused);
bool Paused();
// Gain of the music heard in real time, 0 to 1 (lockstep music is never changed).
void SetVolume(float gain);
float Volume();
// Puts the window taking input over its whole monitor, or back to its own size and place.
// False when there is no such window or the screen refused.
bool SetFullscreen(bool fullscreen);
bool Fullscreen();
// The size of the window taking input, in screen coordinates; false when there is none.
bool WindowSize(int* width, int* height);
// The rectangle the 4:3 picture fills in the current drawable (x, y from the bottom left,
// in pixels); false before a drawing context is current.
bool PictureRect(int* x, int* y, int* width, int* height);

// Whether the X display that DISPLAY names can be opened now (opened and closed again
// at once, printing nothing); false when none is named or nobody serves it. Native only.
bool XDisplayOpens();

// Terminal interrupts: SIGINT and SIGTERM reach the message queue as a close request of
// the window that takes input, the way a window manager's close does (SDL's own handlers
// are kept out). Call before the first window or sound device. The first signal becomes
// one WM_CLOSE, queued by the next PeekMessageA (held until a window exists); a second one
// calls abandon (when not null) on a thread of its own, which must remove or end whatever
// the process would leave behind, then ends the process by that signal. Later calls only
// replace abandon. A signal the process was started ignoring stays ignored.
void CatchInterrupts(void (*abandon)());
// The first interrupt caught: SIGINT, SIGTERM, or 0 when none has come.
int CaughtInterrupt();

// Says why the program ends (a refusal before the show, a failure that ends it or its
// frames): the printf-style message, whole lines, on standard error. The Windows program
// with nowhere to write it (no console, no standard error: started from Explorer or a
// shortcut) also shows all it said, in one message box titled "orangefunk", as it exits.
void SayEnding(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace host
