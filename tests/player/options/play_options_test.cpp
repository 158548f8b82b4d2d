// Play options: what the command line turns into, and what it and the capture refuse; the
// options --help and the Windows README.txt offer on each build; the keys the readmes and the
// page list are the keys' table's.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "player/options/key_table.h"
#include "player/options/option_table.h"
#include "player/player.h"

namespace {

// Parses the arguments (without the program name); the error text when refused.
bool Parse(std::vector<const char*> arguments, PlayOptions* options, std::string* error) {
    return ParsePlayOptions(int(arguments.size()), arguments.data(), options, error);
}

TEST(PlayOptions, NoArgumentsMeanFullScreenPlayFromTheStart) {
    PlayOptions options;
    std::string error;
    ASSERT_TRUE(Parse({}, &options, &error)) << error;
    EXPECT_FALSE(options.help);
    EXPECT_FALSE(options.window);
    EXPECT_EQ(options.capturePath, nullptr);
    EXPECT_EQ(options.framesDir, nullptr);
    EXPECT_EQ(options.atCount, 0);
    EXPECT_EQ(options.fromOrder, 0);
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 480);
}

TEST(PlayOptions, ValuesAreReadInBothSpellings) {
    PlayOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--window", "--size=1024x768", "--from", "32"}, &options, &error)) << error;
    EXPECT_TRUE(options.window);
    EXPECT_EQ(options.width, 1024);
    EXPECT_EQ(options.height, 768);
    EXPECT_EQ(options.fromOrder, 32);

    ASSERT_TRUE(Parse({"--capture", "show.webm", "--frames=out", "--at", "0:0,1:21,32:120", "--size", "320x240",
                       "--data", "share"},
                      &options, &error))
        << error;
    EXPECT_STREQ(options.dataDir, "share");
    EXPECT_STREQ(options.capturePath, "show.webm");
    EXPECT_STREQ(options.framesDir, "out");
    ASSERT_EQ(options.atCount, 3);
    EXPECT_EQ(options.at[1].order, 1);
    EXPECT_EQ(options.at[1].row, 21);
    EXPECT_EQ(options.at[2].order, 32);
    EXPECT_EQ(options.at[2].row, 120);
    EXPECT_EQ(options.width, 320);

    // --help and --version win over everything else, even options that would not go together.
    ASSERT_TRUE(Parse({"--window", "--capture", "x.mp4", "--help"}, &options, &error)) << error;
    EXPECT_TRUE(options.help);
    ASSERT_TRUE(Parse({"--window", "--capture", "x.mp4", "--version"}, &options, &error)) << error;
    EXPECT_TRUE(options.version);
}

TEST(PlayOptions, MalformedValuesAreRefusedWithTheirOption) {
    const std::vector<std::vector<const char*>> refused = {
        {"--bogus"},
        {"--window=yes"},
        {"--capture"},
        {"--capture="},
        {"--data"},
        {"--data="},
        {"--window", "--size", "640"},
        {"--window", "--size", "0x480"},
        {"--window", "--size", "640x"},
        {"--window", "--size", "640x480x16"},
        {"--window", "--size", "-640x480"},
        {"--from", "33"},
        {"--from", "-1"},
        {"--from", "3a"},
        {"--frames", "out", "--at", "1:21,"},
        {"--frames", "out", "--at", "1-21"},
        {"--frames", "out", "--at", "1:65536"},
    };
    for (const std::vector<const char*>& arguments : refused) {
        PlayOptions options;
        std::string error;
        EXPECT_FALSE(Parse(arguments, &options, &error)) << arguments[0] << " " << (arguments.size() > 1 ? arguments[1] : "");
        EXPECT_FALSE(error.empty());
    }
    PlayOptions options;
    std::string error;
    Parse({"--from", "40"}, &options, &error);
    EXPECT_NE(error.find("--from"), std::string::npos) << error;
}

TEST(PlayOptions, OptionsThatDoNotGoTogetherAreRefused) {
    const std::vector<std::vector<const char*>> refused = {
        {"--frames", "out"},                          // nothing to dump
        {"--at", "1:21"},                             // nowhere to dump it
        {"--window", "--capture", "show.mp4"},        // capture renders off screen
        {"--size", "800x600"},                        // full-screen play has a fixed mode
    };
    for (const std::vector<const char*>& arguments : refused) {
        PlayOptions options;
        std::string error;
        EXPECT_FALSE(Parse(arguments, &options, &error)) << arguments[0];
        EXPECT_FALSE(error.empty());
    }
}

// Each file type gets the qualities its container holds; sizes are refused only where the
// picture is coded in 4:2:0.
TEST(PlayOptions, CaptureQualityAndSizeFollowTheFileType) {
    struct Case {
        std::vector<const char*> arguments;
        bool accepted;
    };
    const Case cases[] = {
        {{"--capture", "a.MKV", "--quality", "lossless", "--size", "641x481"}, true},  // RGB frames
        {{"--capture", "a.mov", "--quality=small"}, true},
        {{"--capture", "a.webm", "--size", "641x481"}, true},
        {{"--capture", "a.mp4", "--size", "641x480"}, false},
        {{"--capture", "a.mkv", "--quality", "small", "--size", "640x479"}, false},
        {{"--capture", "a.webm", "--quality", "lossless"}, false},
        {{"--capture", "a.mp4", "--quality", "best"}, false},
        {{"--quality", "small"}, false},  // nothing to encode
        {{"--capture", "a.avi"}, false},
        {{"--capture", "a.mp4.part"}, false},
    };
    for (const Case& c : cases) {
        PlayOptions options;
        std::string error;
        EXPECT_EQ(Parse(c.arguments, &options, &error), c.accepted) << c.arguments[1] << " " << error;
    }
    PlayOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--capture", "a.mkv", "--quality", "lossless"}, &options, &error)) << error;
    EXPECT_EQ(options.quality, CaptureQuality::Lossless);
}

TEST(PlayOptions, ToTakesAnOrderOrAPosition) {
    PlayOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--window"}, &options, &error)) << error;
    EXPECT_FALSE(options.toGiven);
    ASSERT_TRUE(Parse({"--to", "15"}, &options, &error)) << error;
    EXPECT_TRUE(options.toGiven);
    EXPECT_EQ(options.to.order, 15);
    EXPECT_EQ(options.to.row, 0);
    ASSERT_TRUE(Parse({"--to=32:64"}, &options, &error)) << error;
    EXPECT_EQ(options.to.order, 32);
    EXPECT_EQ(options.to.row, 64);
    for (const char* bad : {"", "x", "3:", ":4", "3:4:5", "-1"}) {
        EXPECT_FALSE(Parse({"--to", bad}, &options, &error)) << bad;
        EXPECT_NE(error.find("--to"), std::string::npos) << error;
    }
}

TEST(PlayOptions, AtListHasANamedLimit) {
    std::string list;
    for (int i = 0; i <= kMaxFramePositions; ++i) list += (i ? ",1:" : "1:") + std::to_string(i);
    PlayOptions options;
    std::string error;
    EXPECT_FALSE(Parse({"--frames", "out", "--at", list.c_str()}, &options, &error));
    EXPECT_NE(error.find("more than"), std::string::npos) << error;
}


// The options --help lists: the long spelling at the start of each option's line.
std::set<std::string> Listed(const std::string& usage) {
    std::set<std::string> listed;
    const std::regex line("\n  (?:-[a-z], )?(--[a-z]+)");
    for (auto m = std::sregex_iterator(usage.begin(), usage.end(), line); m != std::sregex_iterator(); ++m)
        listed.insert((*m)[1]);
    return listed;
}

// --help on each build lists the options the table gives that build, with that build's
// folders; README.txt of the Windows zip names only options of the table, and those
// Windows lacks only where it says the build cannot.
TEST(PlayOptions, HelpAndTheWindowsReadmeOfferTheOptionsOfTheirBuild) {
    for (const OptionBuild build : {kLinuxBuild, kWindowsBuild}) {
        std::set<std::string> offered;
        for (int i = 0; i < kPlayOptionCount; ++i)
            if (kPlayOptions[i].builds & build) offered.insert(kPlayOptions[i].name);
        EXPECT_EQ(Listed(PlayUsage(build)), offered) << "build " << build;
    }
    const std::string linuxHelp = PlayUsage(kLinuxBuild), windowsHelp = PlayUsage(kWindowsBuild);
    for (const char* linuxOnly : {"../share/orangefunk", "xdg-user-dir PICTURES", "Capture file types: .mp4"}) {
        EXPECT_NE(linuxHelp.find(linuxOnly), std::string::npos) << linuxOnly;
        EXPECT_EQ(windowsHelp.find(linuxOnly), std::string::npos) << linuxOnly << " in the Windows help:\n" << windowsHelp;
    }
    for (const char* windowsOnly : {"data\\ in the folder of\norangefunk.exe", "your Pictures folder"}) {
        EXPECT_NE(windowsHelp.find(windowsOnly), std::string::npos) << windowsOnly << " not in:\n" << windowsHelp;
        EXPECT_EQ(linuxHelp.find(windowsOnly), std::string::npos) << windowsOnly;
    }

    std::ifstream file(ORANGEFUNK_SOURCE_DIR "/windows/README.txt");
    ASSERT_TRUE(file) << "cannot read " ORANGEFUNK_SOURCE_DIR "/windows/README.txt";
    std::string readme, line;
    int named = 0;
    while (std::getline(file, line)) {
        readme += line + "\n";
        const std::regex option("--[a-z]+");
        for (auto m = std::sregex_iterator(line.begin(), line.end(), option); m != std::sregex_iterator(); ++m) {
            const PlayOption* found = nullptr;
            for (int i = 0; i < kPlayOptionCount; ++i)
                if (m->str() == kPlayOptions[i].name) found = &kPlayOptions[i];
            ASSERT_NE(found, nullptr) << m->str() << " in README.txt is no option: " << line;
            if (!(found->builds & kWindowsBuild)) {
                EXPECT_NE(line.find("cannot"), std::string::npos) << m->str() << " offered in README.txt: " << line;
            }
            ++named;
        }
    }
    EXPECT_GT(named, 0) << "README.txt names no option";
    for (const char* linuxOnly : {"../share", "xdg-user-dir"}) EXPECT_EQ(readme.find(linuxOnly), std::string::npos);
}

// The text of the file at path in the source tree.
std::string SourceFile(const std::string& path) {
    std::ifstream file(ORANGEFUNK_SOURCE_DIR "/" + path);
    EXPECT_TRUE(file) << "cannot read " << path;
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The README's key table and README.txt's keys are the keys' table's rows of their build, in
// its order, and the page's help line names the page's rows in their words.
TEST(PlayOptions, TheReadmesAndThePageListTheKeysOfTheKeysTable) {
    std::vector<std::string> linuxRows;
    std::string pageLine;
    for (int i = 0; i < kPlayKeyCount; ++i) {
        const PlayKey& key = kPlayKeys[i];
        if (key.builds & kLinuxBuild) linuxRows.push_back("| " + KeyNames(key) + " | " + key.help + " |");
        if ((key.builds & kPageBuild) == 0) continue;
        ASSERT_NE(key.brief, nullptr) << key.keys << " has no word on the page";
        std::string names = key.keys;
        for (const auto& [from, to] : {std::pair<std::string, std::string>{", ", " "}, {"Left", "←"}, {"Right", "→"},
                                       {"-", "−"}})
            for (size_t at = names.find(from); at != std::string::npos; at = names.find(from, at + to.size()))
                names.replace(at, from.size(), to);
        pageLine += (pageLine.empty() ? "" : " · ") + names + " " + key.brief;
    }

    const std::string readme = SourceFile("README.md");
    const size_t keys = readme.find("\n## Keys\n");
    ASSERT_NE(keys, std::string::npos) << "README.md has no Keys section";
    std::istringstream section(readme.substr(keys + 1, readme.find("\n## ", keys + 1) - keys));
    std::vector<std::string> rows;
    for (std::string line; std::getline(section, line);) {
        if (line.rfind("| ", 0) != 0 || line == "| key | does |") continue;
        line.erase(std::remove(line.begin(), line.end(), '`'), line.end());
        rows.push_back(line);
    }
    EXPECT_EQ(rows, linuxRows);

    const std::string windowsReadme = SourceFile("windows/README.txt");
    const size_t block = windowsReadme.find("Keys while the show plays:\n");
    ASSERT_NE(block, std::string::npos) << "README.txt lists no keys";
    const std::string readmeKeys = windowsReadme.substr(block, windowsReadme.find("\n\n", block) + 1 - block);
    EXPECT_NE(PlayUsage(kWindowsBuild).find(readmeKeys), std::string::npos)
        << "README.txt's keys:\n" << readmeKeys << "are not --help's on Windows:\n" << PlayUsage(kWindowsBuild);

    const std::string page = SourceFile("web/index.html");
    std::smatch shown;
    ASSERT_TRUE(std::regex_search(page, shown, std::regex("<p id=\"keys\">([^<]*)</p>"))) << "index.html has no keys line";
    EXPECT_EQ(shown[1].str(), pageLine);
}

}  // namespace
