// The video files a capture writes: by the file name's extension, the container and, for
// each capture quality, the picture and sound encoders with their settings. The option
// checks and the video writer both read this table, so they always agree.
#pragma once

#include <string>

#include "player/player.h"

// One encoder and how it is set up.
struct CodecChoice {
    const char* encoder;      // libavcodec's encoder name; null when the quality is not offered
    const char* settings;     // "key=value:key=value" encoder options
    const char* pixelFormat;  // picture encoders only: the frames' pixel format
};

struct CaptureFormat {
    const char* extension;  // lower case, with the dot
    const char* muxer;      // libavformat's name of the container
    CodecChoice picture[3];  // by CaptureQuality
    CodecChoice sound[3];
};

// The extensions --capture takes and what they get, for --help and refusals.
extern const char kCaptureTypes[];
// Why a build without the encoders (Windows) refuses --capture; null where it has them.
extern const char* const kNoCaptureEncoders;

// The format of a capture named path (its extension, any case); null when the capture
// does not write that type.
const CaptureFormat* FindCaptureFormat(const std::string& path);
// True when pictures of the format at quality must have even sides (H.264 in 4:2:0).
bool NeedsEvenSides(const CaptureFormat& format, CaptureQuality quality);
