// A capture's encoders and container on libavformat, libavcodec, libswscale and
// libswresample. Picture time stamps count frames at 60 per second, sound time stamps
// count the codec's samples, so both tracks are exact for any length.
#include "player/capture/capture_encoders.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

namespace {

constexpr int kChannels = 2;
// Sound frame size for codecs that take any (FLAC's own default block).
constexpr int kVariableSoundFrame = 4608;

// libav's text for an error code, after what failed.
std::string Failure(const std::string& what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return what + ": " + text;
}

// Parses "key=value:key=value" settings into a dictionary the caller frees.
AVDictionary* Settings(const char* text) {
    AVDictionary* settings = nullptr;
    if (text != nullptr && *text != '\0') av_dict_parse_string(&settings, text, "=", ":", 0);
    return settings;
}

// Opens codec with settings; false with the reason, also for a setting it did not take.
bool OpenCodec(AVCodecContext* codec, const AVCodec* encoder, const char* settings, std::string* error) {
    AVDictionary* options = Settings(settings);
    const int opened = avcodec_open2(codec, encoder, &options);
    const AVDictionaryEntry* unused = av_dict_get(options, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    const std::string unusedKey = unused != nullptr ? unused->key : "";
    av_dict_free(&options);
    if (opened < 0) {
        *error = Failure(std::string("cannot open the encoder ") + encoder->name, opened);
        return false;
    }
    if (!unusedKey.empty()) {
        *error = std::string("the encoder ") + encoder->name + " has no setting " + unusedKey;
        return false;
    }
    return true;
}

// The rate the sound is encoded at: the capture's own where the encoder takes it, else
// the highest it takes.
int SoundRate(const AVCodec* encoder) {
    if (encoder->supported_samplerates == nullptr) return kCaptureRate;
    int highest = 0;
    for (const int* rate = encoder->supported_samplerates; *rate != 0; ++rate) {
        if (*rate == kCaptureRate) return kCaptureRate;
        highest = std::max(highest, *rate);
    }
    return highest;
}

}  // namespace

CaptureEncoders::~CaptureEncoders() {
    if (container != nullptr && container->pb != nullptr) avio_closep(&container->pb);
    avformat_free_context(container);
    avcodec_free_context(&picture);
    avcodec_free_context(&sound);
    av_frame_free(&pictureFrame);
    av_frame_free(&soundFrame);
    av_packet_free(&packet);
    sws_freeContext(scaler);
    swr_free(&resampler);
    if (heldSound != nullptr) av_audio_fifo_free(heldSound);
    if (resampled != nullptr) av_freep(&resampled[0]);
    av_freep(&resampled);
}

bool CaptureEncoders::Open(const std::string& file, const CaptureFormat& format, CaptureQuality quality, int width,
                           int height, std::string* error) {
    this->file = file;
    av_log_set_level(AV_LOG_ERROR);  // the encoders' statistics are no concern of the viewer's
    this->width = width;
    this->height = height;
    int result = avformat_alloc_output_context2(&container, nullptr, format.muxer, file.c_str());
    if (result < 0) {
        *error = Failure(std::string("libavformat has no ") + format.muxer + " container", result);
        return false;
    }
    // No library version or random identifiers in the file: the same build writes the same bytes.
    container->flags |= AVFMT_FLAG_BITEXACT;
    packet = av_packet_alloc();
    if (!OpenPicture(format.picture[int(quality)], width, height, error) ||
        !OpenSound(format.sound[int(quality)], error))
        return false;
    result = avio_open(&container->pb, file.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        *error = Failure("cannot write " + file, result);
        return false;
    }
    // MP4 and QuickTime get their index first: playable while still downloading.
    AVDictionary* muxing = nullptr;
    if (std::string(format.muxer) == "mp4" || std::string(format.muxer) == "mov")
        av_dict_set(&muxing, "movflags", "+faststart", 0);
    result = avformat_write_header(container, &muxing);
    av_dict_free(&muxing);
    if (result < 0) {
        *error = Failure("cannot start " + file, result);
        return false;
    }
    headerWritten = true;
    return true;
}

bool CaptureEncoders::OpenPicture(const CodecChoice& choice, int width, int height, std::string* error) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(choice.encoder);
    if (encoder == nullptr) {
        *error = std::string("libavcodec has no encoder ") + choice.encoder;
        return false;
    }
    picture = avcodec_alloc_context3(encoder);
    picture->width = width;
    picture->height = height;
    picture->time_base = AVRational{1, kCaptureFramesPerSecond};
    picture->framerate = AVRational{kCaptureFramesPerSecond, 1};
    picture->pix_fmt = av_get_pix_fmt(choice.pixelFormat);
    picture->sample_aspect_ratio = AVRational{1, 1};
    const bool yuv = picture->pix_fmt == AV_PIX_FMT_YUV420P;
    if (yuv) {  // what libswscale converts to by default: BT.601, limited range
        picture->colorspace = AVCOL_SPC_SMPTE170M;
        picture->color_range = AVCOL_RANGE_MPEG;
    }
    if (container->oformat->flags & AVFMT_GLOBALHEADER) picture->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // As many encoder threads as the codec picks for the machine (libavcodec's default is
    // one); x264's output depends on its thread count only, so captures stay repeatable.
    picture->thread_count = 0;
    if (!OpenCodec(picture, encoder, choice.settings, error)) return false;
    pictureStream = avformat_new_stream(container, nullptr);
    pictureStream->time_base = picture->time_base;
    avcodec_parameters_from_context(pictureStream->codecpar, picture);

    pictureFrame = av_frame_alloc();
    pictureFrame->format = picture->pix_fmt;
    pictureFrame->width = width;
    pictureFrame->height = height;
    if (av_frame_get_buffer(pictureFrame, 0) < 0) {
        *error = "out of memory for a frame";
        return false;
    }
    // Same size, so only the pixel format changes: RGB to RGB is a lossless reordering. For
    // 4:2:0 each chroma sample is the mean of its 2x2 pixels (the area filter on full-width
    // chroma input): the exact average to within one step, and over twice as fast as bicubic.
    scaler = sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, picture->pix_fmt,
                            SWS_AREA | SWS_FULL_CHR_H_INP, nullptr, nullptr, nullptr);
    if (scaler == nullptr) {
        *error = std::string("libswscale cannot convert RGBA frames to ") + choice.pixelFormat;
        return false;
    }
    return true;
}

bool CaptureEncoders::OpenSound(const CodecChoice& choice, std::string* error) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(choice.encoder);
    if (encoder == nullptr) {
        *error = std::string("libavcodec has no encoder ") + choice.encoder;
        return false;
    }
    sound = avcodec_alloc_context3(encoder);
    sound->sample_fmt = encoder->sample_fmts != nullptr ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    sound->sample_rate = SoundRate(encoder);
    av_channel_layout_default(&sound->ch_layout, kChannels);
    sound->time_base = AVRational{1, sound->sample_rate};
    if (container->oformat->flags & AVFMT_GLOBALHEADER) sound->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (!OpenCodec(sound, encoder, choice.settings, error)) return false;
    soundStream = avformat_new_stream(container, nullptr);
    soundStream->time_base = sound->time_base;
    avcodec_parameters_from_context(soundStream->codecpar, sound);
    soundFrameSize = sound->frame_size > 0 ? sound->frame_size : kVariableSoundFrame;

    AVChannelLayout stereo{};
    av_channel_layout_default(&stereo, kChannels);
    int result = swr_alloc_set_opts2(&resampler, &sound->ch_layout, sound->sample_fmt, sound->sample_rate, &stereo,
                                     AV_SAMPLE_FMT_S16, kCaptureRate, 0, nullptr);
    if (result >= 0) result = swr_init(resampler);
    if (result < 0) {
        *error = Failure(std::string("libswresample cannot convert the sound for ") + choice.encoder, result);
        return false;
    }
    // One frame's sound resampled, with room for what the resampler holds back.
    resampledCapacity = int(av_rescale_rnd(kAudioFramesPerVideoFrame, sound->sample_rate, kCaptureRate,
                                           AV_ROUND_UP)) + 256;
    heldSound = av_audio_fifo_alloc(sound->sample_fmt, kChannels, soundFrameSize * 2);
    soundFrame = av_frame_alloc();
    soundFrame->format = sound->sample_fmt;
    soundFrame->nb_samples = soundFrameSize;
    av_channel_layout_copy(&soundFrame->ch_layout, &sound->ch_layout);
    soundFrame->sample_rate = sound->sample_rate;
    if (heldSound == nullptr || av_frame_get_buffer(soundFrame, 0) < 0 ||
        av_samples_alloc_array_and_samples(&resampled, nullptr, kChannels, resampledCapacity, sound->sample_fmt, 0) <
            0) {
        *error = "out of memory for the sound";
        return false;
    }
    return true;
}

bool CaptureEncoders::Add(const uint8_t* rgba, const int16_t* stereo, std::string* error) {
    if (av_frame_make_writable(pictureFrame) < 0) {
        *error = "out of memory for a frame";
        return false;
    }
    // OpenGL gives the bottom row first: starting at the last row with a negative stride
    // turns the frame upright as it is converted.
    const int stride = width * 4;
    const uint8_t* rows[1] = {rgba + size_t(height - 1) * size_t(stride)};
    const int strides[1] = {-stride};
    sws_scale(scaler, rows, strides, 0, height, pictureFrame->data, pictureFrame->linesize);
    pictureFrame->pts = picturesSent++;
    if (!Encode(picture, pictureStream, pictureFrame, "the picture", error)) return false;

    const uint8_t* input[1] = {reinterpret_cast<const uint8_t*>(stereo)};
    const int converted = swr_convert(resampler, resampled, resampledCapacity, input, kAudioFramesPerVideoFrame);
    if (converted < 0 || av_audio_fifo_write(heldSound, reinterpret_cast<void**>(resampled), converted) < converted) {
        *error = Failure("converting the sound", converted < 0 ? converted : AVERROR(ENOMEM));
        return false;
    }
    return EncodeHeldSound(false, error);
}

bool CaptureEncoders::EncodeHeldSound(bool last, std::string* error) {
    while (av_audio_fifo_size(heldSound) >= soundFrameSize || (last && av_audio_fifo_size(heldSound) > 0)) {
        if (av_frame_make_writable(soundFrame) < 0) {
            *error = "out of memory for the sound";
            return false;
        }
        const int samples = std::min(av_audio_fifo_size(heldSound), soundFrameSize);
        av_audio_fifo_read(heldSound, reinterpret_cast<void**>(soundFrame->data), samples);
        // A short last frame is filled with silence where the codec takes only whole ones.
        const bool shortFrameTaken = sound->codec->capabilities &
                                     (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
        soundFrame->nb_samples = shortFrameTaken ? samples : soundFrameSize;
        if (samples < soundFrame->nb_samples)
            av_samples_set_silence(soundFrame->data, samples, soundFrame->nb_samples - samples, kChannels,
                                   sound->sample_fmt);
        soundFrame->pts = samplesSent;
        samplesSent += soundFrame->nb_samples;
        if (!Encode(sound, soundStream, soundFrame, "the sound", error)) return false;
    }
    return true;
}

bool CaptureEncoders::Encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame, const char* what,
                             std::string* error) {
    int result = avcodec_send_frame(codec, frame);
    if (result < 0) {
        *error = Failure(std::string("encoding ") + what + " (" + codec->codec->name + ")", result);
        return false;
    }
    for (;;) {
        result = avcodec_receive_packet(codec, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
        if (result < 0) {
            *error = Failure(std::string("encoding ") + what + " (" + codec->codec->name + ")", result);
            return false;
        }
        // A picture lasts one frame; the encoders leave it unsaid, and the container then
        // counts the last one as lasting nothing.
        if (codec == picture && packet->duration == 0) packet->duration = 1;
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        result = av_interleaved_write_frame(container, packet);  // takes the packet's data
        if (result < 0) {
            *error = Failure("cannot write " + file, result);
            return false;
        }
    }
}

bool CaptureEncoders::Finish(std::string* error) {
    const int flushed = swr_convert(resampler, resampled, resampledCapacity, nullptr, 0);
    if (flushed > 0) av_audio_fifo_write(heldSound, reinterpret_cast<void**>(resampled), flushed);
    if (!EncodeHeldSound(true, error) || !Encode(picture, pictureStream, nullptr, "the picture", error) ||
        !Encode(sound, soundStream, nullptr, "the sound", error))
        return false;
    int result = av_write_trailer(container);
    if (result < 0) {
        *error = Failure("cannot complete " + file, result);
        return false;
    }
    result = avio_closep(&container->pb);
    if (result < 0) {
        *error = Failure("cannot write " + file, result);
        return false;
    }
    return true;
}
