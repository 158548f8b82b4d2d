// Off-screen play of the built program as CI runs it (no display, no sound card): a whole
// capture is a playable video as long as the song to order 33 with a sounding audio track,
// its frame dumps match the reference thumbnails at song positions across every part, a
// second capture is the same file, a lossless capture holds the very frames the frame dumps
// hold, and frame dumps show each part at its moment.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "parts/part_table.h"
#include "platform/interface/bass.h"
#include "platform/interface/host.h"
#include "player/capture/capture.h"
#include "tests/support/frame_match.h"
#include "tests/support/picture.h"
#include "tests/support/show_program.h"
#include "tests/support/test_paths.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kEndOrder = 33;  // the show ends when this order begins

// The title's background and ray colours (0..255).
constexpr int kTitleBackground[3] = {241, 189, 10};
constexpr int kTitleRay[3] = {245, 210, 8};

// Runs the program as CI runs it, its output in log. Returns its exit status.
int RunProgram(const std::string& arguments, const std::string& log) {
    return RunShowProgram(ORANGEFUNK_PROGRAM, arguments, log);
}

std::string FileText(const std::string& path) { return Output("cat " + Quote(path)); }

// The number after `key` in text (as ffmpeg prints "mean_volume: -20.5 dB"); NaN if absent.
double NumberAfter(const std::string& text, const std::string& key) {
    const size_t at = text.find(key);
    if (at == std::string::npos) return NAN;
    return std::strtod(text.c_str() + at + key.size(), nullptr);
}

// The reference frames (tests/frames/reference, 80x60 thumbnails): two or three positions in
// every part (the title runs to order 2, the morphing ball to 8, the tube to 14, the spiral
// to 17, the toy scene to 22, the zoom to 25, the greetings to 27), the final scene at its
// start, middle and fade.
struct Position {
    int order, row;
};
constexpr Position kReferencePositions[] = {
    {0, 10},  {1, 21},  {2, 100}, {3, 8},   {5, 32},  {8, 40},  {9, 16},  {11, 20},
    {14, 24}, {15, 8},  {17, 40}, {18, 8},  {19, 48}, {22, 16}, {23, 8},  {24, 16},
    {25, 20}, {26, 4},  {27, 24}, {28, 16}, {30, 32}, {32, 0},  {32, 120},
};
// The position the title's check looks at besides the references.
constexpr Position kLastRowBeforeTheFirstWord = {1, 20};

std::string FrameName(const Position& p) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%02d-%03d.png", p.order, p.row);
    return name;
}

std::atomic<int> measuredOrder{0};
void RecordOrder(DWORD, DWORD, DWORD data) { measuredOrder = int(data & 0xFFFF); }

// Plays "funk.it" in lockstep, step frames at a time, calling each(order) with the song
// order before every step, until order 33 begins or the song ends. Returns the frames
// played, or -1 when the song never reaches order 33.
template <typename Each>
long long PlayLockstep(int step, Each each) {
    host::Setup({.lockstepMusic = true});
    BASS_Init(-1, 44100, 0, nullptr);
    const HMUSIC music = BASS_MusicLoad((ShowDataDir() + "/funk.it").c_str(), 0, 1);
    BASS_Start();
    measuredOrder = 0;
    BASS_ChannelSetSync(music, BASS_SYNC_POS, 0xFFFFFFFFu, RecordOrder);
    BASS_MusicPlay(music);
    long long frames = 0;
    while (measuredOrder < kEndOrder) {
        each(measuredOrder.load());
        const int rendered = host::AdvanceMusic(step, nullptr);
        if (rendered == 0) break;
        frames += rendered;
    }
    BASS_Stop();
    BASS_Free();
    return measuredOrder >= kEndOrder ? frames : -1;
}

// Seconds of "funk.it" from its start until order 33 begins, rendered in lockstep.
double SongSecondsToEnd() {
    const long long frames = PlayLockstep(441, [](int) {});  // 10 ms steps
    return frames >= 0 ? double(frames) / 44100.0 : NAN;
}

bool Near(const uint8_t* pixel, const int* colour, int tolerance) {
    for (int c = 0; c < 3; ++c)
        if (std::abs(pixel[c] - colour[c]) > tolerance) return false;
    return true;
}

// Pixels of the rectangle [x0, x1) x [y0, y1) that `test` accepts.
template <typename Test>
int Count(const Picture& picture, int x0, int y0, int x1, int y1, Test test) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) count += test(picture.At(x, y)) ? 1 : 0;
    return count;
}

double MeanLevel(const Picture& picture) {
    double sum = 0;
    for (uint8_t v : picture.rgb) sum += v;
    return sum / double(picture.rgb.size());
}

class WholeShow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        missing = MissingShowData();
        for (const char* tool : {"ffmpeg", "ffprobe"})  // to read the files back
            if (missing.empty() && !CommandExists(tool))
                missing = std::string(tool) + " is not installed (scripts/setup.sh installs it)";
        if (!missing.empty()) return;
        char pattern[] = "/tmp/orangefunk-capture-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        // One capture that also dumps the frames the checks below look at.
        std::vector<Position> positions(std::begin(kReferencePositions), std::end(kReferencePositions));
        positions.push_back(kLastRowBeforeTheFirstWord);
        std::sort(positions.begin(), positions.end(),
                  [](const Position& a, const Position& b) { return a.order != b.order ? a.order < b.order : a.row < b.row; });
        std::string at;
        for (const Position& p : positions) at += (at.empty() ? "" : ",") + std::to_string(p.order) + ":" + std::to_string(p.row);
        const auto start = std::chrono::steady_clock::now();
        status = RunProgram("--stats --capture " + Quote(dir + "/a.mp4") + " --frames " + Quote(dir + "/frames") +
                                " --at " + at,
                            dir + "/a.log");
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    static void TearDownTestSuite() {
        if (!dir.empty()) std::system(("rm -rf " + Quote(dir)).c_str());
    }
    void SetUp() override {
        if (!missing.empty()) GTEST_FAIL() << missing;
        ASSERT_EQ(status, 0) << FileText(dir + "/a.log");
    }
    static std::string Frame(const char* position) { return dir + "/frames/frame-" + position + ".png"; }

    static inline std::string missing, dir;
    static inline int status = -1;
    static inline double seconds = 0;
};

TEST_F(WholeShow, IsAPlayableVideoAsLongAsTheSongWithSound) {
    const std::string video = dir + "/a.mp4";
    const std::string probe = Output("ffprobe -v error -show_entries stream=codec_type,width,height -show_entries "
                                     "format=duration -of default=nw=1 " + Quote(video));
    EXPECT_NE(probe.find("codec_type=video"), std::string::npos) << probe;
    EXPECT_NE(probe.find("codec_type=audio"), std::string::npos) << probe;
    EXPECT_EQ(NumberAfter(probe, "width="), kWidth);
    EXPECT_EQ(NumberAfter(probe, "height="), kHeight);

    const double duration = NumberAfter(probe, "duration=");
    const double song = SongSecondsToEnd();
    ASSERT_FALSE(std::isnan(song)) << "funk.it never reaches order " << kEndOrder;
    EXPECT_NEAR(duration, song, song * 0.01) << probe;
    std::printf("capture of %.1f s of show took %.1f s (%.2fx real time)\n", duration, seconds, duration / seconds);

    const std::string volume = Output("ffmpeg -nostdin -hide_banner -i " + Quote(video) +
                                      " -map 0:a -af volumedetect -f null - 2>&1");
    const double mean = NumberAfter(volume, "mean_volume:");
    const double peak = NumberAfter(volume, "max_volume:");
    ASSERT_FALSE(std::isnan(mean)) << volume;
    EXPECT_GT(mean, -40.0) << "the sound track is (nearly) silent";
    EXPECT_GT(peak, -12.0);
    EXPECT_LE(peak, 0.0);
}

TEST_F(WholeShow, ASecondCaptureGivesTheSameFile) {
    const std::string second = dir + "/b.mp4";
    ASSERT_EQ(RunProgram("--capture " + Quote(second), dir + "/b.log"), 0) << FileText(dir + "/b.log");
    EXPECT_EQ(std::system(("cmp " + Quote(dir + "/a.mp4") + " " + Quote(second)).c_str()), 0)
        << "two captures of the same build differ";
}

// Each dumped frame, as an 80x60 thumbnail, matches its reference within the tolerance that
// passes rounding and fails a wrong blend mode, texture, camera or a missing object. With
// ORANGEFUNK_REFRESH_FRAMES=1 it writes new references instead.
TEST_F(WholeShow, MatchesTheReferenceFramesAtEverySongPosition) {
    const char* refreshing = std::getenv("ORANGEFUNK_REFRESH_FRAMES");
    const bool refresh = refreshing != nullptr && std::string(refreshing) == "1";
    for (const Position& p : kReferencePositions) {
        SCOPED_TRACE(FrameName(p));
        Picture frame, reference;
        ASSERT_TRUE(ReadPicture(dir + "/frames/" + FrameName(p), &frame));
        const Picture thumb = Thumbnail(frame);
        const std::string referencePath = std::string(ORANGEFUNK_REFERENCE_DIR) + "/" + FrameName(p);
        if (refresh) {
            EXPECT_TRUE(WritePicture(referencePath, thumb)) << "cannot write " << referencePath;
            continue;
        }
        ASSERT_TRUE(ReadPicture(referencePath, &reference)) << "no reference " << referencePath;
        std::string difference;
        if (ThumbnailsMatch(thumb, reference, &difference)) continue;
        const std::string kept = "/tmp/orangefunk-thumb-" + FrameName(p);
        WritePicture(kept, thumb);
        ADD_FAILURE() << difference << "; this run's thumbnail: " << kept;
    }
    if (refresh) GTEST_SKIP() << "references written to " << ORANGEFUNK_REFERENCE_DIR;
}

// --stats counts each frame for the part that drew it: in lockstep every part draws one
// frame per 1/60 s of music from its first order until the order that ends it.
TEST_F(WholeShow, StatsCountEachPartsFramesFromItsSongSpan) {
    long long expected[kPartCount] = {};  // the looping parts, then the final scene
    ASSERT_GE(PlayLockstep(kAudioFramesPerVideoFrame, [&](int order) {
                  int part = 0;
                  while (part + 1 < kPartCount && !(PartStartOrder(part) <= order && order < PartEndOrder(part))) ++part;
                  ++expected[part];
              }), 0);
    const std::string log = FileText(dir + "/a.log");
    for (int part = 0; part < kPartCount; ++part) {
        const std::string name = kShowParts[part].name;
        const size_t at = log.find("\n" + name + " ");
        ASSERT_NE(at, std::string::npos) << "no row for " << name << " in\n" << log;
        // The frames column follows the name.
        EXPECT_EQ(std::atoll(log.c_str() + at + 1 + name.size()), expected[part]) << log.substr(at, 100);
    }
}

TEST_F(WholeShow, TitleShowsTheOrangeBackgroundRaysAndWordsOnTheirRow) {
    Picture title, before, after;
    ASSERT_TRUE(ReadPicture(Frame("00-010"), &title));
    ASSERT_TRUE(ReadPicture(Frame("01-020"), &before));
    ASSERT_TRUE(ReadPicture(Frame("01-021"), &after));
    ASSERT_EQ(title.width, kWidth);
    ASSERT_EQ(title.height, kHeight);

    // Below the logo and the line of words only the background and the rays show, each
    // over a good share of the area (rays and gaps are equally wide at the centre).
    const int y0 = 330, area = kWidth * (kHeight - y0);
    const int background = Count(title, 0, y0, kWidth, kHeight, [](const uint8_t* p) { return Near(p, kTitleBackground, 6); });
    const int rays = Count(title, 0, y0, kWidth, kHeight, [](const uint8_t* p) { return Near(p, kTitleRay, 6); });
    EXPECT_GT(background, area / 5) << "background pixels " << background << " of " << area;
    EXPECT_GT(rays, area / 5) << "ray pixels " << rays << " of " << area;
    EXPECT_GT(background + rays, area * 9 / 10);

    // Word 1 at its place on the line (left edge x = -0.9025, top y = -0.12): dark
    // letters from order 1 row 21, nothing but background and rays at row 20.
    auto dark = [](const uint8_t* p) { return p[0] + p[1] + p[2] < 250; };
    EXPECT_EQ(Count(before, 20, 262, 110, 300, dark), 0);
    EXPECT_GT(Count(after, 20, 262, 110, 300, dark), 100);
}

TEST_F(WholeShow, FinalSceneDarkensDuringTheLastOrder) {
    Picture start, late;
    ASSERT_TRUE(ReadPicture(Frame("32-000"), &start));
    ASSERT_TRUE(ReadPicture(Frame("32-120"), &late));
    const auto lit = [](const uint8_t* p) { return p[0] + p[1] + p[2] > 30; };
    ASSERT_GT(Count(start, 0, 0, kWidth, kHeight, lit), 0) << "the final scene draws nothing at order 32 row 0";
    // Faces fade to 1/16 of their colour by row 120; the background stays.
    EXPECT_LT(MeanLevel(late), MeanLevel(start) * 0.95) << MeanLevel(late) << " vs " << MeanLevel(start);
}

// A lossless capture of a span (--to) holds, bit for bit, the frames dumped at three
// positions inside it, in their order, and ends within a row of the last one.
TEST(LosslessCapture, HoldsTheDumpedFramesAndEndsAtTo) {
    if (const std::string missing = MissingShowData(); !missing.empty()) GTEST_FAIL() << missing;
    if (!CommandExists("ffmpeg")) GTEST_FAIL() << "ffmpeg is not installed (scripts/setup.sh installs it)";
    char pattern[] = "/tmp/orangefunk-lossless-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    constexpr int kRows = 60;  // rows of order 32 captured
    ASSERT_EQ(RunProgram("--from 32 --to 32:" + std::to_string(kRows) + " --quality lossless --capture " +
                             Quote(dir + "/show.mkv") + " --frames " + Quote(dir) + " --at 32:0,32:30,32:59",
                         dir + "/log"),
              0)
        << FileText(dir + "/log");
    const std::string raw = Output("ffmpeg -nostdin -v error -i " + Quote(dir + "/show.mkv") +
                                   " -map 0:v -f rawvideo -pix_fmt rgb24 -");
    const size_t frameBytes = size_t(kWidth) * kHeight * 3;
    const size_t frames = raw.size() / frameBytes;
    ASSERT_GT(frames, size_t(kRows));
    size_t next = 0, found = 0;
    for (const char* position : {"32-000", "32-030", "32-059"}) {
        Picture dumped;
        ASSERT_TRUE(ReadPicture(dir + "/frame-" + position + ".png", &dumped));
        ASSERT_EQ(dumped.rgb.size(), frameBytes);
        while (next < frames && raw.compare(next * frameBytes, frameBytes,
                                            reinterpret_cast<const char*>(dumped.rgb.data()), frameBytes) != 0)
            ++next;
        ASSERT_LT(next, frames) << "no frame of the capture equals the dump at " << position;
        found = next;
    }
    EXPECT_GE(found + frames / kRows + 1, frames) << "the capture went on past --to";
    std::system(("rm -rf " + Quote(dir)).c_str());
}

// Frame dumps alone end the show once their last position has passed.
TEST(FrameDumps, EndAfterTheLastPosition) {
    if (const std::string missing = MissingShowData(); !missing.empty()) GTEST_FAIL() << missing;
    char pattern[] = "/tmp/orangefunk-frames-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const int status = RunProgram("--from 26 --frames " + Quote(dir) + " --at 26:4", dir + "/log");
    const std::string log = FileText(dir + "/log");
    EXPECT_EQ(status, 0) << log;
    Picture greetings;
    ASSERT_TRUE(ReadPicture(dir + "/frame-26-004.png", &greetings)) << log;
    EXPECT_GT(Count(greetings, 0, 0, greetings.width, greetings.height, [](const uint8_t* p) { return p[0] > 100; }), 0)
        << "the frame at order 26 row 4 is black";
    // The run stopped right after order 26 row 4 instead of playing on to the end.
    EXPECT_EQ(log.find("order 33"), std::string::npos);
    std::system(("rm -rf " + Quote(dir)).c_str());
}

}  // namespace
