// Off-screen play: the show rendered in lockstep with its music into a video file and PNG
// frame dumps, and the pieces that needs (a private X server, ffmpeg, a PNG writer).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/host.h"
#include "player/player.h"

// When DISPLAY is unset, starts a private Xvfb (screen at least width x height) that ends
// with this process, and sets DISPLAY to it. False, with the reason on stderr, when it
// cannot be started.
bool EnsureXDisplay(int width, int height);

// Writes an image of width x height pixels, given as RGBA rows bottom row first (as read
// back from OpenGL), to path as an 8-bit RGB PNG, renamed into place once complete. False
// with the reason in error.
bool WriteFramePng(const char* path, int width, int height, const uint8_t* rgba, std::string* error);

// Frames queued between the player and the thread that feeds the encoder.
constexpr int kQueuedVideoFrames = 3;

// Converts RGBA frames into the planar YUV 4:2:0 (BT.601, limited range) the encoders
// take, byte for byte as ffmpeg 5's own scaler would (its default bicubic filter for the
// chroma rows), flipping them upright on the way.
class Yuv420Converter {
public:
    // Sizes the converter for frames of width x height pixels, both even; allocates.
    void Resize(int width, int height);
    // Converts width * height RGBA pixels, bottom row first, into yuv: the Y plane
    // (width x height), then U and V (width/2 x height/2 each), top row first.
    void Convert(const uint8_t* rgba, uint8_t* yuv);

private:
    void MakeChromaFilter(int rows);

    int width = 0, height = 0;
    int taps = 0;                    // weights per output chroma row, even
    std::vector<int> firstRow;       // first input row of each output chroma row
    std::vector<int16_t> weights;    // taps per output chroma row, in 1/4096
    std::vector<int16_t> u, v;       // chroma of each pixel pair at full height, in 1/128
    std::vector<int16_t> sums;       // one output chroma row's running sums
};

// A video file written by ffmpeg: raw frames go down a pipe to an encoder process, the
// sound into a temporary raw file and, when the machine has time to spare, to a second
// encoder at idle priority; Close puts picture and sound into the file. A writer thread
// converts and writes each frame, so the player renders the next one meanwhile.
class VideoWriter {
public:
    ~VideoWriter();
    // Starts the encoders for frames of width x height at 60 per second. The codecs follow
    // the file's extension: .webm gets VP9 and Opus, anything else H.264 and AAC (which
    // needs even sides). Fails at once on odd sides for H.264 and when path's folder cannot
    // be written. Temporaries and the encoders are listed as leftovers until Close or the
    // destructor.
    bool Open(const char* path, int width, int height, std::string* error);
    // The queue slot for the next frame: width * height RGBA pixels, bottom row first, to be
    // filled and then queued by QueueFrame. Waits while the queue is full. Null with the
    // reason once a write has failed (reported by the first call after it).
    uint8_t* NextFrame(std::string* error);
    // Queues the frame filled into NextFrame's slot with its kAudioFramesPerVideoFrame
    // stereo frames (copied).
    void QueueFrame(const int16_t* stereo);
    // Writes what is queued, ends the encoders and muxes picture and sound into a file
    // beside path, renamed to path once complete; temporaries are removed. When only the
    // last step fails (the sound, a full disk), the picture alone is tried into path:
    // false with the reason, and KeptPictureOnly true when it is there. Otherwise a failed
    // writer leaves path as it was.
    bool Close(std::string* error);
    // After a failed Close: true when path holds the picture without its sound.
    bool KeptPictureOnly() const { return keptPictureOnly; }

private:
    struct QueuedFrame {
        std::vector<uint8_t> rgba;                       // width * height * 4, allocated by Open
        int16_t stereo[kAudioFramesPerVideoFrame * 2];
    };

    void WriteQueued();  // the writer thread
    bool StopWriter();   // ends the writer thread after the queue; false if a write failed
    void EndSoundEncoder();  // stops the early sound encoder and drops what it made
    // Runs the ffmpeg of arguments (count of them set) writing the file beside path, then
    // renames it to path; false with the reason, the file beside path then left for Discard.
    bool Mux(const char** arguments, int count, const char* stage, std::string* error);
    void Discard();

    std::string path;
    std::string partial;  // the file being made beside path, renamed to it when complete
    std::string tempDir;  // holds video.mkv, audio.raw and sound.m4a (sound.webm) until Close
    int width = 0, height = 0;
    bool keptPictureOnly = false;
    bool convert = false;       // frames go to the encoder as YUV 4:2:0 (both sides even)
    Yuv420Converter converter;  // the writer thread's, with yuv
    std::vector<uint8_t> yuv;   // one converted frame, allocated by Open
    pid_t encoder = -1;
    int encoderInput = -1;  // write end of the picture encoder's standard input
    int audioFile = -1;
    pid_t soundEncoder = -1;  // the early one, at idle priority; -1 once given up
    int soundInput = -1;      // its standard input, non-blocking; -1 once given up

    // Shared with the writer thread, under lock.
    std::thread writer;
    std::mutex lock;
    std::condition_variable changed;
    QueuedFrame queue[kQueuedVideoFrames];
    int queueHead = 0;     // oldest queued frame
    int queueCount = 0;    // frames queued, the oldest possibly being written
    bool closing = false;  // no more frames will come
    bool abandon = false;  // stop without writing the rest
    bool writeFailed = false;
    std::string writeError;
};

// The whole off-screen run: Begin before the host is set up and WinMain runs, OnPresent
// from the present hook, Finish after WinMain returns.
class OffscreenPlay {
public:
    // Fills in the host description (lockstep music, a hidden window, no frame pacing, the
    // present hook, message boxes kept); starts the X server and the video writer as
    // needed. False, with the reason on stderr, on failure.
    bool Begin(const PlayOptions& options, host::Desc* host);
    // Reads back the frame about to be shown into the video file's queue and hands it to
    // the frame dumps, then advances the music by one frame's span (firing its row syncs).
    void OnPresent();
    // Completes the files and says what was written; returns the exit status: 0, 1 on a
    // failure, 128 + the signal when an interrupt ended the show (the files then hold
    // what was rendered before it).
    int Finish();

private:
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
    int lastOrder = 0, lastRow = 0;  // song position of the last frame written
    int highestRow = 0;
    std::chrono::steady_clock::time_point started, lastProgress;
};
