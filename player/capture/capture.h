// Off-screen play: the show rendered in lockstep with its music into a video file and PNG
// frame dumps, and the pieces that needs (the video writer, a PNG writer).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/interface/host.h"
#include "player/player.h"

// Writes an image of width x height pixels, given as RGBA rows bottom row first (as read
// back from OpenGL), to path as an 8-bit RGB PNG, renamed into place once complete. False
// with the reason in error.
bool WriteFramePng(const char* path, int width, int height, const uint8_t* rgba, std::string* error);

// Frames queued between the player and the thread that encodes them: up to
// kQueuedVideoBytes of pixels, at least kMinQueuedVideoFrames and at most kQueuedVideoFrames.
// The encoder runs below the renderer's priority, so it falls behind while a frame is
// rasterized and catches up between frames; a longer queue lets it.
constexpr int kQueuedVideoFrames = 12;
constexpr int kMinQueuedVideoFrames = 3;
constexpr size_t kQueuedVideoBytes = size_t(64) << 20;

struct CaptureFormat;
struct CaptureEncoders;  // the libraries' state, the writer thread's alone

// A video file encoded in this process: a writer thread takes each frame from a short
// queue, converts it to the encoder's pixel format, encodes picture and sound and
// interleaves them into the file, so the player renders the next frame meanwhile.
class VideoWriter {
public:
    VideoWriter();
    ~VideoWriter();
    // Sets up the encoders path's type takes at quality (capture_formats.h) for frames of
    // width x height at 60 per second, writing to a hidden file beside path. False with
    // the reason (an encoder missing from the libraries, a folder that cannot be written).
    bool Open(const char* path, int width, int height, CaptureQuality quality, std::string* error);
    // The queue slot for the next frame: width * height RGBA pixels, bottom row first, to be
    // filled and then queued by QueueFrame. Waits while the queue is full. Null with the
    // reason once a write has failed (reported by the first call after it).
    uint8_t* NextFrame(std::string* error);
    // Queues the frame filled into NextFrame's slot with its kAudioFramesPerVideoFrame
    // stereo frames (copied).
    void QueueFrame(const int16_t* stereo);
    // Encodes what is queued, drains the encoders, completes the file and renames it to
    // path. False with the reason; a failed writer leaves path as it was.
    bool Close(std::string* error);

private:
    struct QueuedFrame {
        std::vector<uint8_t> rgba;                       // width * height * 4, allocated by Open
        int16_t stereo[kAudioFramesPerVideoFrame * 2];
    };

    void Encode(const CaptureFormat* format, CaptureQuality quality);  // the writer thread
    void WriteQueued();
    bool StopWriter();   // ends the writer thread after the queue; false if a write failed
    void Discard();

    std::string path;
    std::string partial;  // the file being made beside path, renamed to it when complete
    int width = 0, height = 0;
    std::unique_ptr<CaptureEncoders> encoders;

    // Shared with the writer thread, under lock.
    std::thread writer;
    std::mutex lock;
    std::condition_variable changed;
    QueuedFrame queue[kQueuedVideoFrames];
    int queueLength = 0;   // slots in use, kMinQueuedVideoFrames to kQueuedVideoFrames
    int queueHead = 0;     // oldest queued frame
    int queueCount = 0;    // frames queued, the oldest possibly being written
    bool answered = false;  // the writer thread has opened the encoders, or failed to
    bool closing = false;   // no more frames will come
    bool abandon = false;   // stop without writing the rest
    bool writeFailed = false;
    std::string writeError;
};

// The whole off-screen run: Begin before the host is set up and WinMain runs, OnPresent
// from the present hook, Finish after WinMain returns.
class OffscreenPlay {
public:
    // Fills in the host description (lockstep music, a hidden window, no frame pacing, the
    // present hook, message boxes kept); opens the video writer when capturing. False, with the reason on stderr, on failure.
    bool Begin(const PlayOptions& options, host::Desc* host);
    // Reads back the frame about to be shown into the video file's queue and hands it to
    // the frame dumps, then advances the music by one frame's span (firing its row syncs).
    void OnPresent();
    // True when the frame of the last OnPresent went into the files (not one drawn past
    // --to or after a failure): the frames --stats counts.
    bool TookLastFrame() const { return tookLastFrame; }
    // Completes the files and says what was written; returns the exit status: 0, 1 on a
    // failure, 128 + the signal when an interrupt ended the show (the files then hold
    // what was rendered before it).
    int Finish();

private:
    // What a run came to, worked out once the show has ended.
    struct Outcome {
        int interrupt = 0;          // the signal that ended the show, 0 when none
        bool failedBefore = false;  // a failure during the run, a failure box, or no frame at all
        int firstUnshown = -1;      // index of the first --at position never shown, -1 when none
        bool closed = true;         // false when the video file could not be finished
        std::string closeError;
    };
    // Works out what the run ended by `interrupt` (0: none) came to and, when nothing failed,
    // finishes the video file; marks the run failed otherwise.
    Outcome WorkOutOutcome(int interrupt);
    // Says on stderr what was written or why not; returns the exit status (as Finish).
    int Report(const Outcome& outcome) const;
    void DumpFrames(int order, int row, const uint8_t* rgba);
    void ShowProgress(int order, int row, bool last);
    void Stop(const std::string& reason);  // ends the show early as a failure

    PlayOptions options;
    bool capturing = false;
    bool failed = false;
    bool stopping = false;
    bool musicHeard = false;  // a frame has had music: a later silence is the song's end
    std::vector<std::string> failedBoxes;  // "caption text" of boxes other than "Done!"
    std::vector<uint8_t> pixels;  // width * height * 4 when only dumping, allocated once
    int16_t audio[kAudioFramesPerVideoFrame * 2] = {};
    VideoWriter video;
    bool written[kMaxFramePositions] = {};
    int writtenCount = 0;
    long long previousKey = -1;  // song position of the previous frame, order * 65536 + row
    long long frames = 0;
    bool tookLastFrame = false;
    int lastOrder = 0, lastRow = 0;  // song position of the last frame written
    int highestRow = 0;
    bool progressToTerminal = false;  // carriage-return updates; else a plain line now and then
    std::chrono::steady_clock::time_point started, lastProgress;
};
