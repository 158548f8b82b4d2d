// The player: the command-line options that play the show elsewhere than full screen (in a
// window, captured to a video file, as frame dumps), and the run that applies them.
#pragma once

#include <string>
#include <vector>

#include "parts/part_table.h"
#include "platform/interface/host.h"

// Lockstep play (capture, frame dumps): music frames (stereo, 44.1 kHz) per presented
// frame, 1/60 s.
constexpr int kCaptureRate = 44100;
constexpr int kCaptureFramesPerSecond = 60;
constexpr int kAudioFramesPerVideoFrame = kCaptureRate / kCaptureFramesPerSecond;

constexpr int kMaxFramePositions = 64;  // positions one --at list may name

// Paths: the character the player joins a folder and a name with, and those that end a
// folder's name in a path it is given (Windows takes both slashes).
#ifdef _WIN32
constexpr char kFolderSeparator = '\\';
constexpr const char kFolderSeparators[] = "\\/";
#else
constexpr char kFolderSeparator = '/';
constexpr const char kFolderSeparators[] = "/";
#endif

// The module the show plays, in the data folder.
constexpr const char kSongFile[] = "funk.it";

// A song position: order (position in the order list) and pattern row.
struct SongPosition {
    int order;
    int row;
};

// Song positions in playing order as one number.
inline long long PositionKey(int order, int row) { return (long long)order * 65536 + row; }

// What a capture's encoding aims for: speed (the default), a small file for sharing, or
// frames that decode to exactly the rendered pixels.
enum class CaptureQuality { Fast, Small, Lossless };

struct PlayOptions {
    bool help = false;
    bool window = false;            // --window: a resizable window, no display-mode change
    bool sizeGiven = false;
    int width = 640, height = 480;  // --size: window or capture size, pixels
    const char* capturePath = nullptr;  // --capture: video file to write, null for none
    const char* framesDir = nullptr;    // --frames: folder of PNG frame dumps, null for none
    SongPosition at[kMaxFramePositions] = {};  // --at: positions whose frames are dumped
    int atCount = 0;
    int fromOrder = 0;              // --from: song order the music starts at
    SongPosition to = {kShowEndOrder, 0};  // --to: song position where the show ends
    bool toGiven = false;
    CaptureQuality quality = CaptureQuality::Fast;  // --quality of --capture
    bool qualityGiven = false;
    bool version = false;           // --version: print the version and end
    bool stats = false;             // --stats: a table of frame statistics on stderr at the end
    bool sharp = false;             // --sharp: full screen drawn at the monitor's resolution
    bool loop = false;              // --loop: play again from --from after the end, until Escape
    const char* dataDir = nullptr;  // --data: folder of the show's data files, null to look for one
};

// Reads the arguments after the program name into options. Returns false with a
// one-line reason in error for an unknown option, a missing or malformed value, or
// options that do not go together.
bool ParsePlayOptions(int argc, const char* const* argv, PlayOptions* options, std::string* error);
// Checks the options against the song, given as the rows of each order's pattern (as
// host::ReadSong reads them): --from must name an order of the song, --to a row of the
// song after --from, and every --at position a row of an order from --from up to --to. False with a one-line
// reason naming the option and the valid range.
bool CheckSongPositions(const PlayOptions& options, const std::vector<int>& rowsPerOrder, std::string* error);
// Checks that the files the options ask for can be written: the folder of --capture
// exists and can be written in, the --frames folder is a writable folder or can be made.
// False with a one-line reason naming the option.
bool CheckOutputs(const PlayOptions& options, std::string* error);
// Checks that play on a screen (neither --capture nor --frames) has a display to open: on
// X11/Wayland systems one the environment names. False with a one-line reason saying what
// plays without one.
bool CheckScreen(const PlayOptions& options, std::string* error);
// The host description the options ask for (window, size, start order); also sets the
// song position to the start order, so the parts before it see their end at once.
host::Desc StartingDesc(const PlayOptions& options);
// Applies the options, runs WinMain and, when capturing or dumping frames, finishes the
// files. Returns the process exit status (0 on success).
int PlayWithOptions(const PlayOptions& options);
