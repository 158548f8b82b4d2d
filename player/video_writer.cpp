// Video files through Debian's ffmpeg: an encoder process reads raw frames on its standard
// input, fed by a writer thread from a short queue that converts them to YUV 4:2:0 first;
// the sound collects in a temporary raw file and is encoded, where the machine has time
// to spare, while the show renders; a last ffmpeg run puts the encoded picture and sound
// into one file.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "player/capture.h"
#include "player/leftovers.h"

extern char** environ;

namespace {

constexpr int kMaxArguments = 48;
constexpr int kEncoderPipeBytes = 1 << 20;  // asked for; the system may grant less
constexpr const char* kPictureName = "/video.mkv";   // in the temporary folder
constexpr const char* kRawSoundName = "/audio.raw";  // in the temporary folder
// How long Close waits for the early sound encoder to finish once the picture is encoded,
// before it encodes the sound again from the raw file at normal priority.
constexpr auto kEarlySoundGrace = std::chrono::seconds(2);

// A frame's sound goes down the early encoder's pipe in one write, whole or not at all.
static_assert(sizeof(int16_t) * kAudioFramesPerVideoFrame * 2 <= PIPE_BUF);

// Lower-case extension of path including the dot, "" when there is none.
std::string Extension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot);
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// The encoded sound's file name in the temporary folder: Opus in WebM for a .webm video,
// AAC in MP4 otherwise, so that its timing information survives the copy into the video.
const char* SoundFileName(const std::string& path) {
    return Extension(path) == ".webm" ? "/sound.webm" : "/sound.m4a";
}

// Appends the sound encoder's arguments for path's codec to arguments at count; returns
// the new count.
int AddSoundCodec(const std::string& path, const char** arguments, int count) {
    const char* const aac[] = {"-c:a", "aac", "-b:a", "192k"};
    const char* const opus[] = {"-c:a", "libopus", "-b:a", "160k"};
    if (Extension(path) == ".webm") {
        for (const char* a : opus) arguments[count++] = a;
    } else {
        for (const char* a : aac) arguments[count++] = a;
    }
    return count;
}

// Index of the first null entry of a fixed argument list: where further arguments go.
int ArgumentCount(const char* const* arguments) {
    int count = 0;
    while (arguments[count] != nullptr) ++count;
    return count;
}

// Starts ffmpeg with arguments (null-terminated), its standard input from stdinFd when
// that is not -1, in a process group of its own (a terminal's Ctrl-C is the player's to
// handle), listed as a leftover. With idle, it runs only on processor time nothing else
// wants (SCHED_IDLE). Returns the process id, or -1 with the reason in error.
pid_t SpawnFfmpeg(const char* const* arguments, int stdinFd, bool idle, std::string* error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | (idle ? POSIX_SPAWN_SETSCHEDULER : 0));
    posix_spawnattr_setpgroup(&attributes, 0);
    if (idle) {
        posix_spawnattr_setschedpolicy(&attributes, SCHED_IDLE);
        const sched_param lowest{};  // SCHED_IDLE has only priority 0
        posix_spawnattr_setschedparam(&attributes, &lowest);
    }
    pid_t pid = -1;
    std::unique_lock<std::mutex> hold = Leftovers::Hold();
    const int status =
        posix_spawnp(&pid, "ffmpeg", &actions, &attributes, const_cast<char* const*>(arguments), environ);
    if (status == 0) Leftovers::AddProcess(pid);
    hold.unlock();
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) {
        *error = std::string("cannot start ffmpeg (scripts/setup.sh installs it): ") + std::strerror(status);
        return -1;
    }
    return pid;
}

// Starts an ffmpeg (as SpawnFfmpeg) that reads its input from a new pipe as large as the
// system allows (1 MiB by default, asked for; 64 KiB at least); the write end goes to
// *input. Returns the process id, or -1 with the reason.
pid_t SpawnPipedFfmpeg(const char* const* arguments, bool idle, int* input, std::string* error) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        *error = std::string("pipe for ffmpeg: ") + std::strerror(errno);
        return -1;
    }
    fcntl(pipeFds[1], F_SETPIPE_SZ, kEncoderPipeBytes);
    const pid_t pid = SpawnFfmpeg(arguments, pipeFds[0], idle, error);
    close(pipeFds[0]);
    if (pid < 0) {
        close(pipeFds[1]);
        return -1;
    }
    *input = pipeFds[1];
    return pid;
}

// Waits for ffmpeg to end and takes it off the leftovers; false with a reason unless it
// exited with status 0. It is reaped under the leftovers' hold, so an abandon never
// signals a process id that may have been reused.
bool WaitFfmpeg(pid_t pid, const char* stage, std::string* error) {
    siginfo_t ended{};
    while (waitid(P_PID, id_t(pid), &ended, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    int status = 0;
    std::unique_lock<std::mutex> hold = Leftovers::Hold();
    const pid_t reaped = waitpid(pid, &status, 0);
    const int waitError = errno;
    Leftovers::Forget(pid);
    hold.unlock();
    if (reaped < 0) {
        *error = std::string("waiting for ffmpeg (") + stage + "): " + std::strerror(waitError);
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        *error = "ffmpeg is not installed (scripts/setup.sh installs it)";
    } else {
        *error = std::string("ffmpeg failed while ") + stage + " (exit status " +
                 std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)) + ")";
    }
    return false;
}

// True once process pid has ended (left unreaped for WaitFfmpeg), checked every 10 ms
// for at most limit.
bool EndsWithin(pid_t pid, std::chrono::steady_clock::duration limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        siginfo_t ended{};
        if (waitid(P_PID, id_t(pid), &ended, WEXITED | WNOWAIT | WNOHANG) == 0 && ended.si_pid == pid) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Writes all of bytes to fd; false with errno set on failure.
bool WriteAll(int fd, const void* bytes, size_t size) {
    const char* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t n = write(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

VideoWriter::~VideoWriter() { Discard(); }

bool VideoWriter::Open(const char* path, int width, int height, std::string* error) {
    keptPictureOnly = false;
    const bool webm = Extension(path) == ".webm";
    if (!webm && (width % 2 != 0 || height % 2 != 0)) {  // x264 takes 4:2:0 pictures of even sides only
        *error = "an H.264 video needs an even width and height, not " + std::to_string(width) + "x" +
                 std::to_string(height) + " (a .webm file takes any size)";
        return false;
    }
    this->path = path;
    this->width = width;
    this->height = height;
    partial = CreateTemporaryBeside(path, error);
    if (partial.empty()) return false;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/orangefunk-capture-XXXXXX";
    std::unique_lock<std::mutex> hold = Leftovers::Hold();
    if (mkdtemp(pattern.data()) == nullptr) {
        hold.unlock();
        *error = "cannot make a temporary folder " + pattern + ": " + std::strerror(errno);
        Discard();
        return false;
    }
    tempDir = pattern;
    const std::string videoPath = tempDir + kPictureName;
    const std::string audioPath = tempDir + kRawSoundName;
    const std::string soundPath = tempDir + SoundFileName(path);
    Leftovers::AddFolder(tempDir);
    Leftovers::AddFile(videoPath);  // the encoders make these two
    Leftovers::AddFile(soundPath);
    Leftovers::AddFile(audioPath);
    audioFile = open(audioPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    hold.unlock();
    if (audioFile < 0) {
        *error = "cannot create " + audioPath + ": " + std::strerror(errno);
        Discard();
        return false;
    }

    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(kCaptureFramesPerSecond);
    // The writer converts frames of even sides to YUV itself, as ffmpeg would but on less
    // processor time, and pipes under half the bytes; frames of an odd side go as RGBA.
    convert = width % 2 == 0 && height % 2 == 0;
    const char* arguments[kMaxArguments] = {
        "ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
        "-f", "rawvideo", "-pix_fmt", convert ? "yuv420p" : "rgba", "-s", size.c_str(),
        "-framerate", rate.c_str(), "-i", "pipe:0"};
    int count = ArgumentCount(arguments);
    if (!convert)
        for (const char* a : {"-vf", "vflip", "-pix_fmt", "yuv420p"}) arguments[count++] = a;
    const char* const h264[] = {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "20"};
    const char* const vp9[] = {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-b:v", "3M"};
    if (webm) {
        for (const char* a : vp9) arguments[count++] = a;
    } else {
        for (const char* a : h264) arguments[count++] = a;
    }
    arguments[count++] = videoPath.c_str();
    arguments[count] = nullptr;
    // A pipe as large as the system allows (1 MiB by default) takes most of a frame per
    // write instead of 64 KiB, so far fewer switches between player and encoder.
    encoder = SpawnPipedFfmpeg(arguments, false, &encoderInput, error);
    if (encoder < 0) {
        Discard();
        return false;
    }

    // The sound is also encoded early, while the show renders, on processor time the
    // rendering and the picture's encoder leave (SCHED_IDLE): encoded after them it took
    // 6 s alone at the end of a whole-show capture, and beside them at their priority it
    // slowed them as much. Its pipe never holds the writer up: when the encoder falls
    // about 6 s of sound behind (a machine busy with other work), it is given up and Close
    // encodes the raw file instead. Without it the capture goes on the same way.
    const std::string soundRate = std::to_string(kCaptureRate);
    const char* soundArguments[kMaxArguments] = {
        "ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
        "-f", "s16le", "-ar", soundRate.c_str(), "-ac", "2", "-i", "pipe:0"};
    count = AddSoundCodec(path, soundArguments, ArgumentCount(soundArguments));
    soundArguments[count++] = soundPath.c_str();
    soundArguments[count] = nullptr;
    std::string ignored;  // no early encoder: the sound is encoded at the end
    soundEncoder = SpawnPipedFfmpeg(soundArguments, true, &soundInput, &ignored);
    if (soundInput >= 0) fcntl(soundInput, F_SETFL, O_NONBLOCK);
    for (QueuedFrame& frame : queue) frame.rgba.assign(size_t(width) * height * 4, 0);
    if (convert) {
        converter.Resize(width, height);
        yuv.assign(size_t(width) * height * 3 / 2, 0);
    }
    queueHead = queueCount = 0;
    closing = abandon = writeFailed = false;
    writeError.clear();
    writer = std::thread([this] { WriteQueued(); });
    return true;
}

uint8_t* VideoWriter::NextFrame(std::string* error) {
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [this] { return queueCount < kQueuedVideoFrames || writeFailed; });
    if (writeFailed) {
        *error = writeError;
        return nullptr;
    }
    // Only the writer thread takes frames away, so the slot stays free until QueueFrame.
    return queue[(queueHead + queueCount) % kQueuedVideoFrames].rgba.data();
}

void VideoWriter::QueueFrame(const int16_t* stereo) {
    std::lock_guard<std::mutex> hold(lock);
    QueuedFrame& frame = queue[(queueHead + queueCount) % kQueuedVideoFrames];
    std::memcpy(frame.stereo, stereo, sizeof frame.stereo);
    ++queueCount;
    changed.notify_all();
}

// Writes queued frames in order, the picture to the encoder and the sound to its file,
// until the queue is closed and empty, a write fails or the writer is abandoned. The
// frame being written stays counted, so NextFrame never hands out its slot.
void VideoWriter::WriteQueued() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        changed.wait(hold, [this] { return queueCount > 0 || closing || abandon; });
        if (abandon || queueCount == 0) return;
        QueuedFrame& frame = queue[queueHead];
        hold.unlock();
        std::string error;
        if (convert) converter.Convert(frame.rgba.data(), yuv.data());
        const std::vector<uint8_t>& picture = convert ? yuv : frame.rgba;
        if (!WriteAll(encoderInput, picture.data(), picture.size())) {
            error = std::string("ffmpeg stopped taking frames: ") + std::strerror(errno);
        } else if (!WriteAll(audioFile, frame.stereo, sizeof frame.stereo)) {
            error = "cannot write " + tempDir + kRawSoundName + ": " + std::strerror(errno);
        }
        // Behind (its pipe full) or gone: the early sound encoder is given up.
        if (soundInput >= 0 && write(soundInput, frame.stereo, sizeof frame.stereo) != ssize_t(sizeof frame.stereo)) {
            close(soundInput);
            soundInput = -1;
        }
        hold.lock();
        if (!error.empty()) {
            writeFailed = true;
            writeError = error;
            changed.notify_all();
            return;
        }
        queueHead = (queueHead + 1) % kQueuedVideoFrames;
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
    close(encoderInput);
    encoderInput = -1;
    // The early sound encoder, if it kept up, has all the sound once its input ends.
    bool soundEncoded = soundInput >= 0;
    if (soundInput >= 0) close(soundInput);
    soundInput = -1;
    const pid_t pid = encoder;
    encoder = -1;
    if (!WaitFfmpeg(pid, "encoding the picture", error)) {
        Discard();
        return false;
    }
    close(audioFile);
    audioFile = -1;
    if (soundEncoded) {
        std::string soundError;
        soundEncoded = EndsWithin(soundEncoder, kEarlySoundGrace);
        if (soundEncoded) {
            // Reaped whatever its exit status: never signalled again (its id may be reused).
            soundEncoded = WaitFfmpeg(soundEncoder, "encoding the sound", &soundError);
            soundEncoder = -1;
        }
    }
    if (!soundEncoded) EndSoundEncoder();

    const std::string videoPath = tempDir + kPictureName;
    const std::string audioPath = tempDir + kRawSoundName;
    const std::string soundPath = tempDir + SoundFileName(path);
    const std::string rate = std::to_string(kCaptureRate);
    const char* arguments[kMaxArguments] = {
        "ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", videoPath.c_str()};
    int count = ArgumentCount(arguments);
    if (soundEncoded) {
        for (const char* a : {"-i", soundPath.c_str(), "-map", "0:v", "-map", "1:a", "-c", "copy"})
            arguments[count++] = a;
    } else {
        for (const char* a : {"-f", "s16le", "-ar", rate.c_str(), "-ac", "2", "-i", audioPath.c_str(), "-map", "0:v",
                              "-map", "1:a", "-c:v", "copy"})
            arguments[count++] = a;
        count = AddSoundCodec(path, arguments, count);
    }
    bool done = Mux(arguments, count, "muxing picture and sound", error);
    if (!done && !partial.empty()) {
        // The picture is encoded: it is kept alone rather than thrown away with the sound.
        const char* pictureOnly[kMaxArguments] = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                                                  "-i", videoPath.c_str(), "-map", "0:v", "-c", "copy"};
        std::string pictureError;
        keptPictureOnly = Mux(pictureOnly, ArgumentCount(pictureOnly), "writing the picture alone", &pictureError);
        if (!keptPictureOnly) *error += "; the picture alone failed too: " + pictureError;
    }
    Discard();
    return done;
}

bool VideoWriter::Mux(const char** arguments, int count, const char* stage, std::string* error) {
    const std::string extension = Extension(path);
    if (extension == ".mp4" || extension == ".mov" || extension == ".m4v") {
        arguments[count++] = "-movflags";  // index first: playable while still downloading
        arguments[count++] = "+faststart";
    }
    arguments[count++] = partial.c_str();
    arguments[count] = nullptr;
    const pid_t muxer = SpawnFfmpeg(arguments, -1, false, error);
    if (muxer < 0 || !WaitFfmpeg(muxer, stage, error)) return false;
    const bool finished = FinishFile(partial, path, error);
    partial.clear();  // renamed, or removed by FinishFile
    return finished;
}

void VideoWriter::EndSoundEncoder() {
    if (soundInput >= 0) close(soundInput);
    soundInput = -1;
    std::unique_lock<std::mutex> hold = Leftovers::Hold();
    if (soundEncoder > 0) {
        kill(soundEncoder, SIGKILL);  // its output is dropped; also ends a stopped one
        waitpid(soundEncoder, nullptr, 0);
        Leftovers::Forget(soundEncoder);
    }
    soundEncoder = -1;
    // What it wrote is not complete: the raw file is encoded instead.
    if (!tempDir.empty()) unlink((tempDir + SoundFileName(path)).c_str());
}

void VideoWriter::Discard() {
    if (writer.joinable()) {
        // A stopped encoder makes a pending write fail at once (SIGPIPE is ignored while
        // capturing); the rest of the queue is dropped.
        if (encoder > 0) kill(encoder, SIGTERM);
        {
            std::lock_guard<std::mutex> hold(lock);
            abandon = true;
        }
        changed.notify_all();
        writer.join();
    }
    if (encoderInput >= 0) close(encoderInput);
    encoderInput = -1;
    EndSoundEncoder();
    std::unique_lock<std::mutex> hold = Leftovers::Hold();
    if (encoder > 0) {
        kill(encoder, SIGTERM);
        waitpid(encoder, nullptr, 0);
        Leftovers::Forget(encoder);
    }
    encoder = -1;
    if (audioFile >= 0) close(audioFile);
    audioFile = -1;
    if (!tempDir.empty()) {
        for (const char* name : {kPictureName, kRawSoundName, SoundFileName(path)}) {
            unlink((tempDir + name).c_str());
            Leftovers::Forget(tempDir + name);
        }
        rmdir(tempDir.c_str());
        Leftovers::Forget(tempDir);
        tempDir.clear();
    }
    hold.unlock();
    if (!partial.empty()) DropFile(partial);
    partial.clear();
}
