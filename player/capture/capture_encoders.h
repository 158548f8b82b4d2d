// The encoding side of a capture, on FFmpeg's libraries: frames converted with libswscale
// and encoded, sound resampled with libswresample where the codec needs another rate and
// cut to the codec's frame size, both interleaved into the container as they come.
#pragma once

#include <cstdint>
#include <string>

#include "player/capture/capture_formats.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct AVAudioFifo;
struct SwsContext;
struct SwrContext;

struct CaptureEncoders {
    ~CaptureEncoders();
    // Sets up the container, encoders and converters of format at quality for frames of
    // width x height at kCaptureFramesPerSecond, and writes the file's header to file.
    // False with the reason, naming the encoder or the file.
    bool Open(const std::string& file, const CaptureFormat& format, CaptureQuality quality, int width, int height,
              std::string* error);
    // Encodes one frame (width * height RGBA pixels, bottom row first) and its
    // kAudioFramesPerVideoFrame stereo frames at kCaptureRate. False with the reason.
    bool Add(const uint8_t* rgba, const int16_t* stereo, std::string* error);
    // Drains the encoders and completes and closes the file. False with the reason.
    bool Finish(std::string* error);

private:
    bool OpenPicture(const CodecChoice& choice, int width, int height, std::string* error);
    bool OpenSound(const CodecChoice& choice, std::string* error);
    // Sends frame (null: the end) to codec and writes every packet it gives to stream.
    bool Encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame, const char* what, std::string* error);
    // Encodes the sound held back while it fills whole codec frames; all of it when last.
    bool EncodeHeldSound(bool last, std::string* error);

    std::string file;
    int width = 0, height = 0;
    AVFormatContext* container = nullptr;
    AVCodecContext* picture = nullptr;
    AVCodecContext* sound = nullptr;
    AVStream* pictureStream = nullptr;
    AVStream* soundStream = nullptr;
    AVFrame* pictureFrame = nullptr;
    AVFrame* soundFrame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* heldSound = nullptr;  // resampled, waiting to fill a codec frame
    uint8_t** resampled = nullptr;     // one frame's sound after resampling
    int resampledCapacity = 0;         // samples per channel resampled fits
    int soundFrameSize = 0;            // samples per channel in each encoded sound frame
    int64_t picturesSent = 0;          // pictures given to the encoder: the next one's time stamp
    int64_t samplesSent = 0;           // sound samples per channel given to the encoder
    bool headerWritten = false;
};
