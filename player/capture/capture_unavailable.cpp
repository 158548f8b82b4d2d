// The video writer of a build without the capture's encoders (the Windows build: FFmpeg's
// libraries are not built for it). The option checks refuse --capture there before any
// window opens; this writer refuses it again, with the same reason, should it be reached.
#include "player/capture/capture.h"
#include "player/capture/capture_formats.h"

struct CaptureEncoders {};

VideoWriter::VideoWriter() = default;
VideoWriter::~VideoWriter() = default;

bool VideoWriter::Open(const char*, int, int, CaptureQuality, std::string* error) {
    *error = kNoCaptureEncoders;
    return false;
}

uint8_t* VideoWriter::NextFrame(std::string* error) {
    *error = kNoCaptureEncoders;
    return nullptr;
}

void VideoWriter::QueueFrame(const int16_t*) {}

bool VideoWriter::Close(std::string* error) {
    *error = kNoCaptureEncoders;
    return false;
}
