// Bad input refused before the show starts: options the song or the file system cannot
// honour, and damaged data folders. Each is run on the built program, whose frames folder
// (made only once off-screen play begins) shows whether anything started.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "player/player.h"
#include "tests/kit/chunk_writer.h"
#include "tests/support/picture.h"
#include "tests/support/show_program.h"
#include "tests/support/test_paths.h"

namespace {

// A fresh temporary folder, removed with its contents at the end of the test.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/orangefunk-refused-XXXXXX";
        if (mkdtemp(pattern) != nullptr) path = pattern;
    }
    ~TempFolder() {
        if (!path.empty()) std::system(("rm -rf " + Quote(path)).c_str());
    }
    std::string path;
};

// Runs the program with arguments ("OUT" replaced by the folder out); its log's text.
int RunIn(const std::string& arguments, const std::string& out, std::string* text) {
    std::string line = arguments;
    for (size_t at; (at = line.find("OUT")) != std::string::npos;) line.replace(at, 3, out);
    const int status = RunShowProgram(ORANGEFUNK_PROGRAM, line, out + "/log");
    *text = Output("cat " + Quote(out + "/log"));
    return status;
}

TEST(SongPositions, AreCheckedAgainstTheSongsOwnOrdersAndRows) {
    // Order 2 names no pattern: the song ends there whatever follows.
    const std::vector<int> song = {64, 32, 0, 64};
    struct Case {
        int from;
        SongPosition at;
        SongPosition to;  // order -1: no --to
        const char* refusal;  // null when accepted
    };
    const Case cases[] = {
        {0, {1, 31}, {-1, 0}, nullptr},
        {0, {1, 32}, {-1, 0}, "order 1 has rows 0 to 31"},
        {0, {2, 0}, {-1, 0}, "orders 0 to 1"},
        {2, {0, 0}, {-1, 0}, "--from: the song has orders 0 to 1"},
        {1, {0, 63}, {-1, 0}, "comes before --from 1"},
        // --to: a row of the song, or the song's end, after --from; --at before it.
        {0, {1, 30}, {1, 31}, nullptr},
        {0, {0, 0}, {2, 0}, nullptr},
        {0, {0, 0}, {2, 1}, "--to: 2:1 is past the show's end"},
        {0, {0, 0}, {1, 32}, "--to: 1:32: order 1 has rows 0 to 31"},
        {1, {1, 0}, {1, 0}, "is not after --from 1"},
        {0, {1, 31}, {1, 31}, "is not before --to 1:31"},
    };
    for (const Case& c : cases) {
        PlayOptions options;
        options.fromOrder = c.from;
        options.at[options.atCount++] = c.at;
        if (c.to.order >= 0) {
            options.to = c.to;
            options.toGiven = true;
        }
        std::string error;
        EXPECT_EQ(CheckSongPositions(options, song, &error), c.refusal == nullptr) << error;
        if (c.refusal != nullptr) {
            EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
        }
    }
}

struct BadOptions {
    const char* arguments;
    const char* message;  // part of the refusal
};

void PrintTo(const BadOptions& bad, std::ostream* out) { *out << bad.arguments; }

class RefusedOptions : public ::testing::TestWithParam<BadOptions> {};

// The real faults: each of these rendered the whole show before failing, or was accepted.
TEST_P(RefusedOptions, EndWithStatus2BeforeAnythingIsMade) {
    TempFolder out;
    ASSERT_FALSE(out.path.empty());
    std::string text;
    EXPECT_EQ(RunIn(GetParam().arguments, out.path, &text), 2) << text;
    EXPECT_NE(text.find(GetParam().message), std::string::npos) << text;
    EXPECT_EQ(Output("ls " + Quote(out.path)), "log\n") << "something was made before the refusal";
}

INSTANTIATE_TEST_SUITE_P(
    Program, RefusedOptions,
    ::testing::Values(BadOptions{"--capture OUT/show", "/show\" is not a file type the capture writes"},
                      BadOptions{"--capture OUT/show.avi", "or .webm (VP9 and Opus; no lossless)"},
                      BadOptions{"--capture OUT/show.webm --quality lossless", "a .webm file cannot hold it"},
                      BadOptions{"--capture OUT/none/show.mp4", "--capture: there is no folder"},
                      BadOptions{"--capture OUT/show.mp4 --size 641x480", "needs an even width and height"},
                      BadOptions{"--from 9 --to 8:63 --capture OUT/show.mkv", "--to: 8:63 is not after --from 9"},
                      BadOptions{"--frames OUT/f --at 99:0", "--at: 99:0 is past the show's end: the song has orders 0 to 32"},
                      BadOptions{"--frames OUT/f --at 5:64", "order 5 has rows 0 to 63"},
                      BadOptions{"--from 3 --frames OUT/f --at 1:0", "comes before --from 3"},
                      BadOptions{"--frames OUT/none/f --at 1:0", "--frames: there is no folder"},
                      BadOptions{"--foo=1", "unknown option --foo"}));

// A copy of the show's data folder (links to its files) with one file replaced.
class DamagedData {
public:
    explicit DamagedData(const std::string& folder) : folder(folder + "/data") {
        std::system(("mkdir " + Quote(this->folder) + " && ln -s " + Quote(ShowDataDir()) + "/* " + Quote(this->folder))
                        .c_str());
    }
    // Replaces name by a file holding bytes.
    void Write(const char* name, const std::string& bytes) {
        const std::string path = folder + "/" + name;
        std::remove(path.c_str());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string folder;
};

std::string ShowFile(const char* name) {
    std::ifstream file(ShowDataDir() + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The song with a 16-bit field of its header (little-endian, at offset at) replaced.
std::string SongWith(size_t at, unsigned value) {
    std::string song = ShowFile("funk.it");
    song[at] = char(value & 0xFF);
    song[at + 1] = char(value >> 8);
    return song;
}

TEST(DamagedSong, IsRefusedWithStatus1BeforeAnyWindowOpens) {
    const std::string song = ShowFile("funk.it");
    ASSERT_GT(song.size(), 4096u) << "the generated song is missing from " << ShowDataDir();
    std::string garbage(100000, '\0');
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 2654435761u) >> 13);
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "empty"},
        {"truncated", song.substr(0, 2000), "past the end of the file"},
        {"garbage", garbage, "cannot be played"},
        {"60000 samples declared", SongWith(0x24, 60000), "60000 samples"},
        {"a pattern of 60000 rows", "", "rows"},
    };
    for (const auto& c : cases) {
        TempFolder out;
        DamagedData data(out.path);
        std::string bytes = c.bytes;
        if (std::string(c.what) == "a pattern of 60000 rows") {
            // The first pattern's offset follows the orders and the sample offsets.
            const size_t orders = uint8_t(song[0x20]) | uint8_t(song[0x21]) << 8;
            const size_t samples = uint8_t(song[0x24]) | uint8_t(song[0x25]) << 8;
            const size_t table = 0xC0 + orders + 4 * samples;
            const size_t pattern = uint8_t(song[table]) | uint8_t(song[table + 1]) << 8 |
                                   size_t(uint8_t(song[table + 2])) << 16;
            bytes = SongWith(pattern + 2, 60000);
        }
        data.Write("funk.it", bytes);
        std::string text;
        EXPECT_EQ(RunIn("--data " + Quote(data.folder) + " --frames OUT/f --at 0:0", out.path, &text), 1)
            << c.what << "\n" << text;
        EXPECT_NE(text.find("the song funk.it in the data folder cannot be played"), std::string::npos) << c.what << "\n" << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << c.what << "\n" << text;
        EXPECT_EQ(Output("ls " + Quote(out.path)), "data\nlog\n") << c.what << ": off-screen play began";
    }
}

TEST(DamagedSong, AValidModuleOfAnotherSongPlaysWhatItHolds) {
    const std::string other = TestDataDir() + "/it/success_2.it";
    std::ifstream file(other, std::ios::binary);
    if (!file) GTEST_SKIP() << "third-party module not found: " << other;
    TempFolder out;
    DamagedData data(out.path);
    data.Write("funk.it", std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
    std::string text;
    // Its two orders are the show's range now.
    EXPECT_EQ(RunIn("--data " + Quote(data.folder) + " --frames OUT/f --at 2:0", out.path, &text), 2) << text;
    EXPECT_NE(text.find("the song has orders 0 to 1"), std::string::npos) << text;
    EXPECT_EQ(RunIn("--data " + Quote(data.folder) + " --frames OUT/f --at 1:0", out.path, &text), 0) << text;
    EXPECT_EQ(Output("ls " + Quote(out.path + "/f")), "frame-01-000.png\n") << text;
}

TEST(OversizedData, IsRefusedAsACorruptFileIsAndTheShowGoesOn) {
    TempFolder out;
    DamagedData data(out.path);
    // Small files, large pictures: past the side limit, and past the pixel budget.
    Picture wide, large;
    wide.width = 2049, wide.height = 1, large.width = 1100, large.height = 1000;
    wide.rgb.assign(size_t(wide.width) * wide.height * 3, 200);
    large.rgb.assign(size_t(large.width) * large.height * 3, 200);
    std::remove((data.folder + "/1.png").c_str());
    std::remove((data.folder + "/2.png").c_str());
    ASSERT_TRUE(WritePicture(data.folder + "/1.png", wide));
    ASSERT_TRUE(WritePicture(data.folder + "/2.png", large));
    // An object whose vertex list declares past the reader's budget and the file's end.
    ChunkWriter ball;
    ball.Begin(0x4D4D).Begin(0x3D3D).Begin(0x4000).String("Object01").Begin(0x4100);
    ball.Begin(0x4110).U16(60000).Float(1).Float(2).Float(3).End();
    ball.End().End().End().End();
    data.Write("ball2116.3ds", std::string(ball.bytes().begin(), ball.bytes().end()));
    std::string text;
    EXPECT_EQ(RunIn("--data " + Quote(data.folder) + " --frames OUT/f --at 0:0", out.path, &text), 0) << text;
    EXPECT_NE(text.find("LoadPng: \"1.png\": a picture of 2049x1 pixels is larger than the show takes"), std::string::npos) << text;
    EXPECT_NE(text.find("LoadPng: \"2.png\": a picture of 1100x1000 pixels"), std::string::npos) << text;
    EXPECT_NE(text.find("LoadObject: \"ball2116.3ds\": object \"Object01\" declares 60000 vertices (at most 20000"),
              std::string::npos) << text;
    EXPECT_EQ(Output("ls " + Quote(out.path + "/f")), "frame-00-000.png\n") << text;
}

}  // namespace
