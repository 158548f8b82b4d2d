// The capture's file types and their encoders. Fast: H.264 at x264's fastest preset (VP9
// in real-time mode for WebM). Small: the same codecs at slower presets and a higher
// quantizer, about a fifth of the size (about half for VP9, whose fast mode has a low bit rate). Lossless: RGB frames coded without loss (FFV1 in
// Matroska, H.264's lossless RGB profile in MP4 and QuickTime) and lossless sound.
#include "player/capture/capture_formats.h"

#include <strings.h>

namespace {

constexpr CodecChoice kH264Fast{"libx264", "preset=ultrafast:crf=20", "yuv420p"};
constexpr CodecChoice kH264Small{"libx264", "preset=medium:crf=25", "yuv420p"};
constexpr CodecChoice kH264Lossless{"libx264rgb", "preset=ultrafast:qp=0", "bgr0"};
constexpr CodecChoice kFfv1{"ffv1", "level=3:slices=4:slicecrc=1", "bgr0"};
constexpr CodecChoice kVp9Fast{"libvpx-vp9", "deadline=realtime:cpu-used=8:b=3M", "yuv420p"};
constexpr CodecChoice kVp9Small{"libvpx-vp9", "deadline=good:cpu-used=5:crf=56:b=0:row-mt=1", "yuv420p"};
constexpr CodecChoice kNone{nullptr, nullptr, nullptr};
constexpr CodecChoice kAac{"aac", "b=192k:aac_coder=fast", nullptr};
constexpr CodecChoice kAacSmall{"aac", "b=128k", nullptr};
constexpr CodecChoice kAlac{"alac", "", nullptr};
constexpr CodecChoice kFlac{"flac", "", nullptr};
constexpr CodecChoice kOpus{"libopus", "b=160k", nullptr};
constexpr CodecChoice kOpusSmall{"libopus", "b=96k", nullptr};

constexpr CaptureFormat kFormats[] = {
    {".mp4", "mp4", {kH264Fast, kH264Small, kH264Lossless}, {kAac, kAacSmall, kAlac}},
    {".m4v", "mp4", {kH264Fast, kH264Small, kH264Lossless}, {kAac, kAacSmall, kAlac}},
    {".mov", "mov", {kH264Fast, kH264Small, kH264Lossless}, {kAac, kAacSmall, kAlac}},
    {".mkv", "matroska", {kH264Fast, kH264Small, kFfv1}, {kAac, kAacSmall, kFlac}},
    {".webm", "webm", {kVp9Fast, kVp9Small, kNone}, {kOpus, kOpusSmall, kNone}},
};

}  // namespace

const char kCaptureTypes[] =
    ".mp4, .m4v, .mov or .mkv (H.264 and AAC; lossless: FFV1 and FLAC in .mkv, lossless H.264 and ALAC "
    "in the others) or .webm (VP9 and Opus; no lossless)";

const CaptureFormat* FindCaptureFormat(const std::string& path) {
    const size_t slash = path.find_last_of(kFolderSeparators);
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    for (const CaptureFormat& format : kFormats) {
        const size_t length = std::string(format.extension).size();
        if (name.size() > length && strcasecmp(name.c_str() + name.size() - length, format.extension) == 0)
            return &format;
    }
    return nullptr;
}

bool NeedsEvenSides(const CaptureFormat& format, CaptureQuality quality) {
    // x264 takes 4:2:0 pictures of even sides only; VP9 rounds the chroma planes up.
    const CodecChoice& picture = format.picture[int(quality)];
    return picture.encoder != nullptr && std::string(picture.encoder) == "libx264";
}

#ifdef _WIN32
const char* const kNoCaptureEncoders =
    "--capture: this Windows build has no video encoder (FFmpeg's libraries are not built for it); "
    "--frames DIR --at ORDER:ROW writes frames as PNG files";
#else
const char* const kNoCaptureEncoders = nullptr;
#endif
