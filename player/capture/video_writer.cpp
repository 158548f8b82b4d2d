// Video files encoded in this process: the player fills queue slots with read-back frames
// and their sound, a writer thread encodes them in order (capture_encoders.h) into a
// hidden file beside the final one, renamed into place once complete.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "player/capture/capture.h"
#include "player/capture/capture_encoders.h"
#include "player/capture/leftovers.h"

namespace {

// How far the writer thread's nice value goes above the renderer's: on two cores the
// rasterizer's threads take the processor first and the encoder fills the gaps (a longer
// queue absorbs the lag); on a busy machine it still gets its share, and a full queue
// stops the renderer. Nice values end at 19.
constexpr int kEncoderNicenessAbove = 10;
constexpr int kLowestNiceness = 19;

}  // namespace

VideoWriter::VideoWriter() = default;

VideoWriter::~VideoWriter() { Discard(); }

bool VideoWriter::Open(const char* path, int width, int height, CaptureQuality quality, std::string* error) {
    const CaptureFormat* format = FindCaptureFormat(path);
    if (format == nullptr) {
        *error = std::string("the capture does not write files of the type of ") + path;
        return false;
    }
    this->path = path;
    this->width = width;
    this->height = height;
    partial = CreateTemporaryBeside(path, error);
    if (partial.empty()) return false;
    const size_t frameBytes = size_t(width) * height * 4;
    queueLength = int(std::clamp(kQueuedVideoBytes / frameBytes, size_t(kMinQueuedVideoFrames),
                                 size_t(kQueuedVideoFrames)));
    for (int i = 0; i < queueLength; ++i) queue[i].rgba.assign(frameBytes, 0);
    queueHead = queueCount = 0;
    answered = closing = abandon = writeFailed = false;
    writeError.clear();
    encoders = std::make_unique<CaptureEncoders>();
    writer = std::thread([this, format, quality] { Encode(format, quality); });
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [this] { return answered; });
    if (writeFailed) {
        *error = writeError;
        hold.unlock();
        Discard();
        return false;
    }
    return true;
}

// Lowers this thread's priority, then opens the encoders on it, so that the threads they
// start (x264's) inherit the priority; then encodes the queue until the writer is closed.
void VideoWriter::Encode(const CaptureFormat* format, CaptureQuality quality) {
    // Linux keeps a nice value per thread. A refusal is harmless: only the speed differs.
    const int renderer = getpriority(PRIO_PROCESS, gettid());
    setpriority(PRIO_PROCESS, gettid(), std::min(renderer + kEncoderNicenessAbove, kLowestNiceness));
    std::string error;
    const bool opened = encoders->Open(partial, *format, quality, width, height, &error);
    {
        std::lock_guard<std::mutex> hold(lock);
        answered = true;
        writeFailed = !opened;
        writeError = error;
    }
    changed.notify_all();
    if (opened) WriteQueued();
}

uint8_t* VideoWriter::NextFrame(std::string* error) {
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [this] { return queueCount < queueLength || writeFailed; });
    if (writeFailed) {
        *error = writeError;
        return nullptr;
    }
    // Only the writer thread takes frames away, so the slot stays free until QueueFrame.
    return queue[(queueHead + queueCount) % queueLength].rgba.data();
}

void VideoWriter::QueueFrame(const int16_t* stereo) {
    std::lock_guard<std::mutex> hold(lock);
    QueuedFrame& frame = queue[(queueHead + queueCount) % queueLength];
    std::memcpy(frame.stereo, stereo, sizeof frame.stereo);
    ++queueCount;
    changed.notify_all();
}

// Encodes queued frames in order until the queue is closed and empty, an encoding or a
// write fails or the writer is abandoned. The frame being encoded stays counted, so
// NextFrame never hands out its slot.
void VideoWriter::WriteQueued() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        changed.wait(hold, [this] { return queueCount > 0 || closing || abandon; });
        if (abandon || queueCount == 0) return;
        QueuedFrame& frame = queue[queueHead];
        hold.unlock();
        std::string error;
        const bool added = encoders->Add(frame.rgba.data(), frame.stereo, &error);
        hold.lock();
        if (!added) {
            writeFailed = true;
            writeError = error;
            changed.notify_all();
            return;
        }
        queueHead = (queueHead + 1) % queueLength;
        --queueCount;
        changed.notify_all();
    }
}

bool VideoWriter::StopWriter() {
    if (!writer.joinable()) return !writeFailed;
    {
        std::lock_guard<std::mutex> hold(lock);
        closing = true;
    }
    changed.notify_all();
    writer.join();
    return !writeFailed;
}

bool VideoWriter::Close(std::string* error) {
    if (!StopWriter()) {
        *error = writeError;
        Discard();
        return false;
    }
    if (encoders == nullptr || !encoders->Finish(error)) {
        Discard();
        return false;
    }
    encoders.reset();
    const bool finished = FinishFile(partial, path, error);
    partial.clear();  // renamed, or removed by FinishFile
    return finished;
}

void VideoWriter::Discard() {
    if (writer.joinable()) {
        {
            std::lock_guard<std::mutex> hold(lock);
            abandon = true;  // the rest of the queue is dropped
        }
        changed.notify_all();
        writer.join();
    }
    encoders.reset();
    if (!partial.empty()) DropFile(partial);
    partial.clear();
}
