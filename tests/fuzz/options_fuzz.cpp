// Fuzz entry for the play options: the input, split at its zero bytes, is the command line
// after the program's name (as the page's address parameters also arrive); what the parser
// takes is then checked against a song layout, the file system and the display.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "player/player.h"

namespace {

constexpr size_t kMaxArguments = 32;

// The rows of each order of a made-up song: 36 orders of 32 to 128 rows, then its end.
std::vector<int> SongLayout() {
    std::vector<int> rows;
    for (int order = 0; order < 36; ++order) rows.push_back(32 << (order % 3));
    rows.push_back(0);
    return rows;
}

// Aborts (a finding) when options the parser took break its promises to the program.
void CheckTaken(const PlayOptions& options) {
    if (options.width < 1 || options.height < 1 || options.width > 8192 || options.height > 8192) std::abort();
    if (options.atCount < 0 || options.atCount > kMaxFramePositions) std::abort();
    if (options.fromOrder < 0 || options.fromOrder >= kShowEndOrder) std::abort();
    for (int i = 0; i < options.atCount; ++i)
        if (options.at[i].order < 0 || options.at[i].row < 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    for (size_t start = 0; start <= text.size() && arguments.size() < kMaxArguments;) {
        const size_t end = text.find('\0', start);
        arguments.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    PlayOptions options;
    std::string error;
    if (!ParsePlayOptions(int(argv.size()), argv.data(), &options, &error)) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    CheckTaken(options);
    static const std::vector<int> layout = SongLayout();
    error.clear();
    if (!CheckSongPositions(options, layout, &error) && error.empty()) std::abort();
    error.clear();
    if (!CheckOutputs(options, &error) && error.empty()) std::abort();
    return 0;
}
